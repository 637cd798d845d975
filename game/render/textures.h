// The eleven texture slots and their loading from the bitmaps under "data/".
#pragma once

#include <cstdint>

enum TextureSlot : int {
    TEX_DIE1 = 0,
    TEX_DIE2 = 1,
    TEX_DIE3 = 2,
    TEX_DIE4 = 3,
    TEX_DIE5 = 4,
    TEX_DIE6 = 5,
    TEX_DESK = 6,
    TEX_DIE_SHADER = 7,
    TEX_TABLE = 8,
    TEX_HAND = 9,
    TEX_HAND_MASK = 10,
};

inline constexpr int kTextureCount = 11;

// OpenGL texture names by slot; they live until the rendering context ends.
extern std::uint32_t textures[kTextureCount];

// Needs a current rendering context. True when at least one of the eleven pictures loaded.
bool loadTextures();
