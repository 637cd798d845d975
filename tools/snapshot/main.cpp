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
// The first five are those of every tool that runs the game's frames (tools/script).
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

// Runs one of the tool's own commands; returns an error text, empty on success.
std::string run(const std::vector<std::string>& words, const offscreen::Context& context) {
    const std::string& command = words[0];
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
    scripted::setCursor(kPointerCentre.x, kPointerCentre.y);
    const FrameTool tool{gameFrame,
                         [](ScreenPoint cursor) { scripted::setCursor(cursor.x, cursor.y); }};
    return runGameScript(
        std::cin, "vantu-snapshot", tool,
        [&context](const std::vector<std::string>& words) { return run(words, context); });
}
