// The game's pseudo-random generator: a 32-bit linear congruential generator whose draws,
// in number and order, are part of the game's behaviour (the same seed gives the same game).
#pragma once

#include <cstdint>

void seedRand15(std::uint32_t seed);

// The generator's current state (zero before the first seed).
std::uint32_t rand15State();

// Steps the state (x 214013 + 2531011, modulo 2^32) and returns its bits 16 to 30: 0..32767.
int rand15();

// A draw 0..n-1 from the next rand15 value v: v * n / 32768 in integer arithmetic.
int randBelow(int n);
