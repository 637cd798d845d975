// loadTextures in a real OpenGL context: Mesa's software renderer through EGL without a display.
#include <gtest/gtest.h>

#include <EGL/egl.h>
#include <EGL/eglext.h>
#include <GL/gl.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "config_test_files.h"
#include "platform_scripted.h"
#include "textures.h"

namespace {

using Bytes = std::vector<std::uint8_t>;

void put32(Bytes& b, std::uint32_t v) {
    for (int i = 0; i < 4; ++i) {
        b.push_back(static_cast<std::uint8_t>(v >> (8 * i)));
    }
}

// A 24-bit BMP whose pixel (x, y) is (seed, x * 10, y * 10), bottom row first.
Bytes bitmap24(int width, int height, std::uint8_t seed) {
    const int stride = (width * 3 + 3) / 4 * 4;
    Bytes b = {'B', 'M'};
    put32(b, static_cast<std::uint32_t>(54 + stride * height));
    put32(b, 0);
    put32(b, 54);
    put32(b, 40);
    put32(b, static_cast<std::uint32_t>(width));
    put32(b, static_cast<std::uint32_t>(height));
    put32(b, 1 | (24 << 16));
    for (int i = 0; i < 6; ++i) {
        put32(b, 0);
    }
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x) {
            b.insert(b.end(),
                     {static_cast<std::uint8_t>(y * 10), static_cast<std::uint8_t>(x * 10), seed});
        }
        b.resize(b.size() + static_cast<std::size_t>(stride - width * 3), 0);
    }
    return b;
}

class Textures : public ::testing::Test {
  protected:
    static void SetUpTestSuite() {
        setenv("GALLIUM_DRIVER", "llvmpipe", 0);
        auto getPlatformDisplay = reinterpret_cast<PFNEGLGETPLATFORMDISPLAYEXTPROC>(
            eglGetProcAddress("eglGetPlatformDisplayEXT"));
        if (getPlatformDisplay == nullptr) {
            return;
        }
        display_ = getPlatformDisplay(EGL_PLATFORM_SURFACELESS_MESA, EGL_DEFAULT_DISPLAY, nullptr);
        if (display_ == EGL_NO_DISPLAY || !eglInitialize(display_, nullptr, nullptr) ||
            !eglBindAPI(EGL_OPENGL_API)) {
            return;
        }
        const EGLint attributes[] = {EGL_SURFACE_TYPE, EGL_PBUFFER_BIT, EGL_RENDERABLE_TYPE,
                                     EGL_OPENGL_BIT, EGL_NONE};
        EGLConfig config = nullptr;
        EGLint count = 0;
        if (!eglChooseConfig(display_, attributes, &config, 1, &count) || count == 0) {
            return;
        }
        const EGLint size[] = {EGL_WIDTH, 16, EGL_HEIGHT, 16, EGL_NONE};
        surface_ = eglCreatePbufferSurface(display_, config, size);
        context_ = eglCreateContext(display_, config, EGL_NO_CONTEXT, nullptr);
        ready_ = surface_ != EGL_NO_SURFACE && context_ != EGL_NO_CONTEXT &&
                 eglMakeCurrent(display_, surface_, surface_, context_);
    }
    void SetUp() override {
        if (!ready_) {
            GTEST_SKIP() << "no OpenGL context through EGL (surfaceless Mesa)";
        }
        scripted::reset();
        dir_ = std::filesystem::temp_directory_path() /
               ("vantu-textures-" + std::to_string(::getpid()) + "-" +
                ::testing::UnitTest::GetInstance()->current_test_info()->name());
        std::filesystem::create_directories(dir_ / "data");
        previous_ = std::filesystem::current_path();
        std::filesystem::current_path(dir_);
    }
    void TearDown() override {
        if (!dir_.empty()) {
            std::filesystem::current_path(previous_);
            std::filesystem::remove_all(dir_);
        }
    }

    static void write(int slot, const Bytes& bytes) {
        std::ofstream out(kTextureFiles[slot], std::ios::binary);
        out.write(reinterpret_cast<const char*>(bytes.data()),
                  static_cast<std::streamsize>(bytes.size()));
    }

    static GLint level0(int slot, GLenum what) {
        glBindTexture(GL_TEXTURE_2D, textures[slot]);
        GLint value = -1;
        glGetTexLevelParameteriv(GL_TEXTURE_2D, 0, what, &value);
        return value;
    }

    static inline EGLDisplay display_ = EGL_NO_DISPLAY;
    static inline EGLSurface surface_ = EGL_NO_SURFACE;
    static inline EGLContext context_ = EGL_NO_CONTEXT;
    static inline bool ready_ = false;
    std::filesystem::path dir_;
    std::filesystem::path previous_;
};

TEST_F(Textures, AllElevenFilesGiveElevenImages) {
    for (int slot = 0; slot < kTextureCount; ++slot) {
        write(slot, bitmap24(4 << (slot % 3), 2, static_cast<std::uint8_t>(slot)));
    }
    ASSERT_TRUE(loadTextures());
    EXPECT_TRUE(scripted::messageBoxes().empty());
    for (int slot = 0; slot < kTextureCount; ++slot) {
        SCOPED_TRACE(slot);
        EXPECT_NE(textures[slot], 0u);
        for (int other = 0; other < slot; ++other) {
            EXPECT_NE(textures[slot], textures[other]);
        }
        EXPECT_EQ(level0(slot, GL_TEXTURE_WIDTH), 4 << (slot % 3));
        EXPECT_EQ(level0(slot, GL_TEXTURE_HEIGHT), 2);
        EXPECT_EQ(level0(slot, GL_TEXTURE_INTERNAL_FORMAT), 3);  // three components
        GLint filter = 0;
        glGetTexParameteriv(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, &filter);
        EXPECT_EQ(filter, GL_NEAREST);
        glGetTexParameteriv(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, &filter);
        EXPECT_EQ(filter, GL_NEAREST);
    }
    EXPECT_EQ(glGetError(), static_cast<GLenum>(GL_NO_ERROR));
}

TEST_F(Textures, RowsOfAnyWidthUploadWhole) {
    // 5 pixels of 3 bytes: rows of 15 bytes, which the default unpack alignment would misread.
    write(TEX_DESK, bitmap24(5, 3, 77));
    ASSERT_TRUE(loadTextures());
    glBindTexture(GL_TEXTURE_2D, textures[TEX_DESK]);
    glPixelStorei(GL_PACK_ALIGNMENT, 1);
    Bytes readBack(5 * 3 * 3);
    glGetTexImage(GL_TEXTURE_2D, 0, GL_RGB, GL_UNSIGNED_BYTE, readBack.data());
    Bytes expected;
    for (int y = 0; y < 3; ++y) {
        for (int x = 0; x < 5; ++x) {
            expected.insert(expected.end(), {77, static_cast<std::uint8_t>(x * 10),
                                             static_cast<std::uint8_t>(y * 10)});
        }
    }
    EXPECT_EQ(readBack, expected);
    GLint alignment = 0;
    glGetIntegerv(GL_UNPACK_ALIGNMENT, &alignment);
    EXPECT_EQ(alignment, 4);  // left as it was found
}

TEST_F(Textures, OneFileIsEnoughAndMissingFilesAreSilent) {
    write(TEX_DIE1, bitmap24(4, 4, 1));
    EXPECT_TRUE(loadTextures());
    EXPECT_TRUE(scripted::messageBoxes().empty());
    EXPECT_EQ(level0(TEX_DIE1, GL_TEXTURE_WIDTH), 4);
    for (int slot = 1; slot < kTextureCount; ++slot) {
        EXPECT_EQ(level0(slot, GL_TEXTURE_WIDTH), 0) << slot;
    }
}

TEST_F(Textures, NoFileAtAllFailsWithoutAMessage) {
    EXPECT_FALSE(loadTextures());
    EXPECT_TRUE(scripted::messageBoxes().empty());
}

TEST_F(Textures, ABrokenFileIsReportedOnceAndLoadingGoesOn) {
    write(TEX_DIE4, Bytes{'n', 'o', 't', ' ', 'a', ' ', 'b', 'i', 't', 'm', 'a', 'p'});
    write(TEX_DIE5, bitmap24(8, 8, 5));
    EXPECT_TRUE(loadTextures());
    ASSERT_EQ(scripted::messageBoxes().size(), 1u);
    EXPECT_EQ(scripted::messageBoxes()[0].text, "Unknown DIB file format.");
    EXPECT_EQ(scripted::messageBoxes()[0].caption, "Error");
    EXPECT_EQ(level0(TEX_DIE4, GL_TEXTURE_WIDTH), 0);
    EXPECT_EQ(level0(TEX_DIE5, GL_TEXTURE_WIDTH), 8);
}

TEST_F(Textures, TheGamesOwnPicturesAllLoadWithPowerOfTwoSides) {
    std::filesystem::current_path(VANTU_SOURCE_DIR);
    ASSERT_TRUE(loadTextures());
    EXPECT_TRUE(scripted::messageBoxes().empty());
    for (int slot = 0; slot < kTextureCount; ++slot) {
        SCOPED_TRACE(kTextureFiles[slot]);
        const GLint w = level0(slot, GL_TEXTURE_WIDTH);
        const GLint h = level0(slot, GL_TEXTURE_HEIGHT);
        EXPECT_GE(w, 4);
        EXPECT_GE(h, 4);
        EXPECT_EQ(w & (w - 1), 0);
        EXPECT_EQ(h & (h - 1), 0);
    }
}

// An empty file and a folder in a picture's place exist but hold no bitmap: the reader says
// so. A picture the player may not read cannot be opened, like a missing one: skipped silently.
TEST_F(Textures, EmptyFilesAndFoldersAreReportedAndUnreadableFilesSkipped) {
    write(TEX_DIE1, {});
    std::filesystem::create_directory(kTextureFiles[TEX_DIE2]);
    write(TEX_DIE3, bitmap24(4, 4, 3));
    std::filesystem::permissions(kTextureFiles[TEX_DIE3], std::filesystem::perms::none);
    write(TEX_DIE4, bitmap24(4, 4, 4));
    {
        config_test::UnprivilegedFileAccess unprivileged;
        EXPECT_TRUE(loadTextures());
    }
    ASSERT_EQ(scripted::messageBoxes().size(), 2u);
    EXPECT_EQ(scripted::messageBoxes()[0].text, "Failed to open DIB file data/Die1.bmp.\n");
    EXPECT_EQ(scripted::messageBoxes()[1].text, "Failed to open DIB file data/Die2.bmp.\n");
    EXPECT_EQ(level0(TEX_DIE3, GL_TEXTURE_WIDTH), 0);
    EXPECT_EQ(level0(TEX_DIE4, GL_TEXTURE_WIDTH), 4);
}

}  // namespace
