// The platform contract, the same test for each backend (built with the scripted backend, with
// the SDL backend on a private X server, and with the Windows backend under Wine): window
// classes, the game's window, its device context, pixel format and rendering context, the
// message queue's order and dispatch, and the cursor count. What Windows itself does is the
// reference: a case holds here only where Windows documents it. The rules layer's own limits
// beyond Windows are checked last, where it backs the backend (VANTU_PLATFORM_RULES).
#include <gtest/gtest.h>

#include "platform.h"

namespace {

struct Dispatched {
    WindowHandle window = nullptr;
    std::uint32_t message = 0;
    WPARAM wParam = 0;
    LPARAM lParam = 0;
};
Dispatched lastDispatched;

LRESULT recordingProc(WindowHandle window, std::uint32_t message, WPARAM wParam, LPARAM lParam) {
    lastDispatched = {window, message, wParam, lParam};
    return 77;
}

WndClass windowClass(const char* name) {
    WndClass wc{};
    wc.style = CS_HREDRAW | CS_VREDRAW | CS_OWNDC;
    wc.lpfnWndProc = recordingProc;
    wc.hInstance = getModuleHandle(nullptr);
    wc.lpszClassName = name;
    return wc;
}

PixelFormatDescriptor openGlFormat() {
    PixelFormatDescriptor pfd{};
    pfd.nSize = PIXELFORMATDESCRIPTOR_SIZE;
    pfd.nVersion = 1;
    pfd.dwFlags = PFD_DRAW_TO_WINDOW | PFD_SUPPORT_OPENGL | PFD_DOUBLEBUFFER;
    pfd.iPixelType = PFD_TYPE_RGBA;
    pfd.cColorBits = 32;
    pfd.cDepthBits = 16;
    pfd.iLayerType = PFD_MAIN_PLANE;
    return pfd;
}

// The process around the tests, as around the game.
class PlatformProcess : public ::testing::Environment {
  public:
    void SetUp() override { platformStartup(); }
    void TearDown() override { platformShutdown(); }
};
::testing::Environment* const process = ::testing::AddGlobalTestEnvironment(new PlatformProcess);

// Each test leaves the platform as it found it: whatever it made is released in TearDown, in the
// game's order.
class PlatformContract : public ::testing::Test {
  protected:
    void TearDown() override {
        wglMakeCurrent(nullptr, nullptr);
        if (context_ != nullptr) {
            wglDeleteContext(context_);
        }
        if (dc_ != nullptr) {
            releaseDC(window_, dc_);
        }
        if (window_ != nullptr) {
            destroyWindow(window_);
        }
        for (const char* name : {"ContractA", "ContractB"}) {
            unregisterClass(name, getModuleHandle(nullptr));
        }
    }

    WindowHandle makeWindow(const char* className) {
        window_ = createWindowEx(WS_EX_APPWINDOW, className, "Contract", WS_POPUP, 0, 0, 320, 240,
                                 nullptr, nullptr, getModuleHandle(nullptr), nullptr);
        return window_;
    }

    // A window of class ContractA with its device context and pixel format.
    void makeFormattedWindow() {
        ASSERT_NE(registerClass(windowClass("ContractA")), 0);
        ASSERT_NE(makeWindow("ContractA"), nullptr);
        dc_ = getDC(window_);
        ASSERT_NE(dc_, nullptr);
        const int format = choosePixelFormat(dc_, openGlFormat());
        ASSERT_GT(format, 0);
        ASSERT_TRUE(setPixelFormat(dc_, format, openGlFormat()));
    }

    WindowHandle window_ = nullptr;
    DeviceContextHandle dc_ = nullptr;
    GlContextHandle context_ = nullptr;
};

TEST_F(PlatformContract, ClassNamesAreUniqueWhileRegistered) {
    const std::uint16_t atom = registerClass(windowClass("ContractA"));
    EXPECT_NE(atom, 0);
    EXPECT_EQ(registerClass(windowClass("ContractA")), 0);
    EXPECT_NE(registerClass(windowClass("ContractB")), 0);
    EXPECT_EQ(registerClass(windowClass(nullptr)), 0);

    EXPECT_TRUE(unregisterClass("ContractA", getModuleHandle(nullptr)));
    EXPECT_FALSE(unregisterClass("ContractA", getModuleHandle(nullptr)));
    EXPECT_FALSE(unregisterClass("NeverRegistered", getModuleHandle(nullptr)));
    EXPECT_NE(registerClass(windowClass("ContractA")), 0);  // the name is free again
}

// (One window is what the layer offers; Windows would make a second one.)
TEST_F(PlatformContract, AWindowOfARegisteredClassWhichStaysWhileItLives) {
    EXPECT_EQ(makeWindow("ContractA"), nullptr);  // no such class yet
    ASSERT_NE(registerClass(windowClass("ContractA")), 0);
    ASSERT_NE(registerClass(windowClass("ContractB")), 0);
    WindowHandle window = makeWindow("ContractA");
    ASSERT_NE(window, nullptr);
    window_ = window;

    EXPECT_FALSE(unregisterClass("ContractA", getModuleHandle(nullptr)));
    EXPECT_TRUE(unregisterClass("ContractB", getModuleHandle(nullptr)));  // no window of its own
    EXPECT_TRUE(destroyWindow(window));
    EXPECT_FALSE(destroyWindow(window));
    window_ = nullptr;
    EXPECT_TRUE(unregisterClass("ContractA", getModuleHandle(nullptr)));
}

// A CS_OWNDC window has one device context of its own: each getDC gives it. (getDC(nullptr) is
// the screen's on Windows, and a DC released twice is Windows' own affair: neither is offered.)
TEST_F(PlatformContract, TheWindowsOwnDeviceContextIsTheOneGetDcGives) {
    ASSERT_NE(registerClass(windowClass("ContractA")), 0);
    ASSERT_NE(makeWindow("ContractA"), nullptr);
    DeviceContextHandle dc = getDC(window_);
    ASSERT_NE(dc, nullptr);
    EXPECT_EQ(getDC(window_), dc);
    EXPECT_EQ(releaseDC(window_, dc), 1);
    dc_ = getDC(window_);
    EXPECT_EQ(dc_, dc);
}

TEST_F(PlatformContract, APixelFormatIsChosenForOpenGlInAWindowAndSetOnce) {
    ASSERT_NE(registerClass(windowClass("ContractA")), 0);
    ASSERT_NE(makeWindow("ContractA"), nullptr);
    EXPECT_EQ(choosePixelFormat(nullptr, openGlFormat()), 0);
    dc_ = getDC(window_);
    ASSERT_NE(dc_, nullptr);

    // The chooser gives the closest format it has (Windows' for any descriptor; the rules' only
    // for an RGBA one with OpenGL in a window, which is all the game asks for).
    const int format = choosePixelFormat(dc_, openGlFormat());
    ASSERT_GT(format, 0);
    EXPECT_TRUE(setPixelFormat(dc_, format, openGlFormat()));
    EXPECT_FALSE(setPixelFormat(dc_, format + 1, openGlFormat()));  // set, it cannot change
}

TEST_F(PlatformContract, ARenderingContextNeedsThePixelFormatAndIsCurrentOnlyWhenMadeSo) {
    ASSERT_NE(registerClass(windowClass("ContractA")), 0);
    ASSERT_NE(makeWindow("ContractA"), nullptr);
    dc_ = getDC(window_);
    ASSERT_NE(dc_, nullptr);
    EXPECT_EQ(wglCreateContext(dc_), nullptr);  // no pixel format yet
    const int format = choosePixelFormat(dc_, openGlFormat());
    ASSERT_GT(format, 0);
    ASSERT_TRUE(setPixelFormat(dc_, format, openGlFormat()));

    context_ = wglCreateContext(dc_);
    ASSERT_NE(context_, nullptr);
    EXPECT_FALSE(wglMakeCurrent(nullptr, context_));
    EXPECT_TRUE(wglMakeCurrent(dc_, context_));
    EXPECT_TRUE(swapBuffers(dc_));
    EXPECT_TRUE(wglMakeCurrent(nullptr, nullptr));
    EXPECT_TRUE(wglDeleteContext(context_));
    EXPECT_FALSE(wglDeleteContext(context_));
    EXPECT_FALSE(wglMakeCurrent(dc_, context_));
    context_ = nullptr;
    EXPECT_FALSE(swapBuffers(nullptr));
}

TEST_F(PlatformContract, ShowWindowTellsWhetherTheWindowWasVisible) {
    makeFormattedWindow();
    EXPECT_FALSE(showWindow(nullptr, SW_SHOW));
    EXPECT_FALSE(showWindow(window_, SW_SHOW));
    EXPECT_TRUE(showWindow(window_, SW_SHOW));
    EXPECT_TRUE(setForegroundWindow(window_));
    EXPECT_FALSE(setForegroundWindow(nullptr));
}

// As on Win32, the keyboard is the window's as soon as setFocus returns, whenever the window
// system gets round to it (the bitmap reader's boxes, shown right after, belong to the window).
TEST_F(PlatformContract, SetFocusGivesTheKeyboardAtOnceUntilTheWindowGoes) {
    makeFormattedWindow();
    EXPECT_EQ(getFocus(), nullptr);
    showWindow(window_, SW_SHOW);
    // (Who had the keyboard before is Windows' affair: its DefWindowProc gives it to a window
    // activated by ShowWindow, and Wine gives it at the activation itself.)
    setFocus(window_);
    EXPECT_EQ(getFocus(), window_);
    EXPECT_EQ(setFocus(window_), window_);
    EXPECT_EQ(setFocus(nullptr), window_);
    EXPECT_EQ(getFocus(), nullptr);
    setFocus(window_);
    ASSERT_EQ(releaseDC(window_, dc_), 1);
    dc_ = nullptr;
    ASSERT_TRUE(destroyWindow(window_));
    window_ = nullptr;
    EXPECT_EQ(getFocus(), nullptr);
}

TEST_F(PlatformContract, PostedMessagesComeFirstAndDispatchReachesTheClassProcedure) {
    makeFormattedWindow();
    postQuitMessage(7);
    Msg msg{};
    ASSERT_TRUE(peekMessage(msg, nullptr, 0, 0, 0));  // looked at, left in the queue
    ASSERT_TRUE(peekMessage(msg, nullptr, 0, 0, PM_REMOVE));
    EXPECT_EQ(msg.message, WM_QUIT);
    EXPECT_EQ(msg.wParam, 7u);

    const Msg size{WM_SIZE, 0, (240 << 16) | 320};
    lastDispatched = {};
    EXPECT_EQ(dispatchMessage(size), 77);
    EXPECT_EQ(lastDispatched.window, window_);
    EXPECT_EQ(lastDispatched.message, WM_SIZE);
    EXPECT_EQ(lastDispatched.lParam, size.lParam);
    EXPECT_FALSE(translateMessage(size));
    EXPECT_EQ(defWindowProc(window_, WM_SIZE, 0, 0), 0);
}

TEST_F(PlatformContract, TheCursorShowsWhileItsCountIsNotNegative) {
    EXPECT_EQ(showCursor(false), -1);
    EXPECT_EQ(showCursor(false), -2);
    EXPECT_EQ(showCursor(true), -1);
    EXPECT_EQ(showCursor(true), 0);
}

TEST_F(PlatformContract, HandlesOfTheModuleIconAndCursorAreStable) {
    EXPECT_NE(getModuleHandle(nullptr), nullptr);
    EXPECT_EQ(getModuleHandle(nullptr), getModuleHandle(nullptr));
    EXPECT_EQ(getModuleHandle("other.dll"), nullptr);
    EXPECT_EQ(loadIcon(nullptr, IDI_WINLOGO), loadIcon(nullptr, IDI_WINLOGO));
    EXPECT_EQ(loadCursor(nullptr, IDC_ARROW), loadCursor(nullptr, IDC_ARROW));
}

#ifdef VANTU_PLATFORM_RULES
// The rules (platform_rules.cpp) give the game what it uses and nothing more: one window, only
// its own device context, released once per getDC, a format only for an RGBA OpenGL descriptor,
// set once and only as the chooser gave it, and one rendering context at a time.
TEST_F(PlatformContract, TheRulesOfferOneWindowOneFormatAndOneContext) {
    ASSERT_NE(registerClass(windowClass("ContractA")), 0);
    ASSERT_NE(registerClass(windowClass("ContractB")), 0);
    ASSERT_NE(makeWindow("ContractA"), nullptr);
    EXPECT_EQ(createWindowEx(0, "ContractB", "Second", WS_POPUP, 0, 0, 8, 8, nullptr, nullptr,
                             nullptr, nullptr),
              nullptr);
    EXPECT_EQ(getDC(nullptr), nullptr);
    dc_ = getDC(window_);
    ASSERT_NE(dc_, nullptr);
    EXPECT_EQ(releaseDC(nullptr, dc_), 0);
    ASSERT_EQ(releaseDC(window_, dc_), 1);
    EXPECT_EQ(releaseDC(window_, dc_), 0);  // released, it is not held
    dc_ = getDC(window_);

    PixelFormatDescriptor noGl = openGlFormat();
    noGl.dwFlags = PFD_DRAW_TO_WINDOW | PFD_DOUBLEBUFFER;
    EXPECT_EQ(choosePixelFormat(dc_, noGl), 0);
    PixelFormatDescriptor indexed = openGlFormat();
    indexed.iPixelType = 1;  // PFD_TYPE_COLORINDEX
    EXPECT_EQ(choosePixelFormat(dc_, indexed), 0);
    const int format = choosePixelFormat(dc_, openGlFormat());
    ASSERT_GT(format, 0);
    EXPECT_FALSE(setPixelFormat(dc_, format + 1, openGlFormat()));  // not the chooser's
    ASSERT_TRUE(setPixelFormat(dc_, format, openGlFormat()));
    EXPECT_FALSE(setPixelFormat(dc_, format, openGlFormat()));

    context_ = wglCreateContext(dc_);
    ASSERT_NE(context_, nullptr);
    EXPECT_EQ(wglCreateContext(dc_), nullptr);
}
#endif

}  // namespace
