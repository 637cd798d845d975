// The five dice, the game's global state, the throw and its three-throw cycle.
//
// Scene units: x right, y up the screen, z towards the viewer; the table top is the plane
// z = -75 and a die lying on it has its centre at z = -74. Angles in degrees, speeds per frame.
#pragma once

#include <array>
#include <cstdint>

inline constexpr int kDiceCount = 5;

struct DieState {
    double z;          // height of the centre: -74 lying on the table, -64.5 when thrown
    double vx;         // velocity along x
    double vy;         // velocity along y
    double fallSpeed;  // subtracted from z each frame in flight; negative while rising
    double spinX;      // flight spins, degrees per frame
    double spinY;
    double spinZ;
    double angleX;  // orientation; never reduced modulo 360
    double angleY;
    double angleZ;
    double x;  // position on the table plane
    double y;
    double rollSpin;              // turning about z while sliding after the last bounce
    std::int16_t marked;          // 1: held in the holding area for the next throw
    std::int16_t bouncesLeft;     // > 0: in flight
    std::int16_t faceTexture[6];  // texture slot of the faces +z, +y, -z, -y, +x, -x
    std::int16_t visible;         // 1: drawn
};

struct GameState {
    DieState dice[kDiceCount];
    std::int16_t throwCount;  // -1 before the first throw, then 0, 1, 2: throws in this turn - 1
    double handX;             // hand position on the table plane
    double handY;
    double handLift;  // the hand's slide-away offset, 0..60
    float viewYaw;    // accumulated pointer motion that leans the view
    float viewPitch;
    float introDistance;  // the opening zoom and roll
    float introAngle;
};

// The game's single state, zero at program start.
extern GameState game;

struct HomePosition {
    double x;
    double y;
};

// The holding area right of the table: the five places form the pattern of a five.
inline constexpr std::array<HomePosition, kDiceCount> kHomePositions{
    {{18, -15}, {22, -15}, {20, -13}, {18, -11}, {22, -11}}};

inline constexpr std::int16_t kFaceTextures[6] = {0, 4, 5, 1, 2, 3};

// The start state: all five dice held at home showing random faces, the intro about to run.
void initGameState();

void placeDieAtHome(std::int16_t i);

// Throws the held dice (all five when throwCount is 2) and advances the cycle -1, 0, 1, 2, 0...
void throwDice();

// Snaps die i's angleX and angleY to multiples of 90 and draws fresh spins (six draws).
void snapAndSpin(std::int16_t i);

// True when no die has bounces left to come.
bool allDiceAtRest();
