// Start-up, the main loop and the frame.
#include <cstdint>
#include <ctime>

#include "dice_model.h"
#include "hand_and_view.h"
#include "motion.h"
#include "platform.h"
#include "random.h"
#include "scene.h"
#include "settings.h"
#include "shell.h"

bool runFrame() {
    // The pointer's motion since the last frame: the cursor as it lies now (a cursor that cannot
    // be read stays on the centre), then back where the pointer step wants it.
    ScreenPoint cursor = kPointerCentre;
    getCursorPos(cursor.x, cursor.y);
    const ScreenPoint back = updatePointer(cursor);
    setCursorPos(back.x, back.y);
    stepDice();
    drawScene();
#ifdef VANTU_GL_CHECKS
    reportGlErrors("a frame");
#endif
    // As designed: a frame never fails, though the main loop would end the game if one did.
    return true;
}

bool openGameWindow(const char* title, ModuleHandle hInstance) {
    const DisplayMode mode = readDisplayMode();
    if (createGameWindow(title, hInstance, mode.width, mode.height, mode.bitsPerPixel,
                         mode.refreshHz)) {
        return true;
    }
    messageBox(nullptr, "AHH... It blew up creating the window!", "SHUTDOWN ERROR",
               MB_OK | MB_ICONINFORMATION);
    return false;
}

int WinMain(ModuleHandle hInstance, ModuleHandle /*hPrevInstance*/, const char* /*commandLine*/,
            int /*showCommand*/) {
    seedRand15(static_cast<std::uint32_t>(std::time(nullptr)));
    initGameState();
    if (!openGameWindow("Vantu", hInstance)) {
        // The loop cannot run without its window: end at once.
        return 1;
    }

    Msg msg{};
    bool done = false;
    bool escaped = false;
    while (!done) {
        if (peekMessage(msg, nullptr, 0, 0, PM_REMOVE)) {
            if (msg.message == WM_QUIT) {
                done = true;
            } else {
                translateMessage(msg);
                dispatchMessage(msg);
            }
            continue;
        }
        if (shell.isActive && !runFrame()) {
            done = true;
            continue;
        }
        // Seen after the frame was drawn and before it is shown.
        if (shell.keyDown[VK_ESCAPE]) {
            done = true;
            escaped = true;
            continue;
        }
        // As designed: also while minimised, when no new frame was drawn.
        swapBuffers(shell.hDC);
        if ((shell.keyDown[VK_RETURN] || shell.keyDown[VK_SPACE]) && allDiceAtRest()) {
            throwDice();
        }
    }
    destroyGameWindow();
    // Escape is a normal end: status 0, not the key's code from the last message.
    return escaped ? 0 : static_cast<int>(msg.wParam);
}
