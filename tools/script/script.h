// The command scripts that the simulation tools read on standard input: whitespace-separated
// words, '#' starts a comment, blank lines are ignored.
#pragma once

#include <functional>
#include <istream>
#include <string>
#include <vector>

#include "hand_and_view.h"

// Runs one line's words; returns an error text, empty on success.
using ScriptCommand = std::function<std::string(const std::vector<std::string>& words)>;

// Runs every line of `in` through `command`. The first error is printed to stderr as
// "TOOL: line N: ERROR" and ends the run with status 2; the end of input gives 0.
int runScript(std::istream& in, const char* toolName, const ScriptCommand& command);

// A decimal integer min..max, the whole word and nothing else.
bool parseInteger(const std::string& word, long long min, long long max, long long& value);

// How a tool that runs the game's frames runs one, and where it puts the cursor the next frame
// finds.
struct FrameTool {
    std::function<void()> runFrame;
    std::function<void(ScreenPoint)> putCursor;
};

// runScript over the commands every such tool takes, run on the game's own code:
//   seed S        seed the generator with S (0..4294967295) and run initGameState
//   frames N      run N frames (0..1000000000)
//   cursor X Y    where the next frame's pointer update finds the cursor (32-bit integers)
//   lclick        a left button press between frames (handleLeftClick, only while all dice rest)
//   rclick        a right button press between frames (throwDice, only while all dice rest)
// and the tool's own: `own` runs the words of any other line.
int runGameScript(std::istream& in, const char* toolName, const FrameTool& tool,
                  const ScriptCommand& own);
