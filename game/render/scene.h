// Drawing the table, the box, the dice with their shadows and the hand, once per frame.
#pragma once

#include <cstdint>

// The table plane lies this far in front of the eye; the view leans about its origin.
inline constexpr float kTableDistance = 75.0f;
// How far the view leans, in degrees per unit of viewYaw and viewPitch.
inline constexpr float kViewLean = 0.01f;

void drawScene();

// Draws die i as a textured cube of edge 2 about the current origin.
void drawDie(std::int16_t i);

// The same cube with the die shading on every face.
void drawDieShaderCube();
