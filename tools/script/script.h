// The command scripts that the simulation tools read on standard input: whitespace-separated
// words, '#' starts a comment, blank lines are ignored.
#pragma once

#include <functional>
#include <istream>
#include <string>
#include <vector>

// Runs one line's words; returns an error text, empty on success.
using ScriptCommand = std::function<std::string(const std::vector<std::string>& words)>;

// Runs every line of `in` through `command`. The first error is printed to stderr as
// "TOOL: line N: ERROR" and ends the run with status 2; the end of input gives 0.
int runScript(std::istream& in, const char* toolName, const ScriptCommand& command);

// A decimal integer min..max, the whole word and nothing else.
bool parseInteger(const std::string& word, long long min, long long max, long long& value);
