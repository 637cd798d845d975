// Starting VantuGuard.exe (see win32_guardian.h). It gets an inherited handle of this process
// on its command line, so it holds the process from its first instant: no process id that a
// quick death could let another process take.
#define WIN32_LEAN_AND_MEAN
#include <windows.h>

#include <cstdio>
#include <string>

#include "win32_guardian.h"

namespace {

constexpr const char* kGuardianName = "VantuGuard.exe";

// The guardian's path: beside the game's own program file.
std::string guardianPath() {
    char path[MAX_PATH];
    const DWORD length = GetModuleFileNameA(nullptr, path, sizeof path);
    if (length == 0 || length >= sizeof path) {
        return kGuardianName;
    }
    std::string folder(path, length);
    return folder.substr(0, folder.find_last_of("\\/") + 1) + kGuardianName;
}

}  // namespace

namespace guardian {

void startWatching() {
    static bool started = false;
    if (started) {
        return;
    }
    started = true;
    HANDLE self = nullptr;
    if (!DuplicateHandle(GetCurrentProcess(), GetCurrentProcess(), GetCurrentProcess(), &self,
                         SYNCHRONIZE, TRUE, 0)) {
        std::fprintf(stderr, "Vantu: no display guardian (error %lu)\n", GetLastError());
        return;
    }
    const std::string program = guardianPath();
    std::string commandLine = "\"" + program + "\" " + std::to_string(HandleToULong(self));
    STARTUPINFOA startup{};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION process{};
    if (CreateProcessA(program.c_str(), commandLine.data(), nullptr, nullptr, TRUE, 0, nullptr,
                       nullptr, &startup, &process)) {
        CloseHandle(process.hThread);
        CloseHandle(process.hProcess);
    } else {
        std::fprintf(stderr, "Vantu: no display guardian: %s cannot be started (error %lu)\n",
                     program.c_str(), GetLastError());
    }
    CloseHandle(self);
}

}  // namespace guardian
