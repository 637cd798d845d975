// The recording stand-ins for the drawing and the texture loading.
//
// Record lines: "loadTextures", and "drawScene N rest" or "drawScene N flying" with N the throw
// counter and whether all dice rest.
#include "render_recording.h"

#include <string>

#include "platform_scripted.h"
#include "scene.h"
#include "textures.h"

namespace {

bool texturesLoad = true;
GameState stateAtTextureLoad{};

}  // namespace

namespace renderRecording {

void setTexturesLoad(bool load) {
    texturesLoad = load;
}

const GameState& gameAtTextureLoad() {
    return stateAtTextureLoad;
}

}  // namespace renderRecording

bool loadTextures() {
    scripted::note("loadTextures");
    stateAtTextureLoad = game;
    return texturesLoad;
}

void drawScene() {
    scripted::note("drawScene " + std::to_string(game.throwCount) +
                   (allDiceAtRest() ? " rest" : " flying"));
}
