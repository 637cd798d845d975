#include "game_view.h"

#include "interim_shell.h"

bool setUpGameView(int width, int height) {
    resizeView(width, height);
    return initRenderState();
}

void gameFrame() {
    runFrame();
}
