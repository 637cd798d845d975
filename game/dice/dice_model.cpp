#include "dice_model.h"

#include <cmath>
#include <cstring>

#include "random.h"

GameState game;

namespace {

void resetFaces(DieState& die) {
    std::memcpy(die.faceTexture, kFaceTextures, sizeof die.faceTexture);
}

// An angle snapped down to a multiple of 90: the quotient angle * (1/90) is truncated toward
// zero and held in a signed 16-bit integer, wrapping modulo 65536 (which changes the angle by a
// multiple of 360 only). The quotient is wrapped as a double first so no conversion overflows.
double snapToQuarterTurn(double angle) {
    const double quotient = std::fmod(std::trunc(angle * 0.011111111111111112), 65536.0);
    const auto wrapped =
        static_cast<std::int16_t>(static_cast<std::uint16_t>(static_cast<std::int32_t>(quotient)));
    return 90 * wrapped;
}

// No spin one time in three, otherwise the small side spin.
double drawSideSpin(double sideSpin) {
    return randBelow(3) == 0 ? 0.0 : sideSpin;
}

}  // namespace

void initGameState() {
    game.throwCount = -1;
    game.handLift = 60;
    game.introDistance = 15.0f;
    game.introAngle = 90.0f;
    game.viewYaw = game.viewPitch = 0.0f;
    game.handX = game.handY = 0;
    for (std::int16_t i = 0; i < kDiceCount; ++i) {
        DieState& die = game.dice[i];
        resetFaces(die);
        die.vx = 0;
        die.vy = 0;
        die.fallSpeed = 0;
        die.bouncesLeft = 0;
        die.angleX = 90 * randBelow(4);
        die.angleY = 90 * randBelow(4);
        die.angleZ = 30 + randBelow(31);
        die.marked = 1;
        die.visible = 1;
        die.z = -74;
        placeDieAtHome(i);
    }
}

void placeDieAtHome(std::int16_t i) {
    game.dice[i].x = kHomePositions[static_cast<std::size_t>(i)].x;
    game.dice[i].y = kHomePositions[static_cast<std::size_t>(i)].y;
}

void throwDice() {
    bool thrown = false;
    for (std::int16_t i = 0; i < kDiceCount; ++i) {
        DieState& die = game.dice[i];
        if (die.marked != 1 && game.throwCount != 2) {
            continue;
        }
        die.marked = 0;
        resetFaces(die);
        die.z = -64.5;
        die.vx = -0.2 - 0.05 * randBelow(6);
        die.vy = 0.2 + 0.05 * randBelow(6);
        die.fallSpeed = -0.1;
        die.bouncesLeft = static_cast<std::int16_t>(2 + randBelow(3));
        snapAndSpin(i);  // As designed: keeps spinZ, which the throw never resets.
        die.visible = 1;
        placeDieAtHome(i);
        thrown = true;
    }
    if (thrown) {
        game.throwCount = static_cast<std::int16_t>(game.throwCount + 1);
        if (game.throwCount == 3) {
            game.throwCount = 0;
        }
    }
}

void snapAndSpin(std::int16_t i) {
    DieState& die = game.dice[i];
    die.angleX = snapToQuarterTurn(die.angleX);
    die.angleY = snapToQuarterTurn(die.angleY);

    const int a = randBelow(30);
    const int b = randBelow(60);
    const int c = randBelow(31);
    const int d = randBelow(61);
    const double mainSpin = 2 + 0.25 * a + 0.1 * b;
    const double sideSpin = 0.25 * (c - 15) + 0.1 * (d - 30);

    if (std::fabs(die.vx) > std::fabs(die.vy)) {
        // Travelling mainly along x: tip over about y unless x already stands on a face edge.
        if (die.angleX != 0 && die.angleX != 180) {
            die.spinX = die.vx > 0 ? -mainSpin : mainSpin;
            die.spinY = drawSideSpin(sideSpin);
        } else {
            die.spinX = drawSideSpin(sideSpin);
            die.spinY = die.vx > 0 ? mainSpin : -mainSpin;
        }
    } else {
        if (die.angleY != 0 && die.angleY != 180) {
            die.spinX = drawSideSpin(sideSpin);
            die.spinY = die.vy < 0 ? -mainSpin : mainSpin;
        } else {
            die.spinX = die.vy < 0 ? mainSpin : -mainSpin;
            die.spinY = drawSideSpin(sideSpin);
        }
    }
    die.spinZ = die.spinZ + randBelow(3) - 1;
}

// As designed: a die that still slides after its last landing counts as at rest.
bool allDiceAtRest() {
    for (const DieState& die : game.dice) {
        if (die.bouncesLeft > 0) {
            return false;
        }
    }
    return true;
}
