// Start-up of a program measured from outside, on the X server of $DISPLAY, without changing the
// program: the time from the fork before its exec until a window of that process (found by its
// _NET_WM_PID) is viewable, and until that window first shows a pixel that is not black (seven
// rows across the window are read back every 2 ms). Then the program may run on for a while; it
// is ended with SIGTERM, and its peak resident memory is taken from wait4.
//
//   vantu-startup-probe [--hold SECONDS] [--timeout SECONDS] -- PROGRAM [ARGS...]
//
// Prints one line: "mapped_ms=M first_frame_ms=F status=S maxrss_kb=K", NA for what was not seen
// before the timeout (default 30 s). Status is the exit status, or 128 + the signal.
#include <X11/Xatom.h>
#include <X11/Xlib.h>
#include <X11/Xutil.h>
#include <signal.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <thread>
#include <vector>

namespace {

using Clock = std::chrono::steady_clock;

int ignoreXError(Display* /*display*/, XErrorEvent* /*event*/) {
    return 0;
}

double msSince(Clock::time_point start) {
    return std::chrono::duration<double, std::milli>(Clock::now() - start).count();
}

std::vector<unsigned long> longsProperty(Display* display, Window window, Atom property,
                                         Atom type) {
    Atom actualType = None;
    int format = 0;
    unsigned long count = 0;
    unsigned long after = 0;
    unsigned char* data = nullptr;
    std::vector<unsigned long> values;
    if (XGetWindowProperty(display, window, property, 0, 4096, False, type, &actualType, &format,
                           &count, &after, &data) == Success &&
        data != nullptr) {
        if (actualType == type && format == 32) {
            // Xlib hands 32-bit properties over as longs.
            const auto* longs = reinterpret_cast<const unsigned long*>(data);
            values.assign(longs, longs + count);
        }
        XFree(data);
    }
    return values;
}

// A viewable top-level window of process PID: the window manager's clients first, then the
// root's own children (windows nobody manages).
Window findWindow(Display* display, pid_t pid) {
    const Window root = DefaultRootWindow(display);
    const Atom clientList = XInternAtom(display, "_NET_CLIENT_LIST", False);
    const Atom wmPid = XInternAtom(display, "_NET_WM_PID", False);
    std::vector<unsigned long> candidates = longsProperty(display, root, clientList, XA_WINDOW);
    Window rootReturn = 0;
    Window parent = 0;
    Window* children = nullptr;
    unsigned int count = 0;
    if (XQueryTree(display, root, &rootReturn, &parent, &children, &count) != 0) {
        candidates.insert(candidates.end(), children, children + count);
        XFree(children);
    }
    for (const unsigned long window : candidates) {
        const std::vector<unsigned long> owner = longsProperty(display, window, wmPid, XA_CARDINAL);
        XWindowAttributes attributes{};
        if (owner.size() == 1 && owner[0] == static_cast<unsigned long>(pid) &&
            XGetWindowAttributes(display, window, &attributes) != 0 &&
            attributes.map_state == IsViewable) {
            return window;
        }
    }
    return 0;
}

// True when one of seven rows across the window holds a pixel that is not black.
bool showsPicture(Display* display, Window window) {
    XWindowAttributes attributes{};
    if (XGetWindowAttributes(display, window, &attributes) == 0 ||
        attributes.map_state != IsViewable || attributes.width <= 0 || attributes.height <= 0) {
        return false;
    }
    for (int k = 1; k < 8; ++k) {
        XImage* row = XGetImage(display, window, 0, attributes.height * k / 8,
                                static_cast<unsigned>(attributes.width), 1, AllPlanes, ZPixmap);
        if (row == nullptr) {
            return false;
        }
        bool lit = false;
        for (int x = 0; x < attributes.width && !lit; ++x) {
            lit = (XGetPixel(row, x, 0) & 0xffffffUL) != 0;
        }
        XDestroyImage(row);
        if (lit) {
            return true;
        }
    }
    return false;
}

void usage(const char* name) {
    std::fprintf(stderr, "usage: %s [--hold SECONDS] [--timeout SECONDS] -- PROGRAM [ARGS...]\n",
                 name);
}

}  // namespace

int main(int argc, char** argv) {
    double hold = 0;
    double timeout = 30;
    int first = 1;
    for (; first < argc; ++first) {
        const std::string arg = argv[first];
        if (arg == "--") {
            ++first;
            break;
        }
        if ((arg == "--hold" || arg == "--timeout") && first + 1 < argc) {
            (arg == "--hold" ? hold : timeout) = std::atof(argv[++first]);
            continue;
        }
        break;
    }
    if (first >= argc) {
        usage(argv[0]);
        return 2;
    }
    Display* display = XOpenDisplay(nullptr);
    if (display == nullptr) {
        std::fprintf(stderr, "%s: no X display\n", argv[0]);
        return 2;
    }
    XSetErrorHandler(ignoreXError);

    const Clock::time_point start = Clock::now();
    const pid_t pid = fork();
    if (pid < 0) {
        std::perror("fork");
        return 2;
    }
    if (pid == 0) {
        close(ConnectionNumber(display));
        execvp(argv[first], argv + first);
        std::perror(argv[first]);
        _exit(127);
    }

    double mappedMs = -1;
    double frameMs = -1;
    int status = 0;
    bool ended = false;
    rusage usage{};
    Window window = 0;
    while (frameMs < 0 && msSince(start) < timeout * 1000) {
        if (wait4(pid, &status, WNOHANG, &usage) == pid) {
            ended = true;
            break;
        }
        if (window == 0) {
            window = findWindow(display, pid);
            if (window != 0) {
                mappedMs = msSince(start);
            }
        }
        if (window != 0 && showsPicture(display, window)) {
            frameMs = msSince(start);
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(2));
    }
    const Clock::time_point holdEnd =
        Clock::now() + std::chrono::milliseconds(static_cast<long>(hold * 1000));
    while (!ended && Clock::now() < holdEnd) {
        ended = wait4(pid, &status, WNOHANG, &usage) == pid;
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
    }
    if (!ended) {
        kill(pid, SIGTERM);
        const Clock::time_point limit = Clock::now() + std::chrono::seconds(10);
        while (!(ended = wait4(pid, &status, WNOHANG, &usage) == pid) && Clock::now() < limit) {
            std::this_thread::sleep_for(std::chrono::milliseconds(10));
        }
        if (!ended) {
            kill(pid, SIGKILL);
            wait4(pid, &status, 0, &usage);
        }
    }
    XCloseDisplay(display);

    const int code = WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
    auto ms = [](double v) { return v < 0 ? std::string("NA") : std::to_string(v); };
    std::printf("mapped_ms=%s first_frame_ms=%s status=%d maxrss_kb=%ld\n", ms(mappedMs).c_str(),
                ms(frameMs).c_str(), code, usage.ru_maxrss);
    return frameMs < 0 ? 1 : 0;
}
