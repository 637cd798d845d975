// vantu-snapshot: runs the game's own frames offscreen (llvmpipe) from a script on standard input
// and saves what they draw as PNG pictures. Run it from the repository root, where "data/" is.
//
//   vantu-snapshot WIDTH HEIGHT < script
//
//   seed S        seed the generator with S and run initGameState
//   frames N      run N frames as the game does
//   cursor X Y    where the next frame's pointer update finds the cursor (it starts at 320 240)
//   lclick        a left button press between frames (only while all dice rest)
//   rclick        a right button press between frames (only while all dice rest)
//   rest          run frames until every die rests and has stopped sliding (at most 2000)
//   shot FILE     save the last frame drawn as FILE (PNG)
//
// '#' starts a comment. A bad line ends the run with status 2.
#include <cstdio>
#include <iostream>
#include <string>
#include <vector>

#include "dice_model.h"
#include "game_view.h"
#include "hand_and_view.h"
#include "offscreen.h"
#include "platform_scripted.h"
#include "random.h"
#include "script.h"

namespace {

bool diceStill() {
    for (const DieState& die : game.dice) {
        if (die.bouncesLeft > 0 || (die.marked == 0 && (die.vx != 0 || die.vy != 0))) {
            return false;
        }
    }
    return true;
}

// Runs one command; returns an error text, empty on success.
std::string run(const std::vector<std::string>& words, const offscreen::Context& context) {
    const std::string& command = words[0];
    long long a = 0;
    long long b = 0;
    if (command == "seed" && words.size() == 2 && parseInteger(words[1], 0, 4294967295LL, a)) {
        seedRand15(static_cast<std::uint32_t>(a));
        initGameState();
        return {};
    }
    if (command == "frames" && words.size() == 2 && parseInteger(words[1], 0, 1000000, a)) {
        for (long long i = 0; i < a; ++i) {
            gameFrame();
        }
        return {};
    }
    if (command == "cursor" && words.size() == 3 && parseInteger(words[1], -100000, 100000, a) &&
        parseInteger(words[2], -100000, 100000, b)) {
        scripted::setCursor(static_cast<int>(a), static_cast<int>(b));
        return {};
    }
    if ((command == "lclick" || command == "rclick") && words.size() == 1) {
        if (allDiceAtRest()) {
            command == "lclick" ? handleLeftClick() : throwDice();
        }
        return {};
    }
    if (command == "rest" && words.size() == 1) {
        for (int i = 0; i < 2000 && !diceStill(); ++i) {
            gameFrame();
        }
        return {};
    }
    if (command == "shot" && words.size() == 2) {
        return offscreen::writePng(words[1], context.read()) ? "" : "cannot write " + words[1];
    }
    return "unknown command or wrong arguments: " + command;
}

}  // namespace

int main(int argc, char** argv) {
    long long width = 0;
    long long height = 0;
    if (argc != 3 || !parseInteger(argv[1], 1, 8192, width) ||
        !parseInteger(argv[2], 1, 8192, height)) {
        std::fprintf(stderr, "usage: vantu-snapshot WIDTH HEIGHT < script\n");
        return 2;
    }
    offscreen::Context context;
    if (!context.create(static_cast<int>(width), static_cast<int>(height))) {
        std::fprintf(stderr, "vantu-snapshot: %s\n", context.error().c_str());
        return 1;
    }
    if (!setUpGameView(static_cast<int>(width), static_cast<int>(height))) {
        std::fprintf(stderr, "vantu-snapshot: no picture under data/ loaded\n");
        return 1;
    }
    scripted::setCursor(320, 240);
    return runScript(std::cin, "vantu-snapshot", [&context](const std::vector<std::string>& words) {
        return run(words, context);
    });
}
