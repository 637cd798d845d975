// The shell through the scripted platform: start-up and main loop, window creation and release,
// and the window procedure.
#include <gtest/gtest.h>
#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <ctime>
#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include "dice_model.h"
#include "frame_recording.h"
#include "platform.h"
#include "platform_scripted.h"
#include "random.h"
#include "render_recording.h"
#include "scratch_folder.h"
#include "shell.h"
#include "state_compare.h"

// The frame's dice steps, the drawing and the texture loading are the recording stand-ins
// (dice_frame_recording, render_recording): each notes its call in the scripted record, so that
// tests see them in order with the platform calls. A die in flight loses one bounce per frame and
// is picked up for the next throw when it lands; the drawing notes the throw counter and whether
// the dice rest.

namespace {

using Lines = std::vector<std::string>;
using scripted::Call;

const Lines kCreation = {"RegisterClass OpenGL",
                         "ChangeDisplaySettings 800x600 16 bits 85 Hz flags 4",
                         "ShowCursor 0",
                         "AdjustWindowRectEx",
                         "CreateWindowEx OpenGL Vantu",
                         "GetDC",
                         "ChoosePixelFormat",
                         "SetPixelFormat 1",
                         "wglCreateContext",
                         "wglMakeCurrent",
                         "ShowWindow 5",
                         "SetForegroundWindow",
                         "SetFocus",
                         "loadTextures"};

const Lines kRelease = {"ChangeDisplaySettings restore",
                        "ShowCursor 1",
                        "wglMakeCurrent none",
                        "wglDeleteContext",
                        "ReleaseDC",
                        "DestroyWindow",
                        "UnregisterClass OpenGL"};

// Every field of the pixel format, without the padding between them.
::testing::AssertionResult samePixelFormat(const PixelFormatDescriptor& a,
                                           const PixelFormatDescriptor& b) {
    const auto fields = [](const PixelFormatDescriptor& p) {
        return std::vector<std::uint32_t>{
            p.nSize,           p.nVersion,       p.dwFlags,         p.iPixelType,  p.cColorBits,
            p.cRedBits,        p.cRedShift,      p.cGreenBits,      p.cGreenShift, p.cBlueBits,
            p.cBlueShift,      p.cAlphaBits,     p.cAlphaShift,     p.cAccumBits,  p.cAccumRedBits,
            p.cAccumGreenBits, p.cAccumBlueBits, p.cAccumAlphaBits, p.cDepthBits,  p.cStencilBits,
            p.cAuxBuffers,     p.iLayerType,     p.bReserved,       p.dwLayerMask, p.dwVisibleMask,
            p.dwDamageMask};
    };
    const std::vector<std::uint32_t> fa = fields(a);
    const std::vector<std::uint32_t> fb = fields(b);
    for (std::size_t i = 0; i < fa.size(); ++i) {
        if (fa[i] != fb[i]) {
            return ::testing::AssertionFailure()
                   << "field " << i << ": " << fa[i] << " != " << fb[i];
        }
    }
    return ::testing::AssertionSuccess();
}

class ShellTest : public ::testing::Test {
  protected:
    void SetUp() override {
        scripted::reset();
        shell = ShellState{};
        game = GameState{};
        renderRecording::setTexturesLoad(true);
        // A working directory without "KPX.cfg" (unless a test writes one).
        folder_ = std::make_unique<ScratchFolder>("shell-test", true);
    }
    void TearDown() override { folder_.reset(); }

    static int runWinMain() { return WinMain(getModuleHandle(nullptr), nullptr, "", SW_SHOW); }

    // The record's lines of the frame and of the loop's platform calls.
    static Lines loopRecord() {
        Lines out;
        for (const std::string& line : scripted::calls()) {
            if (line == "updatePointer" || line == "stepDice" || line.rfind("drawScene", 0) == 0 ||
                line == "SwapBuffers" || line.rfind("DispatchMessage", 0) == 0 ||
                line == "handleLeftClick") {
                out.push_back(line);
            }
        }
        return out;
    }

    static void atRest() {
        for (DieState& die : game.dice) {
            die.bouncesLeft = 0;
        }
    }

    std::unique_ptr<ScratchFolder> folder_;
};

// ---- Start-up and main loop ----

TEST_F(ShellTest, StartsWithSeededDiceAndTheDefaultModeThenReleasesAtTheEnd) {
    const auto before = static_cast<std::uint32_t>(std::time(nullptr));
    scripted::pushMessage(WM_QUIT, 0);
    EXPECT_EQ(runWinMain(), 0);
    const auto after = static_cast<std::uint32_t>(std::time(nullptr));

    // The dice were set from a time seed before the window (and its textures) existed.
    bool matched = false;
    for (std::uint32_t seed = before; seed <= after && !matched; ++seed) {
        const GameState seen = game;
        game = GameState{};
        seedRand15(seed);
        initGameState();
        matched = state_compare::sameGame(game, renderRecording::gameAtTextureLoad());
        game = seen;
    }
    EXPECT_TRUE(matched);

    const DevMode mode = scripted::seen().lastDisplayMode.value();
    EXPECT_EQ(mode.dmPelsWidth, 1024u);
    EXPECT_EQ(mode.dmPelsHeight, 768u);
    EXPECT_EQ(mode.dmBitsPerPel, 32u);
    EXPECT_EQ(mode.dmDisplayFrequency, 75u);
    const Lines& calls = scripted::calls();
    EXPECT_TRUE(std::equal(kRelease.begin(), kRelease.end(), calls.end() - kRelease.size()));
    EXPECT_TRUE(scripted::messageBoxes().empty());
}

TEST_F(ShellTest, QuitEndsTheLoopWithMessagesBehindItAndGivesItsCode) {
    scripted::pushMessage(WM_KEYDOWN, 'A');
    scripted::pushIdle();
    scripted::pushMessage(WM_QUIT, 7);
    scripted::pushMessage(WM_KEYDOWN, 'B');
    scripted::pushIdle(3);
    EXPECT_EQ(runWinMain(), 7);
    EXPECT_EQ(loopRecord(), (Lines{"DispatchMessage 256", "updatePointer", "stepDice",
                                   "drawScene -1 rest", "SwapBuffers"}));
    EXPECT_EQ(shell.keyDown['A'], 1);
    EXPECT_EQ(shell.keyDown['B'], 0);
    EXPECT_FALSE(scripted::scriptRanOut());
}

TEST_F(ShellTest, CloseRequestEndsWithStatusZeroBeforeAnotherFrame) {
    scripted::pushMessage(WM_KEYDOWN, 'C');  // a message with a wParam of its own first
    scripted::pushMessage(WM_CLOSE);
    scripted::pushIdle(3);
    EXPECT_EQ(runWinMain(), 0);
    EXPECT_EQ(loopRecord(), (Lines{"DispatchMessage 256", "DispatchMessage 16"}));
    EXPECT_EQ(scripted::callsStartingWith("PostQuitMessage"), Lines{"PostQuitMessage 0"});
    EXPECT_FALSE(scripted::scriptRanOut());
}

TEST_F(ShellTest, EscapeIsSeenAfterTheFrameWithNoSwapAndNoThrow) {
    scripted::pushIdle();
    scripted::pushMessage(WM_KEYDOWN, VK_RETURN);
    scripted::pushMessage(WM_KEYDOWN, VK_ESCAPE);
    scripted::pushIdle(3);
    const int code = runWinMain();
    // Escape is a normal end: status 0 although the last message's wParam is 27.
    EXPECT_EQ(code, 0);
    EXPECT_EQ(loopRecord(),
              (Lines{"updatePointer", "stepDice", "drawScene -1 rest", "SwapBuffers",  // shown
                     "DispatchMessage 256", "DispatchMessage 256",                     //
                     "updatePointer", "stepDice", "drawScene -1 rest"}));  // drawn, not shown
    EXPECT_EQ(game.throwCount, -1);
    EXPECT_FALSE(scripted::scriptRanOut());
}

TEST_F(ShellTest, EnterAndSpaceHeldThrowOncePerIdlePassWhenTheDiceRest) {
    scripted::pushMessage(WM_KEYDOWN, VK_RETURN);
    scripted::pushMessage(WM_KEYDOWN, VK_SPACE);
    scripted::pushIdle(12);
    scripted::pushMessage(WM_QUIT, 0);
    EXPECT_EQ(runWinMain(), 0);

    // Each frame's drawing shows the counter and the dice; a throw follows the swap of exactly
    // those passes whose dice rested.
    std::vector<int> counts;
    std::vector<bool> rested;
    for (const std::string& line : scripted::callsStartingWith("drawScene")) {
        counts.push_back(std::stoi(line.substr(10)));
        rested.push_back(line.ends_with(" rest"));
    }
    ASSERT_EQ(counts.size(), 12u);
    EXPECT_EQ(counts[0], -1);
    int throws = 0;
    for (std::size_t i = 1; i < counts.size(); ++i) {
        const int next = counts[i - 1] == 2 ? 0 : counts[i - 1] + 1;
        EXPECT_EQ(counts[i], rested[i - 1] ? next : counts[i - 1]) << "frame " << i;
        throws += rested[i - 1] ? 1 : 0;
    }
    EXPECT_GE(throws, 3);  // the dice bounce 2 to 4 frames
}

TEST_F(ShellTest, ThrowKeysCountOnlyAsHeldStates) {
    // The first throw of the run uses the held Space; later presses and releases made while the
    // dice bounce are not remembered.
    scripted::pushMessage(WM_KEYDOWN, VK_SPACE);
    scripted::pushIdle();  // throw 1: the dice fly for 2 to 4 frames
    scripted::pushMessage(WM_KEYUP, VK_SPACE);
    scripted::pushMessage(WM_KEYDOWN, VK_RETURN);
    scripted::pushIdle();
    scripted::pushMessage(WM_KEYUP, VK_RETURN);
    scripted::pushIdle(8);
    scripted::pushMessage(WM_QUIT, 0);
    EXPECT_EQ(runWinMain(), 0);
    EXPECT_EQ(game.throwCount, 0);  // a single throw: -1 -> 0
    EXPECT_TRUE(allDiceAtRest());
}

TEST_F(ShellTest, InactivePassesStillSwapAndTestTheKeys) {
    scripted::pushMessage(WM_ACTIVATE, WA_INACTIVE | WA_MINIMIZED_FLAG);
    scripted::pushIdle();
    scripted::pushMessage(WM_KEYDOWN, VK_SPACE);
    scripted::pushIdle();  // no frame, but a swap and a throw
    scripted::pushMessage(WM_KEYUP, VK_SPACE);
    scripted::pushMessage(WM_ACTIVATE, WA_INACTIVE);  // in the background, not minimised
    scripted::pushIdle();
    scripted::pushMessage(WM_ACTIVATE, WA_INACTIVE | WA_MINIMIZED_FLAG);
    scripted::pushMessage(WM_KEYDOWN, VK_ESCAPE);
    scripted::pushIdle(2);
    EXPECT_EQ(runWinMain(), 0);
    EXPECT_EQ(loopRecord(), (Lines{"DispatchMessage 6", "SwapBuffers", "DispatchMessage 256",
                                   "SwapBuffers", "DispatchMessage 257", "DispatchMessage 6",
                                   "updatePointer", "stepDice", "drawScene 0 flying", "SwapBuffers",
                                   "DispatchMessage 6", "DispatchMessage 256"}));
    EXPECT_EQ(game.throwCount, 0);
    EXPECT_FALSE(scripted::scriptRanOut());
}

TEST_F(ShellTest, EachFrameReadsTheCursorThenPutsItBackOnTheCentre) {
    scripted::setCursor(333, 229);
    EXPECT_TRUE(runFrame());
    EXPECT_EQ(frameRecording::lastCursor().x, 333);
    EXPECT_EQ(frameRecording::lastCursor().y, 229);
    EXPECT_EQ(scripted::cursorX(), 320);
    EXPECT_EQ(scripted::cursorY(), 240);
    EXPECT_EQ(scripted::calls(), (Lines{"updatePointer", "stepDice", "drawScene 0 rest"}));
}

TEST_F(ShellTest, ReleaseFailuresLeaveTheExitCodeAlone) {
    scripted::failCall(Call::DestroyWindow);
    scripted::pushMessage(WM_QUIT, 3);
    EXPECT_EQ(runWinMain(), 3);
    ASSERT_EQ(scripted::messageBoxes().size(), 2u);
    EXPECT_EQ(scripted::messageBoxes()[0].text, "Could Not Release hWnd.");
    // The class still has its window, so it cannot go either.
    EXPECT_EQ(scripted::messageBoxes()[1].text, "Could Not Unregister Class.");
}

TEST_F(ShellTest, CreationFailureShowsTheMessageAndEndsAtOnceWithStatusOne) {
    scripted::failCall(Call::WglCreateContext);
    scripted::pushIdle(3);
    EXPECT_EQ(runWinMain(), 1);
    ASSERT_EQ(scripted::messageBoxes().size(), 1u);
    const scripted::MessageBoxCall& box = scripted::messageBoxes()[0];
    EXPECT_FALSE(box.hasOwner);
    EXPECT_EQ(box.caption, "SHUTDOWN ERROR");
    EXPECT_EQ(box.text, "AHH... It blew up creating the window!");
    EXPECT_EQ(box.type, MB_OK | MB_ICONINFORMATION);
    // The desktop is back before the box; the loop never ran.
    const Lines& calls = scripted::calls();
    const auto restore = std::find(calls.begin(), calls.end(), "ChangeDisplaySettings restore");
    const auto shown = std::find_if(calls.begin(), calls.end(), [](const std::string& l) {
        return l.rfind("MessageBox", 0) == 0;
    });
    EXPECT_LT(restore, shown);
    EXPECT_TRUE(loopRecord().empty());
    EXPECT_FALSE(scripted::seen().displaySwitched);
}

// A mode the display does not list, and a listed mode whose switch then fails, end alike: the
// message, status 1, nothing switched and no window made.
TEST_F(ShellTest, ARefusedModeAndAFailedSwitchEndAlike) {
    for (const Call call : {Call::ChangeDisplaySettings, Call::DisplaySwitch}) {
        scripted::reset();
        scripted::failCall(call, 1);
        scripted::pushIdle(3);
        EXPECT_EQ(runWinMain(), 1);
        EXPECT_EQ(scripted::calls(),
                  (Lines{"RegisterClass OpenGL",
                         "ChangeDisplaySettings 1024x768 32 bits 75 Hz flags 4 failed",
                         "MessageBox SHUTDOWN ERROR: AHH... It blew up creating the window!"}));
        EXPECT_FALSE(scripted::seen().displaySwitched);
        EXPECT_FALSE(scripted::seen().createdWindow.has_value());
        EXPECT_EQ(scripted::seen().cursorDisplayCount, 0);
    }
}

TEST_F(ShellTest, SettingsFileChoosesTheModeAndRateZeroKeepsTheFrequencyField) {
    // 640x480, 16 bits, the display's default rate.
    const unsigned char bytes[13] = {1, 0, 0, 0, 0, 0, 0, 0, 0, 7, 0, 0, 0};
    std::FILE* f = std::fopen("KPX.cfg", "wb");
    ASSERT_NE(f, nullptr);
    std::fwrite(bytes, 1, sizeof bytes, f);
    std::fclose(f);
    ASSERT_TRUE(openGameWindow("Vantu", nullptr));
    const DevMode mode = scripted::seen().lastDisplayMode.value();
    EXPECT_EQ(mode.dmSize, 156);
    EXPECT_EQ(mode.dmFields, 0x5C0000u);
    EXPECT_EQ(mode.dmPelsWidth, 640u);
    EXPECT_EQ(mode.dmPelsHeight, 480u);
    EXPECT_EQ(mode.dmBitsPerPel, 16u);
    EXPECT_EQ(mode.dmDisplayFrequency, 0u);
    EXPECT_EQ(scripted::seen().chosenPixelFormat->cColorBits, 16);
    const scripted::CreateWindowCall& window = scripted::seen().createdWindow.value();
    EXPECT_EQ(window.width, 640);
    EXPECT_EQ(window.height, 480);
}

// ---- Window creation and release ----

TEST_F(ShellTest, CreationMakesEverythingInOrderWithTheRecordsOfTheDesign) {
    ASSERT_TRUE(createGameWindow("Vantu", nullptr, 800, 600, 16, 85));
    EXPECT_EQ(scripted::calls(), kCreation);
    EXPECT_TRUE(scripted::seen().displaySwitched);
    EXPECT_TRUE(scripted::seen().contextCurrent);
    EXPECT_EQ(scripted::seen().cursorDisplayCount, -1);
    EXPECT_EQ(getFocus(), shell.hWnd);
    EXPECT_EQ(shell.hInstance, getModuleHandle(nullptr));

    const WndClass& wc = scripted::seen().registeredClass.value();
    EXPECT_EQ(wc.style, 0x23u);
    EXPECT_EQ(wc.lpfnWndProc, &gameWindowProc);
    EXPECT_EQ(wc.cbClsExtra, 0);
    EXPECT_EQ(wc.cbWndExtra, 0);
    EXPECT_EQ(wc.hInstance, shell.hInstance);
    EXPECT_EQ(wc.hIcon, loadIcon(nullptr, IDI_WINLOGO));
    EXPECT_EQ(wc.hCursor, loadCursor(nullptr, IDC_ARROW));
    EXPECT_EQ(wc.hbrBackground, nullptr);
    EXPECT_EQ(wc.lpszMenuName, nullptr);
    EXPECT_STREQ(wc.lpszClassName, "OpenGL");

    const DevMode mode = scripted::seen().lastDisplayMode.value();
    EXPECT_EQ(mode.dmFields, DM_BITSPERPEL | DM_PELSWIDTH | DM_PELSHEIGHT | DM_DISPLAYFREQUENCY);
    EXPECT_EQ(mode.dmDisplayFrequency, 85u);

    const PixelFormatDescriptor& pfd = scripted::seen().chosenPixelFormat.value();
    PixelFormatDescriptor expected{};
    expected.nSize = 40;
    expected.nVersion = 1;
    expected.dwFlags = 0x25;
    expected.iPixelType = PFD_TYPE_RGBA;
    expected.cColorBits = 16;
    expected.cDepthBits = 16;
    expected.iLayerType = PFD_MAIN_PLANE;
    EXPECT_TRUE(samePixelFormat(pfd, expected));

    const scripted::CreateWindowCall& window = scripted::seen().createdWindow.value();
    EXPECT_EQ(window.exStyle, WS_EX_APPWINDOW);
    EXPECT_EQ(window.style, WS_POPUP | WS_CLIPSIBLINGS | WS_CLIPCHILDREN);
    EXPECT_EQ(window.x, 0);
    EXPECT_EQ(window.y, 0);
    EXPECT_EQ(window.width, 800);
    EXPECT_EQ(window.height, 600);
    EXPECT_FALSE(window.hasParent || window.hasMenu || window.hasParam);
    EXPECT_EQ(window.instance, shell.hInstance);

    destroyGameWindow();
    EXPECT_TRUE(std::equal(kRelease.begin(), kRelease.end(), scripted::calls().end() - 7));
    EXPECT_EQ(shell.hRC, nullptr);
    EXPECT_FALSE(scripted::seen().displaySwitched);
    EXPECT_EQ(scripted::seen().cursorDisplayCount, 0);
    EXPECT_TRUE(scripted::messageBoxes().empty());
}

struct CreationFailure {
    const char* name;
    Call call;
    bool textures;   // the texture loading fails instead of a call
    int madeBefore;  // lines of kCreation that ran before the failing one
    Lines released;  // what the release does then
};

void PrintTo(const CreationFailure& f, std::ostream* os) {
    *os << f.name;
}

class CreationFailureTest : public ShellTest,
                            public ::testing::WithParamInterface<CreationFailure> {};

TEST_P(CreationFailureTest, UndoesWhatWasMadeWithoutAMessage) {
    const CreationFailure& f = GetParam();
    if (f.textures) {
        renderRecording::setTexturesLoad(false);
    } else {
        scripted::failCall(f.call, 1);
    }
    EXPECT_FALSE(createGameWindow("Vantu", nullptr, 800, 600, 16, 85));

    Lines expected(kCreation.begin(), kCreation.begin() + f.madeBefore);
    expected.push_back(kCreation[static_cast<std::size_t>(f.madeBefore)] +
                       (f.textures ? "" : " failed"));
    expected.insert(expected.end(), f.released.begin(), f.released.end());
    EXPECT_EQ(scripted::calls(), expected);
    EXPECT_TRUE(scripted::messageBoxes().empty());
    EXPECT_FALSE(scripted::seen().displaySwitched);
    EXPECT_FALSE(scripted::seen().contextCurrent);
    EXPECT_EQ(shell.hRC, nullptr);
    // The cursor is visible again, or was never hidden.
    EXPECT_EQ(scripted::seen().cursorDisplayCount, 0);
    // Only a refused display mode leaves the class registered.
    EXPECT_EQ(scripted::seen().registeredClass.has_value(), f.call == Call::ChangeDisplaySettings);
}

const Lines kUndoWindow = {"ChangeDisplaySettings restore", "ShowCursor 1", "DestroyWindow",
                           "UnregisterClass OpenGL"};
const Lines kUndoDc = {"ChangeDisplaySettings restore", "ShowCursor 1", "ReleaseDC",
                       "DestroyWindow", "UnregisterClass OpenGL"};

INSTANTIATE_TEST_SUITE_P(
    EveryStep, CreationFailureTest,
    ::testing::Values(
        CreationFailure{"RegisterClass", Call::RegisterClass, false, 0, {}},
        CreationFailure{"ChangeDisplaySettings", Call::ChangeDisplaySettings, false, 1, {}},
        CreationFailure{
            "CreateWindowEx",
            Call::CreateWindowEx,
            false,
            4,
            {"ChangeDisplaySettings restore", "ShowCursor 1", "UnregisterClass OpenGL"}},
        CreationFailure{"GetDC", Call::GetDC, false, 5, kUndoWindow},
        CreationFailure{"ChoosePixelFormat", Call::ChoosePixelFormat, false, 6, kUndoDc},
        CreationFailure{"SetPixelFormat", Call::SetPixelFormat, false, 7, kUndoDc},
        CreationFailure{"wglCreateContext", Call::WglCreateContext, false, 8, kUndoDc},
        CreationFailure{"wglMakeCurrent", Call::WglMakeCurrent, false, 9, kRelease},
        CreationFailure{"textures", Call::SwapBuffers, true, 13, kRelease}),
    [](const ::testing::TestParamInfo<CreationFailure>& p) { return p.param.name; });

struct ReleaseFailure {
    const char* name;
    Call call;
    int occurrence;
    Lines messages;
};

void PrintTo(const ReleaseFailure& f, std::ostream* os) {
    *os << f.name;
}

class ReleaseFailureTest : public ShellTest,
                           public ::testing::WithParamInterface<ReleaseFailure> {};

TEST_P(ReleaseFailureTest, ReportsAndGoesOnWithTheNextStep) {
    const ReleaseFailure& f = GetParam();
    ASSERT_TRUE(createGameWindow("Vantu", nullptr, 800, 600, 32, 75));
    scripted::failCall(f.call, f.occurrence);
    destroyGameWindow();

    Lines texts;
    for (const scripted::MessageBoxCall& box : scripted::messageBoxes()) {
        EXPECT_EQ(box.caption, "SHUTDOWN ERROR");
        EXPECT_EQ(box.type, MB_OK | MB_ICONINFORMATION);
        EXPECT_FALSE(box.hasOwner);
        texts.push_back(box.text);
    }
    EXPECT_EQ(texts, f.messages);
    // Every release step still ran, the display first.
    Lines steps;
    for (const std::string& line : scripted::calls()) {
        if (line.rfind("MessageBox", 0) != 0) {
            steps.push_back(line.substr(0, line.rfind(" failed")));
        }
    }
    EXPECT_TRUE(std::equal(kRelease.begin(), kRelease.end(), steps.end() - 7));
    EXPECT_EQ(scripted::calls()[kCreation.size()], "ChangeDisplaySettings restore");
    EXPECT_EQ(shell.hRC, nullptr);
}

INSTANTIATE_TEST_SUITE_P(
    EveryStep, ReleaseFailureTest,
    ::testing::Values(
        ReleaseFailure{
            "MakeCurrentNone", Call::WglMakeCurrent, 2, {"Release Of DC And RC Failed."}},
        ReleaseFailure{
            "DeleteContext", Call::WglDeleteContext, 0, {"Release Rendering Context Failed."}},
        ReleaseFailure{"ReleaseDC", Call::ReleaseDC, 0, {"Release Device Context Failed."}},
        ReleaseFailure{"DestroyWindow",
                       Call::DestroyWindow,
                       0,
                       {"Could Not Release hWnd.", "Could Not Unregister Class."}},
        ReleaseFailure{
            "UnregisterClass", Call::UnregisterClass, 0, {"Could Not Unregister Class."}}),
    [](const ::testing::TestParamInfo<ReleaseFailure>& p) { return p.param.name; });

TEST_F(ShellTest, EveryReleaseStepFailingGivesFiveMessagesInOrder) {
    ASSERT_TRUE(createGameWindow("Vantu", nullptr, 800, 600, 32, 75));
    scripted::failCall(Call::WglMakeCurrent, 2);
    for (Call call :
         {Call::WglDeleteContext, Call::ReleaseDC, Call::DestroyWindow, Call::UnregisterClass}) {
        scripted::failCall(call);
    }
    destroyGameWindow();
    Lines texts;
    for (const scripted::MessageBoxCall& box : scripted::messageBoxes()) {
        texts.push_back(box.text);
    }
    EXPECT_EQ(texts, (Lines{"Release Of DC And RC Failed.", "Release Rendering Context Failed.",
                            "Release Device Context Failed.", "Could Not Release hWnd.",
                            "Could Not Unregister Class."}));
}

// ---- The window procedure ----

LRESULT send(std::uint32_t message, WPARAM wParam = 0, LPARAM lParam = 0) {
    return gameWindowProc(nullptr, message, wParam, lParam);
}

TEST_F(ShellTest, KeysEnterTheTableOnlyBelow256AndSystemKeysNever) {
    EXPECT_EQ(send(WM_KEYDOWN, 255), 0);
    EXPECT_EQ(shell.keyDown[255], 1);
    send(WM_KEYDOWN, 256);
    send(WM_KEYDOWN, 0x10000 + 'A');
    send(WM_KEYUP, 256 + 255);
    EXPECT_EQ(shell.keyDown[255], 1);
    EXPECT_EQ(shell.keyDown['A'], 0);
    EXPECT_EQ(send(WM_KEYUP, 255), 0);
    EXPECT_EQ(shell.keyDown[255], 0);

    send(WM_SYSKEYDOWN, 'A');
    send(WM_SYSKEYDOWN, VK_F10);
    send(WM_SYSKEYUP, 'A');
    EXPECT_EQ(shell.keyDown['A'], 0);
    EXPECT_EQ(shell.keyDown[VK_F10], 0);
    EXPECT_EQ(scripted::callsStartingWith("DefWindowProc"),
              (Lines{"DefWindowProc 260", "DefWindowProc 260", "DefWindowProc 261"}));
}

TEST_F(ShellTest, ScreenSaverAndMonitorPowerAreSwallowedOtherCommandsPassedOn) {
    EXPECT_EQ(send(WM_SYSCOMMAND, SC_SCREENSAVE), 0);
    EXPECT_EQ(send(WM_SYSCOMMAND, SC_MONITORPOWER, 2), 0);
    EXPECT_TRUE(scripted::callsStartingWith("DefWindowProc").empty());
    send(WM_SYSCOMMAND, 0xF060);  // SC_CLOSE
    send(15);                     // WM_PAINT
    EXPECT_EQ(scripted::callsStartingWith("DefWindowProc"),
              (Lines{"DefWindowProc 274", "DefWindowProc 15"}));
}

TEST_F(ShellTest, ActivationFollowsOnlyTheMinimisedState) {
    send(WM_ACTIVATE, WA_ACTIVE | WA_MINIMIZED_FLAG);
    EXPECT_FALSE(shell.isActive);
    send(WM_ACTIVATE, WA_INACTIVE);  // another window in front, not minimised
    EXPECT_TRUE(shell.isActive);
    send(WM_ACTIVATE, WA_INACTIVE | WA_MINIMIZED_FLAG);
    EXPECT_FALSE(shell.isActive);
    send(WM_ACTIVATE, WA_CLICKACTIVE);
    EXPECT_TRUE(shell.isActive);
}

TEST_F(ShellTest, CloseOnlyPostsTheQuitRequest) {
    ASSERT_TRUE(createGameWindow("Vantu", nullptr, 800, 600, 32, 75));
    EXPECT_EQ(send(WM_CLOSE), 0);
    EXPECT_EQ(scripted::callsStartingWith("PostQuitMessage"), Lines{"PostQuitMessage 0"});
    EXPECT_TRUE(scripted::callsStartingWith("DestroyWindow").empty());
    Msg msg{};
    ASSERT_TRUE(peekMessage(msg, nullptr, 0, 0, PM_REMOVE));
    EXPECT_EQ(msg.message, WM_QUIT);
    EXPECT_EQ(msg.wParam, 0u);
}

TEST_F(ShellTest, ButtonsThrowOrPickOnlyWhenTheDiceRest) {
    initGameState();
    game.dice[2].bouncesLeft = 1;  // one die still bouncing
    EXPECT_EQ(send(WM_LBUTTONDOWN, 0, 0x00100010), 0);
    EXPECT_EQ(send(WM_RBUTTONDOWN), 0);
    EXPECT_EQ(send(WM_MOUSEMOVE, 0, 0x00200020), 0);
    EXPECT_EQ(game.throwCount, -1);
    EXPECT_TRUE(scripted::callsStartingWith("handleLeftClick").empty());

    atRest();
    send(WM_LBUTTONDOWN);
    EXPECT_EQ(scripted::callsStartingWith("handleLeftClick").size(), 1u);
    send(WM_RBUTTONDOWN);
    EXPECT_EQ(game.throwCount, 0);
    EXPECT_FALSE(allDiceAtRest());
    EXPECT_TRUE(scripted::callsStartingWith("DefWindowProc").empty());
}

}  // namespace
