// The frame's GL error check: on in test builds (Debug), absent from release frames. Runs the
// real drawing with the game's own pictures in the offscreen context.
#include <GL/gl.h>
#include <gtest/gtest.h>

#include <filesystem>
#include <string>

#include "dice_model.h"
#include "offscreen.h"
#include "platform_scripted.h"
#include "shell.h"

namespace {

TEST(FrameGlCheck, AFrameReportsTheErrorsOfATestBuildOnly) {
    offscreen::Context gl;
    ASSERT_TRUE(gl.create(64, 48)) << gl.error();

    scripted::reset();
    const auto previous = std::filesystem::current_path();
    std::filesystem::current_path(VANTU_SOURCE_DIR);
    initGameState();
    resizeView(64, 48);
    ASSERT_TRUE(initRenderState());
    std::filesystem::current_path(previous);

    // The game's own frames raise no error.
    ::testing::internal::CaptureStderr();
    for (int frame = 0; frame < 3; ++frame) {
        EXPECT_TRUE(runFrame());
    }
    EXPECT_EQ(::testing::internal::GetCapturedStderr(), "");

    ::testing::internal::CaptureStderr();
    glEnable(0x1234);  // no such capability: GL_INVALID_ENUM
    EXPECT_TRUE(runFrame());
    const std::string reported = ::testing::internal::GetCapturedStderr();
#ifdef VANTU_GL_CHECKS
    EXPECT_EQ(reported, "Vantu: GL error 0x0500 after a frame\n");
    EXPECT_EQ(glGetError(), static_cast<GLenum>(GL_NO_ERROR));
#else
    EXPECT_EQ(reported, "");
    EXPECT_EQ(glGetError(), static_cast<GLenum>(GL_INVALID_ENUM));
#endif
}

}  // namespace
