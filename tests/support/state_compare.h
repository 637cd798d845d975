// Field-by-field comparison of the game's state, to the last bit of every number, and the
// generator's state after a number of draws. Comparing whole structures as bytes would also
// compare their padding, which holds no state.
#pragma once

#include <gtest/gtest.h>

#include <bit>
#include <cstdint>
#include <sstream>
#include <string>

#include "dice_model.h"
#include "random.h"

namespace state_compare {

// A new field changes these sizes: compare it below too.
static_assert(sizeof(DieState) == 128 && sizeof(GameState) == 688);

inline std::uint64_t bitsOf(double v) {
    return std::bit_cast<std::uint64_t>(v);
}
inline std::uint32_t bitsOf(float v) {
    return std::bit_cast<std::uint32_t>(v);
}
inline std::int16_t bitsOf(std::int16_t v) {
    return v;
}

// The first field that differs, or "" when every field is the same.
inline std::string dieDifference(const DieState& a, const DieState& b) {
#define VANTU_FIELD(f)                           \
    if (bitsOf(a.f) != bitsOf(b.f)) {            \
        std::ostringstream s;                    \
        s << #f << ": " << a.f << " != " << b.f; \
        return s.str();                          \
    }
    VANTU_FIELD(z)
    VANTU_FIELD(vx)
    VANTU_FIELD(vy)
    VANTU_FIELD(fallSpeed)
    VANTU_FIELD(spinX)
    VANTU_FIELD(spinY)
    VANTU_FIELD(spinZ)
    VANTU_FIELD(angleX)
    VANTU_FIELD(angleY)
    VANTU_FIELD(angleZ)
    VANTU_FIELD(x)
    VANTU_FIELD(y)
    VANTU_FIELD(rollSpin)
    VANTU_FIELD(marked)
    VANTU_FIELD(bouncesLeft)
    VANTU_FIELD(faceTexture[0])
    VANTU_FIELD(faceTexture[1])
    VANTU_FIELD(faceTexture[2])
    VANTU_FIELD(faceTexture[3])
    VANTU_FIELD(faceTexture[4])
    VANTU_FIELD(faceTexture[5])
    VANTU_FIELD(visible)
    return "";
}

inline std::string gameDifference(const GameState& a, const GameState& b) {
    for (int i = 0; i < kDiceCount; ++i) {
        const std::string die = dieDifference(a.dice[i], b.dice[i]);
        if (!die.empty()) {
            return "dice[" + std::to_string(i) + "]." + die;
        }
    }
    VANTU_FIELD(throwCount)
    VANTU_FIELD(handX)
    VANTU_FIELD(handY)
    VANTU_FIELD(handLift)
    VANTU_FIELD(viewYaw)
    VANTU_FIELD(viewPitch)
    VANTU_FIELD(introDistance)
    VANTU_FIELD(introAngle)
#undef VANTU_FIELD
    return "";
}

inline ::testing::AssertionResult sameDie(const DieState& a, const DieState& b) {
    const std::string d = dieDifference(a, b);
    return d.empty() ? ::testing::AssertionSuccess() : ::testing::AssertionFailure() << d;
}

inline ::testing::AssertionResult sameGame(const GameState& a, const GameState& b) {
    const std::string d = gameDifference(a, b);
    return d.empty() ? ::testing::AssertionSuccess() : ::testing::AssertionFailure() << d;
}

// The generator's state `draws` draws after `state`, stepped by the game's own generator, which
// is left as it was.
inline std::uint32_t advanced(std::uint32_t state, int draws) {
    const std::uint32_t saved = rand15State();
    seedRand15(state);
    for (int i = 0; i < draws; ++i) {
        rand15();
    }
    const std::uint32_t after = rand15State();
    seedRand15(saved);
    return after;
}

}  // namespace state_compare
