#include "random.h"

namespace {

std::uint32_t generatorState = 0;

}  // namespace

void seedRand15(std::uint32_t seed) {
    generatorState = seed;
}

std::uint32_t rand15State() {
    return generatorState;
}

int rand15() {
    generatorState = generatorState * 214013u + 2531011u;
    return static_cast<int>((generatorState >> 16) & 0x7fffu);
}

int randBelow(int n) {
    return rand15() * n / 32768;
}
