// The Vantu program: the platform's start and end around WinMain.
#include <string>

#include "platform.h"
#include "shell.h"

int main(int argc, char** argv) {
    std::string commandLine;
    for (int i = 1; i < argc; ++i) {
        commandLine += (i > 1 ? " " : "");
        commandLine += argv[i];
    }
    platformStartup();
    const int exitCode = WinMain(getModuleHandle(nullptr), nullptr, commandLine.c_str(), SW_SHOW);
    platformShutdown();
    return exitCode;
}
