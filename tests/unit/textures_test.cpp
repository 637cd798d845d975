// loadTextures in a real OpenGL context: the offscreen one of the drawing tests.
#include <gtest/gtest.h>

#include <GL/gl.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <memory>
#include <string>
#include <vector>

#include "bmp_file.h"
#include "config_test_files.h"
#include "offscreen.h"
#include "platform_scripted.h"
#include "scratch_folder.h"
#include "textures.h"

namespace {

using bmpfile::Bytes;

// A 24-bit BMP whose pixel (x, y) is (seed, x * 10, y * 10), bottom row first.
Bytes bitmap24(int width, int height, std::uint8_t seed) {
    return bmpfile::rgb24File(width, height, [seed](int x, int y) {
        return bmpfile::Rgb{seed, static_cast<std::uint8_t>(x * 10),
                            static_cast<std::uint8_t>(y * 10)};
    });
}

class Textures : public ::testing::Test {
  protected:
    static void SetUpTestSuite() {
        context_ = new offscreen::Context;
        if (!context_->create(16, 16)) {
            error_ = context_->error();
        }
    }
    void SetUp() override {
        ASSERT_EQ(error_, "") << "no offscreen OpenGL context";
        scripted::reset();
        folder_ = std::make_unique<ScratchFolder>("textures", true);
        std::filesystem::create_directories("data");
    }
    void TearDown() override { folder_.reset(); }

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

    // Made once and kept for the whole run: the driver's state lives until the process ends.
    static inline offscreen::Context* context_ = nullptr;
    static inline std::string error_;
    std::unique_ptr<ScratchFolder> folder_;
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
