// The view and the fixed render state, read back from a real OpenGL context.
#include <GL/gl.h>
#include <gtest/gtest.h>

#include <cmath>
#include <string>

#include "offscreen.h"
#include "platform.h"
#include "platform_scripted.h"
#include "render_recording.h"
#include "shell.h"

// The texture loading is render_recording's: it loads nothing and reports what the test says.

namespace {

class ShellRenderTest : public ::testing::Test {
  protected:
    void SetUp() override {
        scripted::reset();
        shell = ShellState{};
        renderRecording::setTexturesLoad(true);
        // A fresh context for each test, so that no state carries over.
        ASSERT_TRUE(gl_.create(64, 64)) << gl_.error();
    }
    offscreen::Context gl_;
};

TEST_F(ShellRenderTest, SizeMessageSetsViewportAndProjectionTakingHeightZeroAsOne) {
    glMatrixMode(GL_MODELVIEW);
    glTranslatef(1.0f, 2.0f, 3.0f);
    glMatrixMode(GL_PROJECTION);
    glTranslatef(1.0f, 2.0f, 3.0f);

    EXPECT_EQ(gameWindowProc(nullptr, WM_SIZE, 0, 640), 0);  // 640 x 0

    GLint viewport[4];
    glGetIntegerv(GL_VIEWPORT, viewport);
    EXPECT_EQ(viewport[0], 0);
    EXPECT_EQ(viewport[1], 0);
    EXPECT_EQ(viewport[2], 640);
    EXPECT_EQ(viewport[3], 1);

    GLint mode = 0;
    glGetIntegerv(GL_MATRIX_MODE, &mode);
    EXPECT_EQ(mode, GL_MODELVIEW);
    GLfloat m[16];
    glGetFloatv(GL_MODELVIEW_MATRIX, m);
    for (int i = 0; i < 16; ++i) {
        EXPECT_EQ(m[i], i % 5 == 0 ? 1.0f : 0.0f) << i;
    }

    // A 33 degree vertical field, aspect 640 / 1, near 0.1, far 100.
    glGetFloatv(GL_PROJECTION_MATRIX, m);
    const double cot = 1.0 / std::tan(16.5 * M_PI / 180.0);
    EXPECT_NEAR(m[5], cot, 1e-5);
    EXPECT_NEAR(m[0], cot / 640.0, 1e-8);
    EXPECT_NEAR(m[10], -100.1 / 99.9, 1e-6);
    EXPECT_NEAR(m[14], -20.0 / 99.9, 1e-6);
    EXPECT_EQ(m[11], -1.0f);
    EXPECT_EQ(m[15], 0.0f);

    resizeView(1024, 768);
    glGetFloatv(GL_PROJECTION_MATRIX, m);
    EXPECT_NEAR(m[0], cot * 768.0 / 1024.0, 1e-6);
}

TEST_F(ShellRenderTest, RenderStateAndLightAsDesigned) {
    resizeView(64, 64);
    ASSERT_TRUE(initRenderState());

    EXPECT_TRUE(glIsEnabled(GL_TEXTURE_2D));
    GLint value = 0;
    glGetIntegerv(GL_SHADE_MODEL, &value);
    EXPECT_EQ(value, GL_SMOOTH);
    GLfloat v[4];
    glGetFloatv(GL_COLOR_CLEAR_VALUE, v);
    EXPECT_EQ(v[0], 0.0f);
    EXPECT_EQ(v[1], 0.0f);
    EXPECT_EQ(v[2], 0.0f);
    EXPECT_EQ(v[3], 0.5f);
    glGetFloatv(GL_DEPTH_CLEAR_VALUE, v);
    EXPECT_EQ(v[0], 1.0f);
    EXPECT_TRUE(glIsEnabled(GL_DEPTH_TEST));
    EXPECT_FALSE(glIsEnabled(GL_BLEND));
    glGetIntegerv(GL_DEPTH_FUNC, &value);
    EXPECT_EQ(value, GL_LEQUAL);
    glGetIntegerv(GL_PERSPECTIVE_CORRECTION_HINT, &value);
    EXPECT_EQ(value, GL_NICEST);

    glGetLightfv(GL_LIGHT1, GL_AMBIENT, v);
    EXPECT_EQ(v[0], 0.5f);
    EXPECT_EQ(v[1], 0.5f);
    EXPECT_EQ(v[2], 0.5f);
    EXPECT_EQ(v[3], 1.0f);
    glGetLightfv(GL_LIGHT1, GL_DIFFUSE, v);
    EXPECT_EQ(v[0], 1.0f);
    EXPECT_EQ(v[1], 1.0f);
    EXPECT_EQ(v[2], 1.0f);
    EXPECT_EQ(v[3], 1.0f);
    // Stored in eye coordinates: given under the identity, it stays (0, 0, 2).
    glGetLightfv(GL_LIGHT1, GL_POSITION, v);
    EXPECT_EQ(v[0], 0.0f);
    EXPECT_EQ(v[1], 0.0f);
    EXPECT_EQ(v[2], 2.0f);
    EXPECT_EQ(v[3], 1.0f);
    EXPECT_TRUE(glIsEnabled(GL_LIGHT1));
    EXPECT_FALSE(glIsEnabled(GL_LIGHT0));
    EXPECT_TRUE(glIsEnabled(GL_LIGHTING));

    glGetFloatv(GL_CURRENT_COLOR, v);
    EXPECT_EQ(v[0], 1.0f);
    EXPECT_EQ(v[1], 1.0f);
    EXPECT_EQ(v[2], 1.0f);
    EXPECT_EQ(v[3], 0.5f);
    glGetIntegerv(GL_BLEND_SRC, &value);
    EXPECT_EQ(value, GL_SRC_ALPHA);
    glGetIntegerv(GL_BLEND_DST, &value);
    EXPECT_EQ(value, GL_ONE);
    EXPECT_EQ(glGetError(), static_cast<GLenum>(GL_NO_ERROR));
}

TEST_F(ShellRenderTest, FailedTextureLoadingSetsNothingElse) {
    renderRecording::setTexturesLoad(false);
    EXPECT_FALSE(initRenderState());
    EXPECT_FALSE(glIsEnabled(GL_TEXTURE_2D));
    EXPECT_FALSE(glIsEnabled(GL_DEPTH_TEST));
    EXPECT_FALSE(glIsEnabled(GL_LIGHTING));
    EXPECT_FALSE(glIsEnabled(GL_LIGHT1));
    GLint value = 0;
    glGetIntegerv(GL_BLEND_DST, &value);
    EXPECT_EQ(value, GL_ZERO);
}

TEST_F(ShellRenderTest, GlErrorsAreReportedOnceEachAndCleared) {
    ::testing::internal::CaptureStderr();
    glEnable(0x1234);  // no such capability: GL_INVALID_ENUM
    EXPECT_EQ(reportGlErrors("the test"), 1);
    EXPECT_EQ(reportGlErrors("the test"), 0);
    EXPECT_EQ(::testing::internal::GetCapturedStderr(), "Vantu: GL error 0x0500 after the test\n");
}

}  // namespace
