// The platform contract, the same test for each backend (built once with the scripted backend
// and once with the SDL backend on a private X server): window classes, the one window, its
// device context, pixel format and rendering context, the message queue's order and dispatch,
// and the cursor count.
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
        ASSERT_EQ(choosePixelFormat(dc_, openGlFormat()), 1);
        ASSERT_TRUE(setPixelFormat(dc_, 1, openGlFormat()));
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

TEST_F(PlatformContract, OneWindowOfARegisteredClassWhichStaysWhileItLives) {
    EXPECT_EQ(makeWindow("ContractA"), nullptr);  // no such class yet
    ASSERT_NE(registerClass(windowClass("ContractA")), 0);
    ASSERT_NE(registerClass(windowClass("ContractB")), 0);
    WindowHandle window = makeWindow("ContractA");
    ASSERT_NE(window, nullptr);
    EXPECT_EQ(createWindowEx(0, "ContractB", "Second", WS_POPUP, 0, 0, 8, 8, nullptr, nullptr,
                             nullptr, nullptr),
              nullptr);
    window_ = window;

    EXPECT_FALSE(unregisterClass("ContractA", getModuleHandle(nullptr)));
    EXPECT_TRUE(unregisterClass("ContractB", getModuleHandle(nullptr)));  // no window of its own
    EXPECT_TRUE(destroyWindow(window));
    EXPECT_FALSE(destroyWindow(window));
    window_ = nullptr;
    EXPECT_TRUE(unregisterClass("ContractA", getModuleHandle(nullptr)));
}

TEST_F(PlatformContract, TheDeviceContextIsHeldOnceAndOnlyByItsWindow) {
    ASSERT_NE(registerClass(windowClass("ContractA")), 0);
    ASSERT_NE(makeWindow("ContractA"), nullptr);
    EXPECT_EQ(getDC(nullptr), nullptr);
    DeviceContextHandle dc = getDC(window_);
    ASSERT_NE(dc, nullptr);
    EXPECT_EQ(getDC(window_), nullptr);
    EXPECT_EQ(releaseDC(nullptr, dc), 0);
    EXPECT_EQ(releaseDC(window_, dc), 1);
    EXPECT_EQ(releaseDC(window_, dc), 0);
    dc_ = getDC(window_);
    EXPECT_EQ(dc_, dc);
}

TEST_F(PlatformContract, APixelFormatIsChosenForOpenGlInAWindowAndSetOnce) {
    ASSERT_NE(registerClass(windowClass("ContractA")), 0);
    ASSERT_NE(makeWindow("ContractA"), nullptr);
    EXPECT_EQ(choosePixelFormat(nullptr, openGlFormat()), 0);
    dc_ = getDC(window_);
    ASSERT_NE(dc_, nullptr);

    PixelFormatDescriptor noGl = openGlFormat();
    noGl.dwFlags = PFD_DRAW_TO_WINDOW | PFD_DOUBLEBUFFER;
    EXPECT_EQ(choosePixelFormat(dc_, noGl), 0);
    PixelFormatDescriptor indexed = openGlFormat();
    indexed.iPixelType = 1;  // PFD_TYPE_COLORINDEX
    EXPECT_EQ(choosePixelFormat(dc_, indexed), 0);

    EXPECT_EQ(choosePixelFormat(dc_, openGlFormat()), 1);
    EXPECT_FALSE(setPixelFormat(dc_, 2, openGlFormat()));  // not a format the chooser gave
    EXPECT_TRUE(setPixelFormat(dc_, 1, openGlFormat()));
    EXPECT_FALSE(setPixelFormat(dc_, 1, openGlFormat()));
}

TEST_F(PlatformContract, ARenderingContextNeedsThePixelFormatAndIsCurrentOnlyWhenMadeSo) {
    ASSERT_NE(registerClass(windowClass("ContractA")), 0);
    ASSERT_NE(makeWindow("ContractA"), nullptr);
    dc_ = getDC(window_);
    ASSERT_NE(dc_, nullptr);
    EXPECT_EQ(wglCreateContext(dc_), nullptr);  // no pixel format yet
    ASSERT_EQ(choosePixelFormat(dc_, openGlFormat()), 1);
    ASSERT_TRUE(setPixelFormat(dc_, 1, openGlFormat()));

    context_ = wglCreateContext(dc_);
    ASSERT_NE(context_, nullptr);
    EXPECT_EQ(wglCreateContext(dc_), nullptr);  // one context
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
    EXPECT_EQ(setFocus(window_), nullptr);
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

}  // namespace
