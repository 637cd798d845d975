#include "script.h"

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <sstream>

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
