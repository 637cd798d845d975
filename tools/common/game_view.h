// The game's own view, render state and frame, for drawing it without a window.
#pragma once

// The game's viewport, projection and fixed render state (textures from "data/" below the
// working directory) for a width x height picture. False when the textures did not load.
bool setUpGameView(int width, int height);

// One frame as the game's main loop runs it: pointer, dice, drawing.
void gameFrame();
