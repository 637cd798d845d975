#include "game_view.h"

#include "shell.h"

bool setUpGameView(int width, int height) {
    resizeView(width, height);
    return initRenderState();
}

void gameFrame() {
    runFrame();
}
