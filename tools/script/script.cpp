#include "script.h"

#include <cerrno>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <limits>
#include <optional>
#include <sstream>

#include "dice_model.h"
#include "random.h"

namespace {

// Runs one of the game commands; the error text, empty on success; nothing for another command.
std::optional<std::string> runGameCommand(const std::vector<std::string>& words,
                                          const FrameTool& tool) {
    const std::string& command = words[0];
    const std::size_t arguments = words.size() - 1;
    long long value = 0;
    if (command == "seed") {
        if (arguments != 1 ||
            !parseInteger(words[1], 0, std::numeric_limits<std::uint32_t>::max(), value)) {
            return "seed takes one number 0..4294967295";
        }
        seedRand15(static_cast<std::uint32_t>(value));
        initGameState();
        return "";
    }
    if (command == "frames") {
        if (arguments != 1 || !parseInteger(words[1], 0, 1000000000, value)) {
            return "frames takes one number 0..1000000000";
        }
        for (long long i = 0; i < value; ++i) {
            tool.runFrame();
        }
        return "";
    }
    if (command == "cursor") {
        long long y = 0;
        constexpr long long kMin = std::numeric_limits<int>::min();
        constexpr long long kMax = std::numeric_limits<int>::max();
        if (arguments != 2 || !parseInteger(words[1], kMin, kMax, value) ||
            !parseInteger(words[2], kMin, kMax, y)) {
            return "cursor takes two numbers, x and y";
        }
        tool.putCursor({static_cast<int>(value), static_cast<int>(y)});
        return "";
    }
    if ((command == "lclick" || command == "rclick") && arguments == 0) {
        if (allDiceAtRest()) {
            command == "lclick" ? handleLeftClick() : throwDice();
        }
        return "";
    }
    return std::nullopt;
}

}  // namespace

int runScript(std::istream& in, const char* toolName, const ScriptCommand& command) {
    std::string line;
    long long lineNumber = 0;
    while (std::getline(in, line)) {
        ++lineNumber;
        const std::size_t comment = line.find('#');
        if (comment != std::string::npos) {
            line.erase(comment);
        }
        std::istringstream words(line);
        std::vector<std::string> list;
        for (std::string word; words >> word;) {
            list.push_back(word);
        }
        if (list.empty()) {
            continue;
        }
        const std::string error = command(list);
        if (!error.empty()) {
            std::fflush(stdout);  // what the script printed so far comes first
            std::fprintf(stderr, "%s: line %lld: %s\n", toolName, lineNumber, error.c_str());
            return 2;
        }
    }
    return 0;
}

bool parseInteger(const std::string& word, long long min, long long max, long long& value) {
    if (word.empty()) {
        return false;
    }
    errno = 0;
    char* end = nullptr;
    const long long parsed = std::strtoll(word.c_str(), &end, 10);
    if (errno != 0 || *end != '\0' || parsed < min || parsed > max) {
        return false;
    }
    value = parsed;
    return true;
}

int runGameScript(std::istream& in, const char* toolName, const FrameTool& tool,
                  const ScriptCommand& own) {
    return runScript(in, toolName, [&](const std::vector<std::string>& words) {
        const std::optional<std::string> error = runGameCommand(words, tool);
        return error ? *error : own(words);
    });
}
