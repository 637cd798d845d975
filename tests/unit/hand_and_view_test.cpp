#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <utility>

#include "dice_model.h"
#include "hand_and_view.h"
#include "random.h"
#include "state_compare.h"

namespace {

using state_compare::advanced;

// A frame that finds the cursor dx, dy pixels from the centre; returns where the cursor goes back.
ScreenPoint moveCursorBy(int dx, int dy) {
    return updatePointer({320 + dx, 240 + dy});
}

class Pointer : public ::testing::Test {
  protected:
    void SetUp() override {
        game = GameState{};
        seedRand15(3);
        initGameState();
    }
};

TEST_F(Pointer, TenPixelsMoveTheHandOneUnitAndLeanTheView) {
    const ScreenPoint back = moveCursorBy(10, 0);
    EXPECT_EQ(game.handX, 1.0);
    EXPECT_EQ(game.handY, 0.0);
    EXPECT_EQ(game.viewYaw, -1.5f);
    EXPECT_EQ(back.x, 320);
    EXPECT_EQ(back.y, 240);

    moveCursorBy(0, -10);
    EXPECT_EQ(game.handY, 1.0);
    EXPECT_EQ(game.viewPitch, 1.5f);

    // A cursor that stays where it was put back moves nothing.
    updatePointer(back);
    EXPECT_EQ(game.handX, 1.0);
    EXPECT_EQ(game.handY, 1.0);
}

TEST_F(Pointer, OffsetIsScaledInSinglePrecision) {
    // 3 pixels: 3 * 0.15f = 0.450000018f, times 2/3 in float = 0.300000012f, widened.
    moveCursorBy(-3, 0);
    EXPECT_EQ(game.handX, static_cast<double>(-(3.0f * 0.15f) * (2.0f / 3.0f)));
    EXPECT_NE(game.handX, -3 * 0.15 * 2 / 3);
    EXPECT_EQ(game.viewYaw, 3.0f * 0.15f);
}

TEST_F(Pointer, FirstFrameJumpsFromWhereverTheCursorIs) {
    updatePointer({0, 0});
    // dx = 48, dy = 36: the hand would go to -32, 24 and stops at the limits.
    EXPECT_EQ(game.handX, -28);
    EXPECT_EQ(game.handY, 20);
    EXPECT_EQ(game.viewYaw, 48.0f);
    EXPECT_EQ(game.viewPitch, 36.0f);
}

TEST_F(Pointer, HandStopsAtItsLimitsWhileTheViewTurnsOn) {
    for (int i = 0; i < 40; ++i) {
        moveCursorBy(100, 100);
    }
    EXPECT_EQ(game.handX, 25);
    EXPECT_EQ(game.handY, -20);
    EXPECT_NEAR(game.viewYaw, -600, 0.001);
    EXPECT_NEAR(game.viewPitch, -600, 0.001);
    for (int i = 0; i < 80; ++i) {
        moveCursorBy(-100, -100);
    }
    EXPECT_EQ(game.handX, -28);
    EXPECT_EQ(game.handY, 20);
    EXPECT_NEAR(game.viewYaw, 600, 0.001);

    // Back from the limit at once: the excess was not stored.
    moveCursorBy(10, 10);
    EXPECT_EQ(game.handX, -27);
    EXPECT_EQ(game.handY, 19);
}

TEST_F(Pointer, ExtremeCursorPositionsAreClampedNotOverflowed) {
    updatePointer({-2147483647 - 1, 2147483647});
    EXPECT_EQ(game.handX, -28);
    EXPECT_EQ(game.handY, -20);
    EXPECT_GT(game.viewYaw, 0);
    EXPECT_LT(game.viewPitch, 0);
}

// The table after a first throw came to rest: die 0 lies at (5, 5), die 1 at (12, 0), the others
// far away; die 4 is held.
void restingTable() {
    const double places[kDiceCount][2] = {{5, 5}, {12, 0}, {-20, -14}, {-20, 14}, {22, -11}};
    for (int i = 0; i < kDiceCount; ++i) {
        DieState& die = game.dice[i];
        die.marked = i == 4 ? 1 : 0;
        die.x = places[i][0];
        die.y = places[i][1];
        die.vx = 0.001;
        die.vy = -0.001;
    }
    game.throwCount = 0;
}

TEST_F(Pointer, ClickAtTheThrowLineThrows) {
    restingTable();
    game.handX = 13;  // die 1 at 12 is within reach, but the line wins
    game.handY = 0;
    handleLeftClick();
    EXPECT_EQ(game.throwCount, 1);
    EXPECT_GT(game.dice[4].bouncesLeft, 0);
    EXPECT_EQ(game.dice[1].marked, 0);
    EXPECT_EQ(game.dice[1].x, 12);
}

TEST_F(Pointer, ClickJustLeftOfTheLinePicks) {
    restingTable();
    game.handX = 12.99;
    game.handY = 0;
    const std::uint32_t before = rand15State();
    handleLeftClick();
    EXPECT_EQ(game.throwCount, 0);
    const DieState& die = game.dice[1];
    EXPECT_EQ(die.marked, 1);
    EXPECT_EQ(die.x, 22);
    EXPECT_EQ(die.y, -15);
    EXPECT_EQ(die.vx, 0.001) << "a picked die keeps its leftover velocities";
    EXPECT_EQ(rand15State(), advanced(before, 3));
    for (double angle : {die.angleX, die.angleY}) {
        EXPECT_TRUE(angle == 0 || angle == 90 || angle == 180 || angle == 270) << angle;
    }
    EXPECT_GE(die.angleZ, 0);
    EXPECT_LE(die.angleZ, 90);
    EXPECT_EQ(die.angleZ, std::trunc(die.angleZ));
}

TEST_F(Pointer, PickReachIsOneUnitBoundsIncluded) {
    for (auto [hx, hy] : {std::pair{6.0, 6.0}, {4.0, 4.0}, {6.0, 4.0}}) {
        restingTable();
        game.handX = hx;
        game.handY = hy;
        handleLeftClick();
        EXPECT_EQ(game.dice[0].marked, 1) << hx << "," << hy;
    }
    for (auto [hx, hy] : {std::pair{6.000001, 6.0}, {5.0, 3.999999}}) {
        restingTable();
        game.handX = hx;
        game.handY = hy;
        const std::uint32_t before = rand15State();
        handleLeftClick();
        EXPECT_EQ(game.dice[0].marked, 0) << hx << "," << hy;
        EXPECT_EQ(rand15State(), before) << "a click over an empty spot draws nothing";
    }
}

TEST_F(Pointer, OneClickPicksEveryDieUnderTheHand) {
    restingTable();
    game.dice[2].x = 5.8;
    game.dice[2].y = 4.2;
    game.handX = 5.4;
    game.handY = 4.6;
    const std::uint32_t before = rand15State();
    handleLeftClick();
    EXPECT_EQ(game.dice[0].marked, 1);
    EXPECT_EQ(game.dice[2].marked, 1);
    EXPECT_EQ(game.dice[2].x, 20);
    EXPECT_EQ(rand15State(), advanced(before, 6));
}

TEST_F(Pointer, NoPickOnTheThirdThrowButTheLineStillThrowsAll) {
    restingTable();
    game.throwCount = 2;
    game.handX = 5;
    game.handY = 5;
    handleLeftClick();
    EXPECT_EQ(game.dice[0].marked, 0);
    EXPECT_EQ(game.throwCount, 2);

    game.handX = 20;
    handleLeftClick();
    EXPECT_EQ(game.throwCount, 0);
    for (const DieState& die : game.dice) {
        EXPECT_GT(die.bouncesLeft, 0);
        EXPECT_EQ(die.marked, 0);
    }
}

// One frame's count-downs, at the points where the drawing runs them.
void countDowns() {
    advanceIntro();
    if (game.introDistance == 0) {
        updateHandLift();
    }
}

TEST_F(Pointer, IntroRunsFor150FramesAndEndsExactlyAtZero) {
    for (int frame = 1; frame <= 150; ++frame) {
        ASSERT_GT(game.introDistance, 0) << "frame " << frame << " draws the intro";
        countDowns();
        ASSERT_EQ(game.handLift, 60);
    }
    // After 150 single-precision steps of 0.1f the distance is just below 0 and the angle just
    // above it.
    EXPECT_LT(game.introDistance, 0);
    EXPECT_GT(game.introDistance, -0.0001f);
    EXPECT_GT(game.introAngle, 0);
    EXPECT_LT(game.introAngle, 0.001f);

    countDowns();  // frame 151
    EXPECT_EQ(game.introDistance, 0.0f);
    EXPECT_EQ(game.introAngle, 0.0f);
    EXPECT_EQ(game.handLift, 59) << "the hand is updated from the 151st frame on";
}

TEST_F(Pointer, HandSlidesInAfterTheIntroAndOutWhileDiceFly) {
    game.introDistance = 0;
    for (int frame = 1; frame <= 60; ++frame) {
        countDowns();
        ASSERT_EQ(game.handLift, 60 - frame);
    }
    countDowns();
    EXPECT_EQ(game.handLift, 0);

    throwDice();
    for (int frame = 1; frame <= 70; ++frame) {
        countDowns();
        ASSERT_EQ(game.handLift, std::min(frame, 60));
    }
    // Back on the first frame in which no die has bounces left.
    for (DieState& die : game.dice) {
        die.bouncesLeft = 0;
    }
    countDowns();
    EXPECT_EQ(game.handLift, 59);
}

}  // namespace
