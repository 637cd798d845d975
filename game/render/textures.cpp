// Loading the eleven pictures into OpenGL texture objects, once at start-up.
#include "textures.h"

#include <GL/gl.h>

#include <cstdio>
#include <cstdlib>

#include "platform.h"

std::uint32_t textures[kTextureCount];

RgbImage* loadBitmap(const char* path) {
    // As designed: a probe that is closed again at once; the reader opens the file itself.
    std::FILE* file = std::fopen(path, "r");
    if (file == nullptr) {
        return nullptr;
    }
    std::fclose(file);
    DibFileResult result = loadDibImage(path);
    if (result.image == nullptr) {
        // Over the window with the keyboard focus: at start-up the game's own, just shown.
        messageBox(getFocus(), result.error.c_str(), "Error", MB_OK);
    }
    return result.image;
}

bool loadTextures() {
    glGenTextures(kTextureCount, textures);
    RgbImage* images[kTextureCount] = {};
    bool loaded = false;
    for (int slot = 0; slot < kTextureCount; ++slot) {
        images[slot] = loadBitmap(kTextureFiles[slot]);
        RgbImage* image = images[slot];
        if (image == nullptr) {
            continue;
        }
        glBindTexture(GL_TEXTURE_2D, textures[slot]);
        glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_NEAREST);
        glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_NEAREST);
        // Rows are packed without padding: with the default alignment of 4 a width that is not
        // a multiple of 4 would make OpenGL read past the end of the buffer. A top-down picture
        // has a negative height but its rows are already bottom-up.
        GLint alignment = 4;
        glGetIntegerv(GL_UNPACK_ALIGNMENT, &alignment);
        glPixelStorei(GL_UNPACK_ALIGNMENT, 1);
        glTexImage2D(GL_TEXTURE_2D, 0, 3, image->width, std::abs(image->height), 0, GL_RGB,
                     GL_UNSIGNED_BYTE, image->pixels);
        glPixelStorei(GL_UNPACK_ALIGNMENT, alignment);
        loaded = true;
    }
    for (RgbImage* image : images) {
        freeRgbImage(image);
    }
    return loaded;
}
