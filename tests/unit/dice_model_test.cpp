#include <gtest/gtest.h>

#include <cmath>
#include <cstring>

#include "dice_model.h"
#include "random.h"
#include "state_compare.h"

namespace {

using state_compare::advanced;

TEST(Random, KnownSequences) {
    seedRand15(1);
    for (int expected : {41, 18467, 6334, 26500, 19169, 15724, 11478, 29358, 26962, 24464}) {
        EXPECT_EQ(rand15(), expected);
    }
    seedRand15(0);
    EXPECT_EQ(rand15(), 38);
    seedRand15(0xffffffffu);
    EXPECT_EQ(rand15(), 35);
}

TEST(Random, RandBelowScalesTheDrawDown) {
    seedRand15(1);
    EXPECT_EQ(randBelow(6), 0);  // 41 * 6 / 32768
    EXPECT_EQ(randBelow(6), 3);  // 18467 * 6 / 32768
    for (std::uint32_t seed = 0; seed < 2000; ++seed) {
        seedRand15(seed);
        const int v = randBelow(91);
        ASSERT_GE(v, 0);
        ASSERT_LT(v, 91);
    }
}

class DiceModel : public ::testing::Test {
  protected:
    void SetUp() override {
        game = GameState{};
        seedRand15(12345);
        initGameState();
    }
};

TEST_F(DiceModel, StartStateHoldsAllDiceAtHomeAfterFifteenDraws) {
    EXPECT_EQ(rand15State(), advanced(12345, 15));
    EXPECT_EQ(game.throwCount, -1);
    EXPECT_EQ(game.handLift, 60);
    EXPECT_EQ(game.introDistance, 15.0f);
    EXPECT_EQ(game.introAngle, 90.0f);
    EXPECT_TRUE(allDiceAtRest());
    for (int i = 0; i < kDiceCount; ++i) {
        const DieState& d = game.dice[i];
        EXPECT_EQ(d.marked, 1);
        EXPECT_EQ(d.visible, 1);
        EXPECT_EQ(d.z, -74);
        EXPECT_EQ(d.x, kHomePositions[i].x);
        EXPECT_EQ(d.y, kHomePositions[i].y);
        for (int face = 0; face < 6; ++face) {
            EXPECT_EQ(d.faceTexture[face], kFaceTextures[face]);
        }
        EXPECT_EQ(std::fmod(d.angleX, 90), 0);
        EXPECT_EQ(std::fmod(d.angleY, 90), 0);
        EXPECT_GE(d.angleZ, 30);
        EXPECT_LE(d.angleZ, 60);
    }
}

TEST_F(DiceModel, SnapTruncatesTheQuarterTurnsTowardZero) {
    const struct {
        double angle;
        double snapped;
    } cases[] = {{135, 90},
                 {-135, -90},
                 {359.9, 270},
                 {450, 450},
                 {-180, -180},
                 {-0.5, 0},
                 {89.999, 0},
                 {360, 360},
                 {-360, -360},
                 // Quotients past 16 bits wrap, moving the angle by whole turns only.
                 {2949030, 2949030},
                 {2949120, -2949120},
                 {5898150, -90},
                 {1e9, -2700810}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.angle);
        game.dice[0].angleX = c.angle;
        game.dice[0].angleY = c.angle;
        snapAndSpin(0);
        EXPECT_EQ(game.dice[0].angleX, c.snapped);
        EXPECT_EQ(game.dice[0].angleY, c.snapped);
    }
    for (int quarter = -364; quarter <= 364; ++quarter) {
        game.dice[1].angleX = 90.0 * quarter;
        snapAndSpin(1);
        ASSERT_EQ(game.dice[1].angleX, 90.0 * quarter);
    }
}

struct SpinDraws {
    double mainSpin;
    double sideSpin;
    int sideChoice;  // randBelow(3) drawn fifth: 0 means no side spin
    int zNudge;      // randBelow(3) drawn sixth: spinZ changes by zNudge - 1
};

SpinDraws drawsFrom(std::uint32_t state) {
    seedRand15(state);
    const int a = randBelow(30);
    const int b = randBelow(60);
    const int c = randBelow(31);
    const int d = randBelow(61);
    const int sideChoice = randBelow(3);
    const int zNudge = randBelow(3);
    return {2 + 0.25 * a + 0.1 * b, 0.25 * (c - 15) + 0.1 * (d - 30), sideChoice, zNudge};
}

struct SpinCase {
    double vx, vy, angleX, angleY;
    // Which spin gets the main spin (+1/-1 its sign), which the side spin.
    char mainAxis;
    int mainSign;
};

TEST_F(DiceModel, SpinBranchesFollowTheDirectionOfTravelAndTheSnappedAngles) {
    const SpinCase cases[] = {
        {0.3, 0.1, 90, 0, 'x', -1},    // along +x, angleX off 0/180: spinX = -G
        {-0.3, 0.1, 270, 0, 'x', +1},  // along -x: spinX = +G
        {0.3, 0.1, 360, 0, 'x', -1},   // 360 is neither 0 nor 180
        {-0.3, 0.1, -180, 0, 'x', +1},
        {0.3, 0.1, 180, 0, 'y', +1},    // angleX 180: spinY = +G when vx > 0
        {-0.3, 0.1, -0.5, 0, 'y', -1},  // -0.5 snaps to 0
        {0.1, -0.3, 0, 90, 'y', -1},    // along -y, angleY off 0/180: spinY = -G
        {0.1, 0.3, 0, 90, 'y', +1},
        {0.1, -0.3, 0, 180, 'x', +1},  // angleY 180: spinX = +G when vy < 0
        {0.1, 0.3, 0, 0, 'x', -1},
        {0.25, -0.25, 0, 90, 'y', -1},  // a tie takes the y branch
        {0, 0, 0, 90, 'y', +1},         // no velocity: spinY = +G
        {0, 0, 0, 0, 'x', -1},          // ... or spinX = -G when angleY is 0
    };
    for (const SpinCase& c : cases) {
        for (std::uint32_t seed = 1; seed < 40; ++seed) {
            SCOPED_TRACE(testing::Message()
                         << "vx " << c.vx << " vy " << c.vy << " angleX " << c.angleX << " angleY "
                         << c.angleY << " seed " << seed);
            const SpinDraws draws = drawsFrom(seed);
            DieState& die = game.dice[2];
            die.vx = c.vx;
            die.vy = c.vy;
            die.angleX = c.angleX;
            die.angleY = c.angleY;
            die.spinZ = 4.5;
            seedRand15(seed);
            snapAndSpin(2);
            const double side = draws.sideChoice == 0 ? 0.0 : draws.sideSpin;
            const double main = c.mainSign * draws.mainSpin;
            EXPECT_EQ(c.mainAxis == 'x' ? die.spinX : die.spinY, main);
            EXPECT_EQ(c.mainAxis == 'x' ? die.spinY : die.spinX, side);
            EXPECT_EQ(die.spinZ, 4.5 + draws.zNudge - 1);
            EXPECT_EQ(rand15State(), advanced(seed, 6));
        }
    }
}

TEST_F(DiceModel, FirstThrowThrowsAllFiveFromHome) {
    const std::uint32_t before = rand15State();
    const double spinZBefore = game.dice[3].spinZ;
    throwDice();
    EXPECT_EQ(game.throwCount, 0);
    EXPECT_EQ(rand15State(), advanced(before, 5 * 9));
    EXPECT_FALSE(allDiceAtRest());
    for (int i = 0; i < kDiceCount; ++i) {
        const DieState& d = game.dice[i];
        EXPECT_EQ(d.marked, 0);
        EXPECT_EQ(d.z, -64.5);
        EXPECT_EQ(d.fallSpeed, -0.1);
        EXPECT_GE(d.bouncesLeft, 2);
        EXPECT_LE(d.bouncesLeft, 4);
        EXPECT_GE(d.vx, -0.45 - 1e-12);
        EXPECT_LE(d.vx, -0.2);
        EXPECT_GE(d.vy, 0.2);
        EXPECT_LE(d.vy, 0.45 + 1e-12);
        EXPECT_EQ(d.x, kHomePositions[i].x);
        EXPECT_EQ(std::fmod(d.angleX, 90), 0);
    }
    EXPECT_LE(std::fabs(game.dice[3].spinZ - spinZBefore), 1);
}

TEST_F(DiceModel, ThrownVelocitiesComeFromTheFirstDrawsInOrder) {
    const std::uint32_t before = rand15State();
    game.dice[0].marked = 1;
    for (int i = 1; i < kDiceCount; ++i) {
        game.dice[i].marked = 0;
    }
    game.throwCount = 0;
    seedRand15(before);
    const int vxDraw = randBelow(6);
    const int vyDraw = randBelow(6);
    const int bounceDraw = randBelow(3);
    seedRand15(before);
    throwDice();
    EXPECT_EQ(game.dice[0].vx, -0.2 - 0.05 * vxDraw);
    EXPECT_EQ(game.dice[0].vy, 0.2 + 0.05 * vyDraw);
    EXPECT_EQ(game.dice[0].bouncesLeft, 2 + bounceDraw);
    EXPECT_EQ(game.throwCount, 1);
    EXPECT_EQ(rand15State(), advanced(before, 9));
}

TEST_F(DiceModel, ThrowWithNothingMarkedChangesNothing) {
    throwDice();
    for (DieState& d : game.dice) {
        d.bouncesLeft = 0;
    }
    for (std::int16_t count : {0, 1}) {
        game.throwCount = count;
        const GameState before = game;
        const std::uint32_t state = rand15State();
        throwDice();
        EXPECT_TRUE(state_compare::sameGame(before, game));
        EXPECT_EQ(rand15State(), state);
    }
}

TEST_F(DiceModel, CycleRunsMinusOneZeroOneTwoZeroAndTheThirdThrowMovesAll) {
    std::vector<int> counts;
    for (int throwNumber = 0; throwNumber < 4; ++throwNumber) {
        // Lay every die on the table at rest, and hold only die 1.
        for (int i = 0; i < kDiceCount; ++i) {
            game.dice[i].bouncesLeft = 0;
            game.dice[i].marked = i == 1 ? 1 : 0;
            game.dice[i].x = -5;
            game.dice[i].y = 3;
        }
        throwDice();
        counts.push_back(game.throwCount);
        int thrown = 0;
        for (int i = 0; i < kDiceCount; ++i) {
            thrown += game.dice[i].x == kHomePositions[i].x ? 1 : 0;
        }
        EXPECT_EQ(thrown, throwNumber == 3 ? 5 : 1) << "throw " << throwNumber;
    }
    EXPECT_EQ(counts, (std::vector<int>{0, 1, 2, 0}));
}

TEST_F(DiceModel, RestTestLooksOnlyAtBouncesLeft) {
    EXPECT_TRUE(allDiceAtRest());
    game.dice[4].bouncesLeft = -3;
    game.dice[0].vx = 5;
    EXPECT_TRUE(allDiceAtRest());
    game.dice[2].bouncesLeft = 1;
    game.dice[2].marked = 1;
    EXPECT_FALSE(allDiceAtRest());
}

}  // namespace
