// One frame of dice motion. All arithmetic is in double, written in the order of the rules, left
// to right; the random draws (ints) are widened to double where they meet a double factor.
#include "motion.h"

#include <cmath>
#include <cstdint>
#include <utility>

#include "dice_model.h"
#include "random.h"

namespace {

constexpr double kGravity = 0.0175;
constexpr double kRestingHeight = -74.0;
constexpr double kAirDamping = 0.995;
constexpr double kLandingDamping = 0.99;
constexpr double kLandingNudge = 0.0025;
constexpr double kSpinDamping = 0.9;
constexpr double kRollingFriction = 0.98;
constexpr double kStopThreshold = 0.01;
constexpr double kCollisionReach = 1.2;
constexpr double kWallLeft = -22;
constexpr double kWallRight = 12;
constexpr double kWallBottom = -16;
constexpr double kWallTop = 16;

// Puts a die that has left the box back on the wall it crossed and reverses that velocity, in the
// order left, bottom, right, top. Returns how many walls fired.
int bounceOffWalls(DieState& die) {
    int fired = 0;
    if (die.x < kWallLeft) {
        die.x = kWallLeft;
        die.vx = -die.vx;
        ++fired;
    }
    if (die.y < kWallBottom) {
        die.y = kWallBottom;
        die.vy = -die.vy;
        ++fired;
    }
    if (die.x > kWallRight) {
        die.x = kWallRight;
        die.vx = -die.vx;
        ++fired;
    }
    if (die.y > kWallTop) {
        die.y = kWallTop;
        die.vy = -die.vy;
        ++fired;
    }
    return fired;
}

// Flight: fall, drift, spin; a landing below the table rebounds or ends the flight. Returns the
// hits it counts (1 for a landing).
int fly(DieState& die) {
    die.z = die.z - die.fallSpeed;
    die.fallSpeed = die.fallSpeed + kGravity;
    die.x = die.x + die.vx;
    die.y = die.y + die.vy;
    die.vx = die.vx * kAirDamping;
    die.vy = die.vy * kAirDamping;
    die.angleX += die.spinX;
    die.angleY += die.spinY;
    die.angleZ += die.spinZ;
    if (die.z >= kRestingHeight) {
        return 0;
    }
    die.z = kRestingHeight;
    die.bouncesLeft = static_cast<std::int16_t>(die.bouncesLeft - 1);
    if (die.bouncesLeft > 0) {
        if (randBelow(10) == 0) {
            die.fallSpeed = -0.6;
        } else {
            die.fallSpeed = randBelow(4) == 0 ? -0.55 : -0.5;
        }
        die.vx = die.vx * kLandingDamping;
        die.vy = die.vy * kLandingDamping;
        // kLandingNudge * (int draw - 4): the int difference is widened, then multiplied.
        die.vx += kLandingNudge * (randBelow(9) - 4);
        die.vy += kLandingNudge * (randBelow(9) - 4);
        die.spinX = die.spinX * kSpinDamping;
        die.spinY = die.spinY * kSpinDamping;
        die.spinZ = die.spinZ * kSpinDamping;
    } else {
        die.fallSpeed = 0;
        die.spinX = 0;
        die.spinY = 0;
        die.spinZ = 0;
        die.rollSpin = 0.5 * (randBelow(31) - 15);
    }
    return 1;
}

// After the last landing: slide with friction, turn about z while still moving, stay in the box.
// As designed: these wall hits are not counted: no snapAndSpin for a sliding die at a wall.
void roll(DieState& die) {
    die.x = die.x + die.vx;
    die.y = die.y + die.vy;
    die.vx = die.vx * kRollingFriction;
    die.vy = die.vy * kRollingFriction;
    if (std::fabs(die.vx) > kStopThreshold || std::fabs(die.vy) > kStopThreshold) {
        die.angleZ += die.rollSpin;
        die.rollSpin = die.rollSpin * kRollingFriction;
    }
    bounceOffWalls(die);
}

// Moves two dice apart along one axis by half of (reach + their distance) each.
void pushApart(double& mine, double& other) {
    if (mine < other) {
        const double d = (other + kCollisionReach - mine) / 2;  // ((other + 1.2) - mine) / 2
        mine -= d;
        other += d;
    } else {
        const double d = (mine + kCollisionReach - other) / 2;  // ((mine + 1.2) - other) / 2
        mine += d;
        other -= d;
    }
}

// Die j against every other die in index order; later tests see the moved position. Returns the
// number of collisions.
// As designed: held dice in the holding area are tested too, and height is not compared.
int collide(int j) {
    DieState& die = game.dice[j];
    int hits = 0;
    for (int k = 0; k < kDiceCount; ++k) {
        if (k == j) {
            continue;
        }
        DieState& other = game.dice[k];
        if (other.x - kCollisionReach <= die.x && die.x <= other.x + kCollisionReach &&
            other.y - kCollisionReach <= die.y && die.y <= other.y + kCollisionReach) {
            ++hits;
            std::swap(die.vx, other.vx);
            std::swap(die.vy, other.vy);
            pushApart(die.x, other.x);
            pushApart(die.y, other.y);
        }
    }
    return hits;
}

}  // namespace

void stepDice() {
    for (int j = 0; j < kDiceCount; ++j) {
        DieState& die = game.dice[j];
        if (die.marked == 1) {
            continue;
        }
        int hits = 0;
        if (die.bouncesLeft > 0) {
            hits += fly(die);
        } else {
            roll(die);
        }
        hits += collide(j);
        hits += bounceOffWalls(die);
        if (hits > 0) {
            snapAndSpin(static_cast<std::int16_t>(j));
        }
    }
}
