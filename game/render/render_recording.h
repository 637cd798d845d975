// A render library that draws nothing, for the shell's tests: drawScene and loadTextures note
// each call in the scripted platform's record, so that tests see them in order with the
// platform calls. Link it (with platform_scripted) in place of `render`.
#pragma once

#include "dice_model.h"

namespace renderRecording {

// What loadTextures reports from now on (true until a test says otherwise).
void setTexturesLoad(bool load);

// The game state as it was at the last loadTextures call.
const GameState& gameAtTextureLoad();

}  // namespace renderRecording
