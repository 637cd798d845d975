// Drawing the table, the box, the dice with their shadows and the hand, once per frame.
#pragma once

#include <cstdint>

void drawScene();

// Draws die i as a textured cube of edge 2 about the current origin.
void drawDie(std::int16_t i);

// The same cube with the die shading on every face.
void drawDieShaderCube();
