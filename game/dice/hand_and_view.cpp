// The hand and the view: the relative pointer, the hand's slide, picking, the intro.
//
// The pointer offset, the view sums and the intro are single precision with float constants;
// the hand and the dice are double.
#include "hand_and_view.h"

#include <cstdint>

#include "dice_model.h"
#include "random.h"

namespace {

constexpr float kPointerScale = 0.15f;      // scene units per pixel
constexpr float kHandShare = 2.0f / 3.0f;   // share of the motion that moves the hand
constexpr float kIntroDistanceStep = 0.1f;  // per frame
constexpr float kIntroAngleStep = 0.6f;     // degrees per frame

constexpr double kHandMinX = -28;
constexpr double kHandMaxX = 25;
constexpr double kHandMinY = -20;
constexpr double kHandMaxY = 20;

constexpr double kPickReach = 1;
constexpr double kHandLiftMax = 60;

// (centre - c) * 0.15f: the pixel difference is formed as an integer (in 64 bits, so no cursor
// position can overflow), converted to float and scaled in float.
float scaledOffset(int centre, int c) {
    return static_cast<float>(static_cast<long long>(centre) - c) * kPointerScale;
}

}  // namespace

ScreenPoint updatePointer(ScreenPoint cursor) {
    const float dx = scaledOffset(kPointerCentre.x, cursor.x);  // mouse right: dx < 0
    const float dy = scaledOffset(kPointerCentre.y, cursor.y);  // mouse up: dy > 0

    // dx * kHandShare is a float product; it is widened to double for the hand's sum.
    game.handX = game.handX - static_cast<double>(dx * kHandShare);
    game.handY = game.handY + static_cast<double>(dy * kHandShare);

    // The view sums stay in float and are never clamped.
    game.viewYaw = game.viewYaw + dx;
    game.viewPitch = game.viewPitch + dy;

    if (game.handX < kHandMinX) {
        game.handX = kHandMinX;
    } else if (game.handX > kHandMaxX) {
        game.handX = kHandMaxX;
    }
    if (game.handY < kHandMinY) {
        game.handY = kHandMinY;
    } else if (game.handY > kHandMaxY) {
        game.handY = kHandMaxY;
    }
    return kPointerCentre;
}

void advanceIntro() {
    // Float minus float constant, in float.
    if (game.introDistance > 0) {
        game.introDistance = game.introDistance - kIntroDistanceStep;
        game.introAngle = game.introAngle - kIntroAngleStep;
    } else {
        game.introDistance = 0;
        game.introAngle = 0;
    }
}

void updateHandLift() {
    if (allDiceAtRest()) {
        if (game.handLift > 0) {
            game.handLift -= 1;
        } else {
            game.handLift = 0;
        }
    } else {
        if (game.handLift < kHandLiftMax) {
            game.handLift += 1;
        } else {
            game.handLift = kHandLiftMax;
        }
    }
}

bool advanceIntroAndHand(void (*drawTableAndDice)()) {
    advanceIntro();
    drawTableAndDice();
    if (game.introDistance != 0.0f) {
        return false;  // no hand while the intro runs
    }
    updateHandLift();
    return true;
}

void handleLeftClick() {
    if (game.handX >= kThrowLine) {
        throwDice();
        return;
    }
    for (std::int16_t i = 0; i < kDiceCount; ++i) {
        DieState& die = game.dice[i];
        const bool underHand = die.x - kPickReach <= game.handX &&
                               game.handX <= die.x + kPickReach &&
                               die.y - kPickReach <= game.handY && game.handY <= die.y + kPickReach;
        if (underHand && game.throwCount < 2) {
            die.marked = 1;
            // A new random face for the holding area: three draws in this order.
            die.angleX = 90 * randBelow(4);
            die.angleY = 90 * randBelow(4);
            die.angleZ = randBelow(91);
            placeDieAtHome(i);
        }
    }
}
