// vantu-dicetrace: runs the game's own simulation code from a script on standard input and
// prints the state, so the simulation can be checked against independent expectations.
//
//   seed S        seed the generator with S (0..4294967295) and run initGameState
//   frames N      run N frames as the game does (0..1000000000), without drawing: updatePointer,
//                 stepDice and advanceIntroAndHand; after each frame the main loop's keyboard
//                 throw (key held and all dice at rest: throwDice)
//   cursor X Y    where the next frame's pointer update finds the cursor (32-bit integers);
//                 the update puts it back at 320 240. The tool starts with it at 320 240.
//   lclick        a left button press between frames (handleLeftClick, only while all dice rest)
//   rclick        a right button press between frames (throwDice, only while all dice rest)
//   key down|up   the throw key (Enter or Space) held or released
//   print         print the state
//
// The first five are those of every tool that runs the game's frames (tools/script).
//
// '#' starts a comment. An unknown command or a bad number ends the run with status 2.
#include <cstdio>
#include <iostream>
#include <string>
#include <vector>

#include "dice_model.h"
#include "hand_and_view.h"
#include "motion.h"
#include "script.h"

namespace {

struct TraceState {
    long long framesRun = 0;
    bool throwKeyDown = false;
    // Where the next frame finds the cursor: at start as if the player's cursor sat on the
    // re-centre point, then wherever the pointer update put it back or a script moved it.
    ScreenPoint cursor = kPointerCentre;
};

void printState(const TraceState& trace) {
    std::printf(
        "state frame=%lld throwCount=%d handX=%.17g handY=%.17g handLift=%.17g viewYaw=%.9g "
        "viewPitch=%.9g introDistance=%.9g introAngle=%.9g\n",
        trace.framesRun, game.throwCount, game.handX, game.handY, game.handLift,
        static_cast<double>(game.viewYaw), static_cast<double>(game.viewPitch),
        static_cast<double>(game.introDistance), static_cast<double>(game.introAngle));
    for (int i = 0; i < kDiceCount; ++i) {
        const DieState& d = game.dice[i];
        std::printf(
            "die %d marked=%d bouncesLeft=%d visible=%d faces=%d,%d,%d,%d,%d,%d x=%.17g y=%.17g "
            "z=%.17g vx=%.17g vy=%.17g fallSpeed=%.17g spinX=%.17g spinY=%.17g spinZ=%.17g "
            "angleX=%.17g angleY=%.17g angleZ=%.17g rollSpin=%.17g\n",
            i, d.marked, d.bouncesLeft, d.visible, d.faceTexture[0], d.faceTexture[1],
            d.faceTexture[2], d.faceTexture[3], d.faceTexture[4], d.faceTexture[5], d.x, d.y, d.z,
            d.vx, d.vy, d.fallSpeed, d.spinX, d.spinY, d.spinZ, d.angleX, d.angleY, d.angleZ,
            d.rollSpin);
    }
}

// One frame as the game runs it, without the drawing: the pointer, the dice, what the drawing
// does to the game; then the main loop's keyboard throw test.
void runFrame(TraceState& trace) {
    trace.cursor = updatePointer(trace.cursor);
    stepDice();
    advanceIntroAndHand([] {});
    if (trace.throwKeyDown && allDiceAtRest()) {
        throwDice();
    }
    ++trace.framesRun;
}

// Runs one of the tool's own commands; returns an error text, empty on success.
std::string runCommand(const std::vector<std::string>& words, TraceState& trace) {
    const std::string& command = words[0];
    const std::size_t arguments = words.size() - 1;
    if (command == "key" && arguments == 1 && (words[1] == "down" || words[1] == "up")) {
        trace.throwKeyDown = words[1] == "down";
        return {};
    }
    if (command == "print" && arguments == 0) {
        printState(trace);
        return {};
    }
    return "unknown command or wrong arguments: " + command;
}

}  // namespace

int main() {
    TraceState trace;
    const FrameTool tool{[&trace] { runFrame(trace); },
                         [&trace](ScreenPoint cursor) { trace.cursor = cursor; }};
    return runGameScript(
        std::cin, "vantu-dicetrace", tool,
        [&trace](const std::vector<std::string>& words) { return runCommand(words, trace); });
}
