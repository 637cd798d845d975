// The game output's mode switch done through XRandR when the X screen has more than one active
// output. SDL's own switch sets the whole screen to the size of the mode, which moves or refuses
// the other outputs (and kills the game with an X error when the screen cannot hold them); here
// only the game output's CRTC changes, in its place, and the screen grows or shrinks around all
// outputs. SDL, asked for the same mode afterwards, finds it set and leaves it.
#pragma once

#include <SDL.h>

namespace outputLayout {

// Takes SDL's X connection from `window` and saves the layout of every CRTC when the game's
// output (at `bounds`) shares the screen with another active output. False (and nothing taken
// over) otherwise: a single output, no X11, no XRandR.
bool takeOver(SDL_Window* window, const SDL_Rect& bounds);

// Whether takeOver succeeded.
bool active();

// Sets the game output's CRTC to the mode width x height at refreshHz (whole hertz, rounded or
// cut as SDL does), keeping its place; true when the server took it.
bool switchTo(int width, int height, int refreshHz);

// Puts back every CRTC and the screen size as they were at takeOver.
void restore();

}  // namespace outputLayout
