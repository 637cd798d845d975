// The eleven texture slots and their loading from the bitmaps under "data/".
#pragma once

#include <cstdint>

#include "dib.h"

enum TextureSlot : int {
    TEX_DIE1 = 0,
    TEX_DIE2 = 1,
    TEX_DIE3 = 2,
    TEX_DIE4 = 3,
    TEX_DIE5 = 4,
    TEX_DIE6 = 5,
    TEX_DESK = 6,
    TEX_DIE_SHADER = 7,
    TEX_TABLE = 8,  // As designed: loaded, never drawn.
    TEX_HAND = 9,
    TEX_HAND_MASK = 10,
};

inline constexpr int kTextureCount = 11;

// The file of each slot, relative to the working directory.
inline constexpr const char* kTextureFiles[kTextureCount] = {
    "data/Die1.bmp",  "data/Die2.bmp",       "data/Die3.bmp",           "data/Die4.bmp",
    "data/Die5.bmp",  "data/Die6.bmp",       "data/Desk.bmp",           "data/DieShader.bmp",
    "data/Table.bmp", "data/HandCursor.bmp", "data/HandCursor_mask.bmp"};

// OpenGL texture names by slot; they live until the rendering context ends.
extern std::uint32_t textures[kTextureCount];

// Needs a current rendering context. Generates the eleven texture objects and gives each slot
// whose file loads its picture. True when at least one of the eleven pictures loaded.
bool loadTextures();

// The picture in `path`, or null: silently when the file cannot be opened, otherwise after the
// reader's message in a box (caption "Error", owned by the window with the keyboard focus). The
// caller frees it with freeRgbImage.
// As designed: the one failure shown where it happens rather than by the shell.
RgbImage* loadBitmap(const char* path);
