// The real scene code drawing offscreen (EGL pbuffer, llvmpipe) with the game's own projection and
// render state, for states built with the game's own functions.
//
// Reference images live in tests/render/reference/. A picture matches its reference when at most
// kPixelsAllowed pixels differ by more than kChannelTolerance in some channel; on a mismatch the
// picture drawn is saved beside the reference as NAME.actual.png. Run with
// VANTU_UPDATE_REFERENCES=1 to write the references anew (after the pictures in data/ changed).
#include <GL/gl.h>
#include <gtest/gtest.h>

#include <cstdint>
#include <cstdlib>
#include <string>

#include "dice_model.h"
#include "game_view.h"
#include "offscreen.h"
#include "platform_scripted.h"
#include "random.h"
#include "scene.h"
#include "screen_projection.h"
#include "textures.h"

namespace {

constexpr int kWidth = 640;
constexpr int kHeight = 480;
constexpr int kChannelTolerance = 8;
constexpr int kPixelsAllowed = 100;
constexpr std::uint32_t kSeed = 20261207;

}  // namespace

namespace {

offscreen::Context& context() {
    static offscreen::Context* made = [] {
        auto* c = new offscreen::Context;
        if (!c->create(kWidth, kHeight)) {
            ADD_FAILURE() << "offscreen context: " << c->error();
        }
        return c;
    }();
    return *made;
}

// Every GL error raised since the last call, as text; empty when there was none.
std::string glErrors() {
    std::string errors;
    for (GLenum e = glGetError(); e != GL_NO_ERROR; e = glGetError()) {
        errors += " 0x" + std::to_string(e);
    }
    return errors;
}

class SceneTest : public ::testing::Test {
  protected:
    void SetUp() override {
        ASSERT_EQ(context().width(), kWidth) << "no offscreen context";
        ASSERT_TRUE(setUpGameView(kWidth, kHeight));
        ASSERT_EQ(glErrors(), "") << "setting up the view";
        scripted::reset();
        scripted::setCursor(320, 240);
        seedRand15(kSeed);
        game = GameState{};
        initGameState();
    }

    // One frame as the game runs it; no GL error may come out of it.
    void frame() {
        gameFrame();
        ASSERT_EQ(glErrors(), "") << "in frame " << frames_;
        ++frames_;
    }

    void frames(int n) {
        for (int i = 0; i < n && !HasFatalFailure(); ++i) {
            frame();
        }
    }

    // One frame with the cursor found (dx, dy) pixels away from where the game puts it back.
    void frameWithMotion(int dx, int dy) {
        scripted::setCursor(320 + dx, 240 + dy);
        frame();
    }

    void expectMatchesReference(const std::string& name) {
        const offscreen::Image actual = context().read();
        const std::string reference = std::string(VANTU_REFERENCE_DIR) + "/" + name + ".png";
        const std::string actualPath =
            std::string(VANTU_REFERENCE_DIR) + "/" + name + ".actual.png";
        const char* update = std::getenv("VANTU_UPDATE_REFERENCES");
        if (update != nullptr && std::string(update) == "1") {
            ASSERT_TRUE(offscreen::writePng(reference, actual)) << reference;
            std::remove(actualPath.c_str());
            return;
        }
        offscreen::Image expected;
        const bool read = offscreen::readPng(reference, expected);
        const offscreen::Difference d = offscreen::compare(expected, actual, kChannelTolerance);
        const bool matches = read && d.sameSize && d.pixelsOver <= kPixelsAllowed;
        if (matches) {
            std::remove(actualPath.c_str());
            return;
        }
        offscreen::writePng(actualPath, actual);
        ADD_FAILURE() << name << ": " << (read ? "" : "no reference; ")
                      << (d.sameSize ? "" : "size differs; ") << d.pixelsOver
                      << " pixels differ by more than " << kChannelTolerance
                      << " (largest difference " << d.largestDelta << "); drawn picture saved as "
                      << actualPath;
    }

    int frames_ = 0;
};

// Where a point of the table plane, `height` above it, appears in the picture, seen straight
// from above.
ScreenPixel project(double x, double y, double height) {
    return ScreenProjection{kWidth, kHeight}.pixel(x, y, height);
}

// Replaces a slot's picture by a 4x4 picture of one colour, with the game's filters.
void fillSlot(int slot, std::uint8_t r, std::uint8_t g, std::uint8_t b) {
    std::uint8_t pixels[4 * 4 * 3];
    for (int p = 0; p < 16; ++p) {
        pixels[p * 3] = r;
        pixels[p * 3 + 1] = g;
        pixels[p * 3 + 2] = b;
    }
    glBindTexture(GL_TEXTURE_2D, textures[slot]);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_NEAREST);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_NEAREST);
    glTexImage2D(GL_TEXTURE_2D, 0, 3, 4, 4, 0, GL_RGB, GL_UNSIGNED_BYTE, pixels);
}

// The colour at a pixel of a picture, as (r, g, b) in one number for readable failures.
std::uint32_t colourAt(const offscreen::Image& image, int x, int y) {
    const std::uint8_t* p = image.at(x, y);
    return (std::uint32_t{p[0]} << 16) | (std::uint32_t{p[1]} << 8) | p[2];
}

struct GlState {
    bool blend;
    bool depthTest;
    bool lighting;
    GLint blendSource;
    GLint blendDestination;
};

GlState currentGlState() {
    GlState s{};
    s.blend = glIsEnabled(GL_BLEND) == GL_TRUE;
    s.depthTest = glIsEnabled(GL_DEPTH_TEST) == GL_TRUE;
    s.lighting = glIsEnabled(GL_LIGHTING) == GL_TRUE;
    glGetIntegerv(GL_BLEND_SRC, &s.blendSource);
    glGetIntegerv(GL_BLEND_DST, &s.blendDestination);
    return s;
}

void expectHandFrameState() {
    const GlState s = currentGlState();
    EXPECT_TRUE(s.blend);
    EXPECT_FALSE(s.depthTest);
    EXPECT_FALSE(s.lighting);
    EXPECT_EQ(s.blendSource, GL_ONE);
    EXPECT_EQ(s.blendDestination, GL_ONE);
}

void expectIntroFrameState() {
    const GlState s = currentGlState();
    EXPECT_FALSE(s.blend);
    EXPECT_TRUE(s.depthTest);
    EXPECT_FALSE(s.lighting);
    EXPECT_EQ(s.blendSource, GL_SRC_ALPHA);
    EXPECT_EQ(s.blendDestination, GL_ONE);
}

// A whole game seen at its milestones: the intro, the hand sliding in and at home, a throw, the
// dice at rest with the view leaned, the hand in its top-left corner.
TEST_F(SceneTest, GameMilestonesMatchTheirReferences) {
    frame();
    expectMatchesReference("intro_first_frame");
    expectIntroFrameState();

    frames(149);
    EXPECT_EQ(game.handLift, 60.0);
    frame();  // the first frame after the intro: the hand starts its slide from 60
    EXPECT_EQ(game.introDistance, 0.0f);
    EXPECT_EQ(game.handLift, 59.0);
    expectMatchesReference("after_intro_hand_lift_60");
    expectHandFrameState();

    frames(59);
    EXPECT_EQ(game.handLift, 0.0);
    expectMatchesReference("hand_lift_0");

    ASSERT_TRUE(allDiceAtRest());
    throwDice();
    frames(45);
    ASSERT_FALSE(allDiceAtRest());
    expectMatchesReference("dice_in_flight");
    expectHandFrameState();

    frames(400);
    ASSERT_TRUE(allDiceAtRest());
    for (int i = 0; i < 10; ++i) {
        frameWithMotion(200, 100);  // right and down: the hand beside the box, the view leans
    }
    EXPECT_EQ(game.handX, 25.0);
    EXPECT_EQ(game.handY, -20.0);
    frames(60);
    expectMatchesReference("dice_at_rest_view_leaned");

    for (int i = 0; i < 10; ++i) {
        frameWithMotion(-400, -300);
    }
    EXPECT_EQ(game.handX, -28.0);
    EXPECT_EQ(game.handY, 20.0);
    expectMatchesReference("hand_at_top_left_limit");
}

// Seen straight from above, the table top spans x -23..13, y -17..17 at distance 75 and the rims
// reach x -24..14, y -18..18 at distance 68. With a plain white desk picture, the lit top and
// rims are bright and the inner walls between them darker.
TEST_F(SceneTest, TableAndRimsLieWhereTheyShould) {
    fillSlot(TEX_DESK, 255, 255, 255);
    game.introDistance = 0.0f;
    game.introAngle = 0.0f;
    for (DieState& die : game.dice) {
        die.visible = 0;
    }
    game.handX = 25;  // the hand out of the way, over the black right of the box
    game.handY = -20;
    frame();
    const offscreen::Image image = context().read();

    auto brightness = [&](double px, double py) {
        const std::uint8_t* p = image.at(static_cast<int>(px), static_cast<int>(py));
        return (p[0] + p[1] + p[2]) / 3;
    };
    // Along the middle row and the middle column: (edge of what, expected pixel position, what
    // lies just before, just after), stepping rightwards / downwards.
    enum Kind { kBlack, kBright, kWall };
    auto kindOf = [](int b) { return b < 20 ? kBlack : (b > 170 ? kBright : kWall); };
    struct Edge {
        double position;
        Kind before;
        Kind after;
    };
    const ScreenPixel centre = project(-5, 0, 0);
    const double row = centre.y;
    const Edge across[] = {
        {project(-24, 0, 7).x, kBlack, kBright},  // outer edge of the left rim
        {project(-23, 0, 7).x, kBright, kWall},   // rim to the left wall
        {project(-23, 0, 0).x, kWall, kBright},   // left wall to the table top
        {project(13, 0, 0).x, kBright, kWall},   {project(13, 0, 7).x, kWall, kBright},
        {project(14, 0, 7).x, kBright, kBlack},
    };
    for (const Edge& e : across) {
        EXPECT_EQ(kindOf(brightness(e.position - 1.5, row)), e.before) << "x pixel " << e.position;
        EXPECT_EQ(kindOf(brightness(e.position + 1.5, row)), e.after) << "x pixel " << e.position;
    }
    const double column = centre.x;
    const Edge down[] = {
        {project(0, 18, 7).y, kBlack, kBright}, {project(0, 17, 7).y, kBright, kWall},
        {project(0, 17, 0).y, kWall, kBright},  {project(0, -17, 0).y, kBright, kWall},
        {project(0, -17, 7).y, kWall, kBright}, {project(0, -18, 7).y, kBright, kBlack},
    };
    for (const Edge& e : down) {
        EXPECT_EQ(kindOf(brightness(column, e.position - 1.5)), e.before)
            << "y pixel " << e.position;
        EXPECT_EQ(kindOf(brightness(column, e.position + 1.5)), e.after)
            << "y pixel " << e.position;
    }
}

// With both view values 0 and handLift 0, the hand at (-28, 20) covers x -28..2, y -10..20 of the
// table plane. A black mask and a pure red picture make the hand a red rectangle.
TEST_F(SceneTest, HandCoversItsThirtyUnitSquare) {
    fillSlot(TEX_HAND_MASK, 0, 0, 0);
    fillSlot(TEX_HAND, 255, 0, 0);
    game.introDistance = 0.0f;
    game.introAngle = 0.0f;
    game.handX = -28;
    game.handY = 20;
    game.handLift = 0;
    frame();
    EXPECT_EQ(game.handLift, 0.0);
    const offscreen::Image image = context().read();

    const ScreenPixel topLeft = project(-28, 20, 0);
    const ScreenPixel bottomRight = project(2, -10, 0);
    auto isRed = [&](double px, double py) {
        return colourAt(image, static_cast<int>(px), static_cast<int>(py)) == 0xff0000u;
    };
    const double midX = (topLeft.x + bottomRight.x) / 2;
    const double midY = (topLeft.y + bottomRight.y) / 2;
    EXPECT_TRUE(isRed(topLeft.x + 1, topLeft.y + 1));
    EXPECT_TRUE(isRed(bottomRight.x - 1, bottomRight.y - 1));
    EXPECT_TRUE(isRed(midX, midY));
    EXPECT_FALSE(isRed(topLeft.x - 1.5, midY));
    EXPECT_FALSE(isRed(bottomRight.x + 1.5, midY));
    EXPECT_FALSE(isRed(midX, topLeft.y - 1.5));
    EXPECT_FALSE(isRed(midX, bottomRight.y + 1.5));

    // Lifted by 60, the same hand lies 60 right and 60 down: its corner now at (32, -40), off
    // the bottom of the screen, so nothing of it is left where it was.
    game.handLift = 60;
    game.dice[0].bouncesLeft = 1;  // a die in flight keeps the hand lifted
    frame();
    EXPECT_EQ(game.handLift, 60.0);
    const offscreen::Image lifted = context().read();
    EXPECT_NE(colourAt(lifted, static_cast<int>(midX), static_cast<int>(midY)), 0xff0000u);
}

// The die shows the picture of its face word's slot on each face: seen from above after a snap,
// the face on top follows the orientation table of the dice, and a face word that holds 3 shows
// the Die4 picture.
TEST_F(SceneTest, DieFacesShowTheirFaceWordsPictures) {
    // Die1..Die6 in six colours that stay apart when a faint back face adds in.
    const std::uint32_t colours[6] = {0xff0000, 0x00ff00, 0x0000ff, 0xffff00, 0x00ffff, 0xff00ff};
    for (int slot = 0; slot < 6; ++slot) {
        fillSlot(slot, static_cast<std::uint8_t>(colours[slot] >> 16),
                 static_cast<std::uint8_t>(colours[slot] >> 8),
                 static_cast<std::uint8_t>(colours[slot]));
    }
    fillSlot(TEX_DIE_SHADER, 0, 0, 0);
    fillSlot(TEX_DESK, 0, 0, 0);
    game.introDistance = 0.0f;
    game.introAngle = 0.0f;
    game.handX = 25;
    game.handY = -20;
    for (DieState& die : game.dice) {
        die.visible = 0;
    }
    DieState& die = game.dice[0];
    die.visible = 1;
    die.marked = 0;
    die.x = 0;
    die.y = 0;
    die.z = -74;
    die.angleZ = 0;

    struct Case {
        double angleX;
        double angleY;
        int topSlot;  // Die1 = 0
    };
    const Case cases[] = {{0, 0, 0},     {0, 90, 3},  {0, 180, 5},  {0, 270, 2},   {90, 0, 4},
                          {90, 90, 4},   {180, 0, 5}, {180, 90, 2}, {180, 180, 0}, {270, 0, 1},
                          {270, 270, 1}, {-90, 0, 1}, {450, 0, 4}};
    const ScreenPixel centre = project(0, 0, 2);
    auto topColour = [&] {
        frame();
        const offscreen::Image image = context().read();
        const std::uint8_t* p = image.at(static_cast<int>(centre.x), static_cast<int>(centre.y));
        return ((p[0] > 128 ? 0xffu : 0u) << 16) | ((p[1] > 128 ? 0xffu : 0u) << 8) |
               (p[2] > 128 ? 0xffu : 0u);
    };
    for (const Case& c : cases) {
        die.angleX = c.angleX;
        die.angleY = c.angleY;
        EXPECT_EQ(topColour(), colours[c.topSlot])
            << "angleX " << c.angleX << ", angleY " << c.angleY;
    }

    die.angleX = 0;
    die.angleY = 0;
    die.faceTexture[0] = 3;
    EXPECT_EQ(topColour(), colours[TEX_DIE4]);

    // A face word outside the eleven slots draws that face without a picture (white when lit)
    // instead of reading past the slot table.
    die.faceTexture[0] = 99;
    EXPECT_EQ(topColour(), 0xffffffu);
}

// A frame leaves blending, depth test, lighting and the blend function as the next frame expects
// them: the hand's state after a hand frame, the dice's after an intro frame (also one whose
// count-down ends just below 0, which draws no hand yet).
TEST_F(SceneTest, FramesLeaveTheirGlState) {
    frame();
    expectIntroFrameState();

    game.introDistance = 0.05f;
    frame();
    EXPECT_LT(game.introDistance, 0.0f);
    EXPECT_EQ(game.handLift, 60.0) << "no hand while the intro value is not exactly 0";
    expectIntroFrameState();

    frame();
    EXPECT_EQ(game.introDistance, 0.0f);
    EXPECT_EQ(game.handLift, 59.0);
    expectHandFrameState();

    throwDice();
    frames(20);
    expectHandFrameState();
}

}  // namespace
