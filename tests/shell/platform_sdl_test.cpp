// The SDL backend's own logic on SDL's display-less "dummy" video driver: events turned into
// window messages, signals into close requests, and the display-mode check.
#include <gtest/gtest.h>

#include <SDL.h>

#include <csignal>
#include <cstdlib>
#include <vector>

#include "display_modes.h"
#include "platform.h"

namespace {

class PlatformSdlTest : public ::testing::Test {
  protected:
    void SetUp() override {
        unsetenv("DISPLAY");
        setenv("SDL_VIDEODRIVER", "dummy", 1);
        // The dummy display lists one mode, 1024x768 with no rate; asking for it starts video.
        ASSERT_EQ(changeDisplaySettings(&mode(1024, 768, 32, 0), CDS_FULLSCREEN),
                  DISP_CHANGE_SUCCESSFUL);
        drain();
    }

    static const DevMode& mode(std::uint32_t w, std::uint32_t h, std::uint32_t bits,
                               std::uint32_t hz) {
        static DevMode m;
        m = DevMode{DEVMODE_SIZE,
                    DM_BITSPERPEL | DM_PELSWIDTH | DM_PELSHEIGHT | DM_DISPLAYFREQUENCY,
                    bits,
                    w,
                    h,
                    hz};
        return m;
    }

    // Every message up to the next empty queue.
    static std::vector<Msg> drain() {
        std::vector<Msg> out;
        Msg msg{};
        while (peekMessage(msg, nullptr, 0, 0, PM_REMOVE)) {
            out.push_back(msg);
        }
        return out;
    }

    static void key(std::uint32_t type, SDL_Keycode sym, std::uint16_t mod = KMOD_NONE) {
        SDL_Event e{};
        e.type = type;
        e.key.state = type == SDL_KEYDOWN ? SDL_PRESSED : SDL_RELEASED;
        e.key.keysym.sym = sym;
        e.key.keysym.mod = mod;
        SDL_PushEvent(&e);
    }

    static void windowEvent(std::uint8_t event, int data1 = 0, int data2 = 0) {
        SDL_Event e{};
        e.type = SDL_WINDOWEVENT;
        e.window.event = event;
        e.window.data1 = data1;
        e.window.data2 = data2;
        SDL_PushEvent(&e);
    }
};

bool same(const Msg& m, std::uint32_t message, WPARAM wParam, LPARAM lParam = 0) {
    return m.message == message && m.wParam == wParam && m.lParam == lParam;
}

TEST_F(PlatformSdlTest, KeysBecomeVirtualKeyCodesAltAndF10SystemKeys) {
    for (SDL_Keycode sym : {SDLK_a, SDLK_z, SDLK_5, SDLK_RETURN, SDLK_KP_ENTER, SDLK_ESCAPE,
                            SDLK_SPACE, SDLK_F1, SDLK_F10, SDLK_LALT}) {
        key(SDL_KEYDOWN, sym);
    }
    key(SDL_KEYDOWN, SDLK_x, KMOD_LALT);
    key(SDL_KEYDOWN, SDLK_WWW);  // no virtual-key code: no message
    const std::vector<Msg> got = drain();
    ASSERT_EQ(got.size(), 11u);
    const WPARAM codes[] = {'A', 'Z', '5', VK_RETURN, VK_RETURN, VK_ESCAPE, VK_SPACE, VK_F1};
    for (std::size_t i = 0; i < 8; ++i) {
        EXPECT_TRUE(same(got[i], WM_KEYDOWN, codes[i])) << i;
    }
    EXPECT_TRUE(same(got[8], WM_SYSKEYDOWN, VK_F10));
    EXPECT_TRUE(same(got[9], WM_SYSKEYDOWN, VK_MENU));
    EXPECT_TRUE(same(got[10], WM_SYSKEYDOWN, 'X'));
}

TEST_F(PlatformSdlTest, AKeyReleasedAtOnceStillGetsOneEmptyQueueWhileDown) {
    key(SDL_KEYDOWN, SDLK_ESCAPE);
    key(SDL_KEYUP, SDLK_ESCAPE);
    Msg msg{};
    ASSERT_TRUE(peekMessage(msg, nullptr, 0, 0, PM_REMOVE));
    EXPECT_TRUE(same(msg, WM_KEYDOWN, VK_ESCAPE));
    EXPECT_FALSE(peekMessage(msg, nullptr, 0, 0, PM_REMOVE));  // one frame with Escape down
    ASSERT_TRUE(peekMessage(msg, nullptr, 0, 0, PM_REMOVE));
    EXPECT_TRUE(same(msg, WM_KEYUP, VK_ESCAPE));

    // A key pressed before the last empty queue is released at once.
    key(SDL_KEYDOWN, SDLK_SPACE);
    EXPECT_EQ(drain().size(), 1u);
    key(SDL_KEYUP, SDLK_SPACE);
    key(SDL_KEYDOWN, SDLK_RETURN);
    const std::vector<Msg> got = drain();
    ASSERT_EQ(got.size(), 2u);
    EXPECT_TRUE(same(got[0], WM_KEYUP, VK_SPACE));
    EXPECT_TRUE(same(got[1], WM_KEYDOWN, VK_RETURN));
}

TEST_F(PlatformSdlTest, WindowEventsBecomeSizeActivationAndClose) {
    windowEvent(SDL_WINDOWEVENT_SIZE_CHANGED, 800, 600);
    windowEvent(SDL_WINDOWEVENT_SIZE_CHANGED, 800, 600);  // the same size: no second WM_SIZE
    windowEvent(SDL_WINDOWEVENT_FOCUS_LOST);              // another window in front
    windowEvent(SDL_WINDOWEVENT_MINIMIZED);
    windowEvent(SDL_WINDOWEVENT_FOCUS_LOST);
    windowEvent(SDL_WINDOWEVENT_RESTORED);
    windowEvent(SDL_WINDOWEVENT_FOCUS_GAINED);
    windowEvent(SDL_WINDOWEVENT_CLOSE);
    SDL_Event quit{};
    quit.type = SDL_QUIT;
    SDL_PushEvent(&quit);
    const std::vector<Msg> got = drain();
    ASSERT_EQ(got.size(), 8u);
    EXPECT_TRUE(same(got[0], WM_SIZE, 0, (600 << 16) | 800));
    EXPECT_TRUE(same(got[1], WM_ACTIVATE, WA_INACTIVE));
    EXPECT_TRUE(same(got[2], WM_ACTIVATE, WA_INACTIVE | WA_MINIMIZED_FLAG));
    EXPECT_TRUE(same(got[3], WM_ACTIVATE, WA_INACTIVE | WA_MINIMIZED_FLAG));
    EXPECT_TRUE(same(got[4], WM_ACTIVATE, WA_ACTIVE));
    EXPECT_TRUE(same(got[5], WM_ACTIVATE, WA_ACTIVE));
    EXPECT_TRUE(same(got[6], WM_CLOSE, 0));
    EXPECT_TRUE(same(got[7], WM_CLOSE, 0));
}

TEST_F(PlatformSdlTest, MouseButtonsAndMotion) {
    SDL_Event e{};
    e.type = SDL_MOUSEBUTTONDOWN;
    e.button.x = 10;
    e.button.y = 20;
    for (std::uint8_t button : {SDL_BUTTON_LEFT, SDL_BUTTON_MIDDLE, SDL_BUTTON_RIGHT}) {
        e.button.button = button;
        SDL_PushEvent(&e);
    }
    e = SDL_Event{};
    e.type = SDL_MOUSEMOTION;
    e.motion.x = 3;
    e.motion.y = 4;
    SDL_PushEvent(&e);
    const std::vector<Msg> got = drain();
    ASSERT_EQ(got.size(), 3u);
    EXPECT_EQ(got[0].message, WM_LBUTTONDOWN);
    EXPECT_EQ(got[0].lParam, (20 << 16) | 10);
    EXPECT_EQ(got[1].message, WM_RBUTTONDOWN);
    EXPECT_TRUE(same(got[2], WM_MOUSEMOVE, 0, (4 << 16) | 3));
}

TEST_F(PlatformSdlTest, TerminationSignalsAreCloseRequestsAndPostedQuitComesFirst) {
    platformStartup();
    for (int sig : {SIGTERM, SIGINT, SIGHUP}) {
        std::raise(sig);
        const std::vector<Msg> got = drain();
        ASSERT_EQ(got.size(), 1u) << sig;
        EXPECT_TRUE(same(got[0], WM_CLOSE, 0));
    }
    key(SDL_KEYDOWN, SDLK_a);
    postQuitMessage(5);
    const std::vector<Msg> got = drain();
    ASSERT_EQ(got.size(), 2u);
    EXPECT_TRUE(same(got[0], WM_QUIT, 5));
    EXPECT_TRUE(same(got[1], WM_KEYDOWN, 'A'));
}

TEST_F(PlatformSdlTest, OnlyModesTheDisplayListsAreTaken) {
    EXPECT_EQ(changeDisplaySettings(&mode(1024, 768, 16, 0), CDS_FULLSCREEN),
              DISP_CHANGE_SUCCESSFUL);
    EXPECT_EQ(changeDisplaySettings(&mode(800, 600, 32, 0), CDS_FULLSCREEN), DISP_CHANGE_BADMODE);
    EXPECT_EQ(changeDisplaySettings(&mode(1024, 768, 32, 75), CDS_FULLSCREEN), DISP_CHANGE_BADMODE);
    EXPECT_EQ(changeDisplaySettings(&mode(1024, 768, 8, 0), CDS_FULLSCREEN), DISP_CHANGE_BADMODE);
    EXPECT_EQ(changeDisplaySettings(nullptr, 0), DISP_CHANGE_SUCCESSFUL);
}

TEST(RefusedModeLine, NamesTheRatesAtThatSizeOrElseTheSizes) {
    const std::vector<ListedMode> modes = {{1600, 1200, 60}, {1024, 768, 60},  {1024, 768, 85},
                                           {1024, 768, 60},  {1280, 1024, 75}, {640, 480, 60},
                                           {1024, 768, 70}};
    EXPECT_EQ(refusedModeLine(modes, 1024, 768, 75),
              "Vantu: the display does not offer 1024x768 at 75 Hz; at 1024x768 it offers 85, 70, "
              "60 Hz. Choose another mode in the settings dialog (KPXConfig).");
    EXPECT_EQ(refusedModeLine(modes, 800, 600, 0),
              "Vantu: the display does not offer 800x600 at its default rate; it offers no mode "
              "of that size, only 1600x1200, 1280x1024, 1024x768, 640x480. Choose another mode "
              "in the settings dialog (KPXConfig).");
    EXPECT_EQ(refusedModeLine({{1920, 1080, 60}}, 1920, 1080, 75),
              "Vantu: the display does not offer 1920x1080 at 75 Hz; at 1920x1080 it offers 60 "
              "Hz. Choose another mode in the settings dialog (KPXConfig).");
}

TEST(FindListedMode, ExactRateOrForRateZeroTheDesktopsElseTheFirstListed) {
    const std::vector<ListedMode> modes = {
        {1024, 768, 85}, {1024, 768, 75}, {1024, 768, 60}, {800, 600, 72}};
    EXPECT_EQ(findListedMode(modes, 1024, 768, 75, 60), 1);
    EXPECT_EQ(findListedMode(modes, 1024, 768, 72, 60), -1);
    EXPECT_EQ(findListedMode(modes, 1024, 768, 0, 60), 2);
    EXPECT_EQ(findListedMode(modes, 1024, 768, 0, 50), 0);
    EXPECT_EQ(findListedMode(modes, 800, 600, 0, 60), 3);
    EXPECT_EQ(findListedMode(modes, 640, 480, 0, 60), -1);
}

}  // namespace
