// vantu-fairness: plays many turns with the game's own dice code and counts which face lies on
// top of every thrown die once the dice rest, with a chi-square test against a fair die.
//
//   vantu-fairness [--seeds N] [--turns N] [--first-seed S]
//
// Each seed starts a game (seed, initGameState) and plays N turns of three throws. The first
// throw of a turn throws all five dice; after it and after the second throw the player picks a
// random non-empty set of the dice lying on the table (each die with chance 1/2, one at random when
// none was chosen) by putting the hand on it and clicking, and the next throw throws those. Between
// throws the dice are stepped until they rest, then for 60 more frames, as a player waits for the
// hand to come back. The player's choices come from a generator of this tool, so the game's own
// random draws are exactly those of a real game with the same clicks. Frames run stepDice only:
// the pointer, intro and hand steps neither move dice nor draw.
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <random>
#include <string>

#include "dice_model.h"
#include "faces.h"
#include "hand_and_view.h"
#include "motion.h"
#include "random.h"
#include "script.h"

namespace {

constexpr int kMaxFramesToRest = 100000;
constexpr int kSettleFrames = 60;

struct Tally {
    long long faces[7] = {};  // index 1..6; 0 counts dice off a quarter turn (never expected)
    long long throws = 0;

    long long dice() const {
        long long sum = 0;
        for (int f = 1; f <= 6; ++f) {
            sum += faces[f];
        }
        return sum;
    }
};

struct Options {
    long long seeds = 1000;
    long long turns = 20;
    long long firstSeed = 1;
};

bool parseOptions(int argc, char** argv, Options& options) {
    for (int i = 1; i < argc; ++i) {
        const std::string name = argv[i];
        if (i + 1 >= argc) {
            return false;
        }
        const char* text = argv[++i];
        bool ok = false;
        if (name == "--seeds") {
            ok = parseInteger(text, 1, 100000000, options.seeds);
        } else if (name == "--turns") {
            ok = parseInteger(text, 1, 100000000, options.turns);
        } else if (name == "--first-seed") {
            ok = parseInteger(text, 0, 4294967295LL, options.firstSeed);
        }
        if (!ok) {
            return false;
        }
    }
    return options.firstSeed + options.seeds - 1 <= 4294967295LL;
}

// Throws, steps the dice until they rest and counts the faces of the dice that flew. Returns false
// when the dice did not come to rest.
bool throwAndCount(Tally& tally) {
    bool thrown[kDiceCount];
    for (int i = 0; i < kDiceCount; ++i) {
        thrown[i] = game.dice[i].marked == 1 || game.throwCount == 2;
    }
    throwDice();
    bool any = false;
    for (bool t : thrown) {
        any = any || t;
    }
    if (!any) {
        return true;  // nothing was held: no throw happened
    }
    int frames = 0;
    while (!allDiceAtRest()) {
        if (++frames > kMaxFramesToRest) {
            return false;
        }
        stepDice();
    }
    ++tally.throws;
    for (int i = 0; i < kDiceCount; ++i) {
        if (thrown[i]) {
            ++tally.faces[upFace(game.dice[i].angleX, game.dice[i].angleY)];
        }
    }
    for (int f = 0; f < kSettleFrames; ++f) {
        stepDice();
    }
    return true;
}

// Picks a random non-empty set of the dice on the table with the hand and the left button.
void pickSome(std::mt19937& player) {
    bool choose[kDiceCount];
    bool any = false;
    for (bool& c : choose) {
        c = (player() & 1u) != 0;
        any = any || c;
    }
    if (!any) {
        choose[player() % kDiceCount] = true;
    }
    for (int i = 0; i < kDiceCount; ++i) {
        const DieState& die = game.dice[i];
        // A die already picked with a neighbour stays picked; one pushed onto the throw line
        // cannot be reached.
        if (!choose[i] || die.marked == 1 || die.x >= kThrowLine) {
            continue;
        }
        game.handX = die.x;
        game.handY = die.y;
        handleLeftClick();
    }
}

// Chi-square survival function for 5 degrees of freedom.
double chiSquareP5(double x) {
    const double pi = 3.14159265358979323846;
    return std::erfc(std::sqrt(x / 2)) +
           std::sqrt(2 / pi) * std::exp(-x / 2) * (std::sqrt(x) + x * std::sqrt(x) / 3);
}

void printRow(const char* kind, const Tally& tally) {
    const long long dice = tally.dice();
    std::printf("| %s | %lld | %lld |", kind, tally.throws, dice);
    double chiSquare = 0;
    const double expected = static_cast<double>(dice) / 6;
    for (int f = 1; f <= 6; ++f) {
        const double share = dice > 0 ? 100.0 * static_cast<double>(tally.faces[f]) / dice : 0;
        std::printf(" %lld (%.2f%%) |", tally.faces[f], share);
        if (dice > 0) {
            const double diff = static_cast<double>(tally.faces[f]) - expected;
            chiSquare += diff * diff / expected;
        }
    }
    std::printf(" %.1f | %.3g |\n", chiSquare, chiSquareP5(chiSquare));
}

}  // namespace

int main(int argc, char** argv) {
    Options options;
    if (!parseOptions(argc, argv, options)) {
        std::fprintf(stderr,
                     "usage: vantu-fairness [--seeds 1..100000000] [--turns 1..100000000] "
                     "[--first-seed 0..4294967295]\n");
        return 2;
    }
    Tally first;
    Tally rethrows;
    for (long long s = 0; s < options.seeds; ++s) {
        const auto seed = static_cast<std::uint32_t>(options.firstSeed + s);
        seedRand15(seed);
        initGameState();
        std::mt19937 player(seed);
        for (long long t = 0; t < options.turns; ++t) {
            bool rested = throwAndCount(first);
            for (int again = 0; again < 2 && rested; ++again) {
                pickSome(player);
                rested = throwAndCount(rethrows);
            }
            if (!rested) {
                std::fprintf(stderr, "seed %u: the dice did not come to rest\n", seed);
                return 1;
            }
        }
    }
    std::printf("seeds %lld from %lld, %lld turns each\n\n", options.seeds, options.firstSeed,
                options.turns);
    std::printf(
        "| throw | throws | dice | Die1 | Die2 | Die3 | Die4 | Die5 | Die6 | chi-square (5 df) | "
        "p |\n");
    std::printf("|---|---|---|---|---|---|---|---|---|---|---|\n");
    printRow("first throw", first);
    printRow("re-throws", rethrows);
    const long long offFace = first.faces[0] + rethrows.faces[0];
    if (offFace != 0) {
        std::printf("\n%lld dice came to rest off a quarter turn\n", offFace);
        return 1;
    }
    return 0;
}
