#include <gtest/gtest.h>

#include <cmath>
#include <cstring>

#include "dice_model.h"
#include "motion.h"
#include "random.h"
#include "state_compare.h"

namespace {

using state_compare::advanced;

// A table with every die lying still far apart, none held, after the first throw of a turn.
void quietTable() {
    game = GameState{};
    seedRand15(7);
    initGameState();
    const double places[kDiceCount][2] = {{-20, -14}, {-20, 14}, {-5, 0}, {8, -14}, {8, 14}};
    for (int i = 0; i < kDiceCount; ++i) {
        DieState& die = game.dice[i];
        die.marked = 0;
        die.x = places[i][0];
        die.y = places[i][1];
        die.angleX = 0;
        die.angleY = 0;
    }
    game.throwCount = 0;
}

class Motion : public ::testing::Test {
  protected:
    void SetUp() override { quietTable(); }
};

TEST_F(Motion, DieThrownFromHomeMeetsTheRightWallInItsFirstTwoFrames) {
    game.dice[1].marked = 1;
    throwDice();
    DieState& die = game.dice[1];
    ASSERT_EQ(die.x, 22);
    const double vx0 = die.vx;
    ASSERT_LT(vx0, 0);

    std::uint32_t before = rand15State();
    stepDice();
    EXPECT_EQ(die.x, 12);
    EXPECT_EQ(die.vx, -(vx0 * 0.995));
    EXPECT_EQ(rand15State(), advanced(before, 6)) << "the wall hit calls snapAndSpin";

    const double vx1 = die.vx;
    before = rand15State();
    stepDice();
    EXPECT_EQ(die.x, 12);
    EXPECT_EQ(die.vx, -(vx1 * 0.995));
    EXPECT_LT(die.vx, 0);
    EXPECT_EQ(rand15State(), advanced(before, 6));

    stepDice();
    EXPECT_LT(die.x, 12) << "from the third frame on it travels left";
}

TEST_F(Motion, LastLandingRestsOnTheTableWithARollSpin) {
    DieState& die = game.dice[2];
    die.bouncesLeft = 1;
    die.z = -73.9;
    die.fallSpeed = 0.5;
    die.spinX = 4;
    die.spinY = 3;
    die.spinZ = 2;
    seedRand15(99);
    const int draw = randBelow(31);
    seedRand15(99);
    stepDice();
    EXPECT_EQ(die.z, -74.0);
    EXPECT_EQ(die.bouncesLeft, 0);
    EXPECT_EQ(die.fallSpeed, 0);
    EXPECT_EQ(die.rollSpin, 0.5 * (draw - 15));
    EXPECT_EQ(std::fmod(die.angleX, 90), 0);
    EXPECT_EQ(std::fmod(die.angleY, 90), 0);
    // One roll-spin draw, then snapAndSpin's six.
    EXPECT_EQ(rand15State(), advanced(99, 7));
}

TEST_F(Motion, LandingThatIsNotTheLastRebounds) {
    DieState& die = game.dice[2];
    die.bouncesLeft = 3;
    die.z = -74;
    die.fallSpeed = 0.3;
    die.vx = 0.2;
    die.vy = 0;
    die.spinZ = 5;
    stepDice();
    EXPECT_EQ(die.z, -74.0);
    EXPECT_EQ(die.bouncesLeft, 2);
    EXPECT_TRUE(die.fallSpeed == -0.6 || die.fallSpeed == -0.55 || die.fallSpeed == -0.5);
    EXPECT_NEAR(die.vx, 0.2 * 0.995 * 0.99, 0.0101);
    EXPECT_NEAR(die.vy, 0, 0.0101);

    // Staying above the table is no landing.
    die.z = -73;
    die.fallSpeed = 0.5;
    stepDice();
    EXPECT_EQ(die.z, -73.5);
    EXPECT_EQ(die.bouncesLeft, 2);
}

TEST_F(Motion, DiceOnTheSameSpotSeparateByPointSixEach) {
    // Die 3 is held, so only die 2 is stepped against it.
    DieState& mover = game.dice[2];
    DieState& held = game.dice[3];
    held.marked = 1;
    mover.x = held.x = 0;
    mover.y = held.y = 0;
    stepDice();
    EXPECT_EQ(mover.x, 0.6);
    EXPECT_EQ(held.x, -0.6);
    EXPECT_EQ(mover.y, 0.6);
    EXPECT_EQ(held.y, -0.6);
}

TEST_F(Motion, CollisionReachIncludesItsBounds) {
    // Both in play: after die 2 pushes die 3 away they are exactly 1.2 apart on both axes, and
    // die 3's own step hits again.
    game.dice[2].x = game.dice[3].x = 0;
    game.dice[2].y = game.dice[3].y = 0;
    stepDice();
    EXPECT_GT(game.dice[2].x, 1.7);
    EXPECT_LT(game.dice[3].x, -1.7);
    EXPECT_GT(game.dice[2].y, 1.7);
    EXPECT_LT(game.dice[3].y, -1.7);
}

TEST_F(Motion, CollisionExchangesOnlyTheVelocities) {
    // Die 0 is in flight; die 1 slides into it from the right.
    DieState& flier = game.dice[0];
    DieState& slider = game.dice[1];
    flier.x = 0;
    flier.y = 0;
    flier.z = -70;
    flier.fallSpeed = 0.1;
    flier.bouncesLeft = 3;
    flier.vx = 0;
    flier.vy = 0;
    flier.spinX = 1;
    flier.spinY = 2;
    flier.spinZ = 3;
    slider.x = 1.3;
    slider.y = 0;
    slider.vx = -0.2;
    slider.vy = 0;
    slider.bouncesLeft = 0;

    stepDice();
    EXPECT_EQ(flier.bouncesLeft, 3);
    EXPECT_EQ(flier.z, -70.0 - 0.1);
    EXPECT_EQ(flier.fallSpeed, 0.1 + 0.0175);
    EXPECT_EQ(flier.spinX, 1);
    EXPECT_EQ(flier.spinY, 2);
    EXPECT_EQ(flier.spinZ, 3);
    EXPECT_EQ(flier.vx, -0.2 * 0.98);
    EXPECT_EQ(slider.vx, 0);
    EXPECT_EQ(slider.z, -74);
    // Pushed apart by (1.1 + 1.2) / 2 along x and 0.6 along y.
    EXPECT_DOUBLE_EQ(slider.x, 1.1 + 1.15);
    EXPECT_DOUBLE_EQ(flier.x, -1.15);
    EXPECT_EQ(slider.y, 0.6);
    EXPECT_EQ(flier.y, -0.6);
}

TEST_F(Motion, RollingDieAtAWallIsReversedWithoutSnap) {
    DieState& die = game.dice[4];
    die.x = 11.9;
    die.vx = 0.5;
    const std::uint32_t before = rand15State();
    stepDice();
    EXPECT_EQ(die.x, 12);
    EXPECT_EQ(die.vx, -(0.5 * 0.98));
    EXPECT_EQ(rand15State(), before);

    die.y = -15.95;
    die.vy = -0.1;
    stepDice();
    EXPECT_EQ(die.y, -16);
    EXPECT_GT(die.vy, 0);
    EXPECT_EQ(rand15State(), before);
}

TEST_F(Motion, RollSpinStopsWhenBothSpeedsAreSmall) {
    DieState& die = game.dice[2];
    die.rollSpin = 4;
    die.vx = 0.011;  // 0.01078 after friction: still turning
    die.angleZ = 10;
    stepDice();
    EXPECT_EQ(die.angleZ, 14);
    EXPECT_EQ(die.rollSpin, 4 * 0.98);

    die.vx = 0.0102;  // 0.009996 after friction: no more turning, but still moving
    die.vy = -0.0102;
    const double x = die.x;
    stepDice();
    EXPECT_EQ(die.angleZ, 14);
    EXPECT_EQ(die.rollSpin, 4 * 0.98);
    EXPECT_EQ(die.x, x + 0.0102);
    EXPECT_GT(die.vx, 0);
}

TEST_F(Motion, HeldDiceNeverMove) {
    DieState& die = game.dice[0];
    die.marked = 1;
    die.bouncesLeft = 2;
    die.z = -64.5;
    die.vx = 0.3;
    die.vy = 0.3;
    die.fallSpeed = 0.2;
    die.spinX = 5;
    DieState copy = die;
    const std::uint32_t before = rand15State();
    stepDice();
    EXPECT_TRUE(state_compare::sameDie(copy, die));
    EXPECT_EQ(rand15State(), before);
}

// Whole throws from several seeds: every die lands exactly as often as its bounces, ends on a
// face inside the box, and the rest test turns true.
TEST(MotionThrows, EveryThrowComesToRestOnAFace) {
    for (std::uint32_t seed : {1u, 2u, 12345u, 0xdeadbeefu}) {
        seedRand15(seed);
        initGameState();
        for (int throwIndex = 0; throwIndex < 6; ++throwIndex) {
            throwDice();
            int landings[kDiceCount] = {};
            int bounces[kDiceCount];
            for (int i = 0; i < kDiceCount; ++i) {
                bounces[i] = game.dice[i].bouncesLeft;
            }
            int frames = 0;
            while (!allDiceAtRest() && frames < 5000) {
                int before[kDiceCount];
                for (int i = 0; i < kDiceCount; ++i) {
                    before[i] = game.dice[i].bouncesLeft;
                }
                stepDice();
                ++frames;
                for (int i = 0; i < kDiceCount; ++i) {
                    landings[i] += before[i] - game.dice[i].bouncesLeft;
                }
            }
            ASSERT_LT(frames, 5000) << "seed " << seed;
            for (int i = 0; i < kDiceCount; ++i) {
                const DieState& die = game.dice[i];
                if (die.marked == 1) {
                    continue;
                }
                EXPECT_EQ(landings[i], bounces[i]);
                EXPECT_EQ(die.z, -74);
                EXPECT_EQ(die.fallSpeed, 0);
                EXPECT_EQ(std::fmod(die.angleX, 90), 0);
                EXPECT_EQ(std::fmod(die.angleY, 90), 0);
                // A later die's push may leave it past a wall until its own next step.
                EXPECT_GE(die.x, -22 - 2.4);
                EXPECT_LE(die.x, 12 + 2.4);
            }
            // Hold two dice for the next throw, where they lie.
            game.dice[throwIndex % kDiceCount].marked = 1;
            game.dice[(throwIndex + 2) % kDiceCount].marked = 1;
        }
    }
}

}  // namespace
