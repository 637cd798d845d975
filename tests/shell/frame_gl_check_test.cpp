// The frame's GL error check: on in test builds (Debug), absent from release frames. Runs the
// real drawing with the game's own pictures in an EGL surfaceless context.
#include <EGL/egl.h>
#include <EGL/eglext.h>
#include <GL/gl.h>
#include <gtest/gtest.h>

#include <filesystem>
#include <string>

#include "dice_model.h"
#include "platform_scripted.h"
#include "shell.h"

namespace {

TEST(FrameGlCheck, AFrameReportsTheErrorsOfATestBuildOnly) {
    EGLDisplay display =
        eglGetPlatformDisplay(EGL_PLATFORM_SURFACELESS_MESA, EGL_DEFAULT_DISPLAY, nullptr);
    if (display == EGL_NO_DISPLAY || !eglInitialize(display, nullptr, nullptr) ||
        !eglBindAPI(EGL_OPENGL_API)) {
        GTEST_SKIP() << "no EGL surfaceless display";
    }
    const EGLint attributes[] = {EGL_SURFACE_TYPE, EGL_PBUFFER_BIT, EGL_RENDERABLE_TYPE,
                                 EGL_OPENGL_BIT,   EGL_DEPTH_SIZE,  16,
                                 EGL_NONE};
    EGLConfig config = nullptr;
    EGLint count = 0;
    const EGLint size[] = {EGL_WIDTH, 64, EGL_HEIGHT, 48, EGL_NONE};
    if (!eglChooseConfig(display, attributes, &config, 1, &count) || count < 1) {
        GTEST_SKIP() << "no EGL configuration for OpenGL";
    }
    EGLSurface surface = eglCreatePbufferSurface(display, config, size);
    EGLContext context = eglCreateContext(display, config, EGL_NO_CONTEXT, nullptr);
    if (surface == EGL_NO_SURFACE || context == EGL_NO_CONTEXT ||
        !eglMakeCurrent(display, surface, surface, context)) {
        GTEST_SKIP() << "no OpenGL context";
    }

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

    eglMakeCurrent(display, EGL_NO_SURFACE, EGL_NO_SURFACE, EGL_NO_CONTEXT);
    eglDestroyContext(display, context);
    eglDestroySurface(display, surface);
    eglReleaseThread();
}

}  // namespace
