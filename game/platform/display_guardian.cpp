// The display guardian (see display_guardian.h).
#include "display_guardian.h"

#include <fcntl.h>
#include <poll.h>
#include <sys/socket.h>
#include <sys/syscall.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <csignal>
#include <cstring>

#include "xrandr_layout.h"

namespace {

constexpr char kSwitched = 'S';
constexpr char kRestored = 'R';
constexpr char kCrashed = 'C';
constexpr char kReady = 'G';
constexpr char kNoDisplay = 'X';
constexpr char kDone = 'D';

constexpr int kCrashSignals[] = {SIGSEGV, SIGABRT, SIGBUS, SIGFPE};
constexpr int kAnswerTimeoutMs = 1000;

// Read by the crash handler: plain ints written before the handlers can run.
volatile int channel = -1;
volatile pid_t gamePid = 0;
volatile bool switched = false;
pid_t guardianPid = -1;
struct sigaction previousActions[sizeof(kCrashSignals) / sizeof(kCrashSignals[0])];

bool sendByte(int fd, char c) {
    for (;;) {
        const ssize_t n = send(fd, &c, 1, MSG_NOSIGNAL);
        if (n == 1) {
            return true;
        }
        if (n < 0 && errno == EINTR) {
            continue;
        }
        return false;
    }
}

// Waits up to timeoutMs for one byte; 0 when none came.
char receiveByte(int fd, int timeoutMs) {
    pollfd p{fd, POLLIN, 0};
    for (;;) {
        const int n = poll(&p, 1, timeoutMs);
        if (n < 0 && errno == EINTR) {
            continue;
        }
        if (n <= 0) {
            return 0;
        }
        char c = 0;
        const ssize_t r = recv(fd, &c, 1, 0);
        if (r < 0 && errno == EINTR) {
            continue;
        }
        return r == 1 ? c : 0;
    }
}

// ---- In the guardian process ----

// XWayland (a Wayland session): a mode that an X program sets there is only emulated, for that
// program alone, by scaling its window; the compositor's output keeps its mode, other X clients
// never see the change, and the emulation ends with the program's X connection, so even a game
// killed outright leaves nothing to put back. XWayland 22 names its outputs XWAYLAND0, ...;
// later versions also have an extension of that name.
bool isXWayland(Display* display) {
    int opcode = 0;
    int eventBase = 0;
    int errorBase = 0;
    if (XQueryExtension(display, "XWAYLAND", &opcode, &eventBase, &errorBase) != 0) {
        return true;
    }
    XRRScreenResources* resources =
        XRRGetScreenResourcesCurrent(display, DefaultRootWindow(display));
    if (resources == nullptr) {
        return false;
    }
    bool found = false;
    for (int i = 0; i < resources->noutput && !found; ++i) {
        XRROutputInfo* info = XRRGetOutputInfo(display, resources, resources->outputs[i]);
        if (info != nullptr) {
            found = std::strncmp(info->name, "XWAYLAND", 8) == 0;
            XRRFreeOutputInfo(info);
        }
    }
    XRRFreeScreenResources(resources);
    return found;
}

// The desktop's layout, on a connection of the guardian's own. False when there is nothing to
// guard: no display, no XRandR, or XWayland.
bool saveDesktop(xrandrLayout::Layout& desktop) {
    Display* display = XOpenDisplay(nullptr);
    if (display == nullptr) {
        return false;
    }
    const bool saved = xrandrLayout::available(display) && !isXWayland(display) &&
                       xrandrLayout::save(display, desktop);
    XCloseDisplay(display);
    return saved;
}

// Puts back what differs from the desktop's layout, on a new connection. An X server that does
// not answer must not keep the guardian alive: it has a second.
void restoreDesktop(const xrandrLayout::Layout& desktop) {
    alarm(1);
    Display* display = XOpenDisplay(nullptr);
    if (display != nullptr) {
        xrandrLayout::apply(display, desktop);
        XCloseDisplay(display);
    }
}

// A descriptor that becomes readable when the game process ends, or -1.
int watchProcess(pid_t pid) {
#ifdef SYS_pidfd_open
    return static_cast<int>(syscall(SYS_pidfd_open, pid, 0));
#else
    (void)pid;
    return -1;
#endif
}

// Only the game's end ends the guardian: signals meant for the terminal's whole group (Ctrl-C,
// Ctrl-\, hang-up) must not take it away before the game has restored the display, or together
// with a game that dies of them.
void ignoreTerminalSignals() {
    std::signal(SIGINT, SIG_IGN);
    std::signal(SIGQUIT, SIG_IGN);
    std::signal(SIGTERM, SIG_IGN);
    std::signal(SIGHUP, SIG_IGN);
    std::signal(SIGPIPE, SIG_IGN);
    for (int sig : kCrashSignals) {
        std::signal(sig, SIG_DFL);
    }
}

// Keeps nothing of the game's open: above all not its X connection, which must close when the
// game dies. The channel goes to descriptor 3 (by way of a high one, in case it was given one
// of the standard three); returns it.
int keepOnlyChannel(int fd) {
    const int high = fcntl(fd, F_DUPFD, 10);
    const int devNull = open("/dev/null", O_RDWR);
    if (devNull >= 0) {
        dup2(devNull, STDIN_FILENO);
        dup2(devNull, STDOUT_FILENO);
    }
    if (high >= 0) {
        dup2(high, 3);
        fd = 3;
    }
    close_range(4, ~0U, 0);
    return fd;
}

// How the watch over the game ended.
enum class GameEnd {
    RestoredItself,  // 'R': the desktop's mode is back
    Crashed,         // 'C' from the crash handler, which waits for 'D'
    Gone,            // the game's process or its end of the channel is gone
};

// Follows the game's messages until it ends; `armed` tells whether it switched the display.
// Without a process descriptor (old kernels) it looks every 200 ms whether the game is still
// the guardian's parent.
GameEnd watchGame(int fd, pid_t game, int gameEnded, bool& armed) {
    for (;;) {
        pollfd fds[2] = {{fd, POLLIN, 0}, {gameEnded, POLLIN, 0}};
        const int n = poll(fds, gameEnded >= 0 ? 2 : 1, gameEnded >= 0 ? -1 : 200);
        if (n < 0 && errno == EINTR) {
            continue;
        }
        if (n < 0) {
            return GameEnd::Gone;
        }
        if (fds[0].revents != 0) {  // the game's word comes before its end
            char c = 0;
            const ssize_t r = recv(fd, &c, 1, 0);
            if (r < 0 && errno == EINTR) {
                continue;
            }
            if (r != 1) {
                return GameEnd::Gone;  // the game's end of the channel is gone
            }
            if (c == kRestored) {
                return GameEnd::RestoredItself;
            }
            if (c == kCrashed) {
                return GameEnd::Crashed;
            }
            armed = armed || c == kSwitched;
        } else if (fds[1].revents != 0 || (n == 0 && getppid() != game)) {
            return GameEnd::Gone;
        }
    }
}

[[noreturn]] void guardianMain(int fd, pid_t game) {
    ignoreTerminalSignals();
    fd = keepOnlyChannel(fd);
    xrandrLayout::Layout desktop;
    if (!saveDesktop(desktop)) {
        sendByte(fd, kNoDisplay);
        _exit(0);
    }
    const int gameEnded = watchProcess(game);
    sendByte(fd, kReady);
    bool armed = false;
    const GameEnd end = watchGame(fd, game, gameEnded, armed);
    if (armed && end != GameEnd::RestoredItself) {
        restoreDesktop(desktop);
    }
    if (end == GameEnd::Crashed) {
        sendByte(fd, kDone);
    }
    _exit(0);
}

// ---- In the game process ----

void onCrashSignal(int sig) {
    const int savedErrno = errno;
    const int fd = channel;
    if (fd >= 0 && switched && getpid() == gamePid && sendByte(fd, kCrashed)) {
        receiveByte(fd, kAnswerTimeoutMs);
        switched = false;  // the guardian has gone; a second crash signal need not wait
    }
    for (std::size_t i = 0; i < sizeof(kCrashSignals) / sizeof(kCrashSignals[0]); ++i) {
        if (kCrashSignals[i] == sig) {
            sigaction(sig, &previousActions[i], nullptr);
        }
    }
    errno = savedErrno;
    // Blocked while this handler runs: delivered to the previous handler (or kills the process)
    // as soon as it returns. A fault would come back anyway when the instruction runs again.
    raise(sig);
}

}  // namespace

namespace guardian {

bool start() {
    if (guardianPid > 0) {
        return true;
    }
    int fds[2];
    if (socketpair(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0, fds) != 0) {
        return false;
    }
    const pid_t game = getpid();
    const pid_t pid = fork();
    if (pid < 0) {
        close(fds[0]);
        close(fds[1]);
        return false;
    }
    if (pid == 0) {
        close(fds[0]);
        guardianMain(fds[1], game);
    }
    close(fds[1]);
    const char answer = receiveByte(fds[0], 5000);
    if (answer != kReady) {
        close(fds[0]);
        if (answer == 0) {
            kill(pid, SIGKILL);
        }
        waitpid(pid, nullptr, 0);
        return false;
    }
    guardianPid = pid;
    gamePid = game;
    channel = fds[0];
    return true;
}

void displaySwitched() {
    if (channel >= 0 && !switched) {
        switched = sendByte(channel, kSwitched);
    }
}

void displayRestored() {
    if (channel < 0 || !switched) {
        return;
    }
    const int fd = channel;
    channel = -1;
    switched = false;
    sendByte(fd, kRestored);
    close(fd);
    // It leaves at once; collect it so that it does not stay a zombie while the game runs on.
    for (int i = 0; i < 100; ++i) {
        const pid_t r = waitpid(guardianPid, nullptr, WNOHANG);
        if (r != 0) {
            break;
        }
        usleep(1000);
    }
    guardianPid = -1;
}

void installCrashHandlers() {
    static bool installed = false;
    if (installed) {
        return;
    }
    installed = true;
    for (std::size_t i = 0; i < sizeof(kCrashSignals) / sizeof(kCrashSignals[0]); ++i) {
        struct sigaction action {};
        action.sa_handler = onCrashSignal;
        sigemptyset(&action.sa_mask);
        action.sa_flags = SA_RESETHAND;
        sigaction(kCrashSignals[i], &action, &previousActions[i]);
    }
}

}  // namespace guardian
