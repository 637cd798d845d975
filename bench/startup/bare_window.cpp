// The least an SDL2 program does to show one OpenGL frame full screen in a display mode: the
// floor the game's start-up is measured against. It switches to the mode the way the game does
// (hidden window at (0, 0), exact mode from the display's list, full screen, shown), clears to
// grey and swaps, once a refresh period, until Escape, a close request or SIGTERM.
//
//   vantu-bare-window [WIDTHxHEIGHT@RATE]     default 1024x768@75, the game's default mode
#include <GL/gl.h>
#include <SDL.h>

#include <cstdio>

namespace {

bool findMode(int width, int height, int rate, SDL_DisplayMode& found) {
    const int count = SDL_GetNumDisplayModes(0);
    for (int i = 0; i < count; ++i) {
        SDL_DisplayMode m{};
        if (SDL_GetDisplayMode(0, i, &m) == 0 && m.w == width && m.h == height &&
            m.refresh_rate == rate) {
            found = m;
            return true;
        }
    }
    return false;
}

void draw(SDL_Window* window) {
    glClearColor(0.5f, 0.5f, 0.5f, 1.0f);
    glClear(GL_COLOR_BUFFER_BIT);
    SDL_GL_SwapWindow(window);
}

}  // namespace

int main(int argc, char** argv) {
    int width = 1024;
    int height = 768;
    int rate = 75;
    if (argc > 1 && (std::sscanf(argv[1], "%dx%d@%d", &width, &height, &rate) != 3 || rate <= 0)) {
        std::fprintf(stderr, "usage: %s [WIDTHxHEIGHT@RATE]\n", argv[0]);
        return 2;
    }
    SDL_SetHint(SDL_HINT_VIDEO_MINIMIZE_ON_FOCUS_LOSS, "0");
    if (SDL_Init(SDL_INIT_VIDEO) != 0) {
        std::fprintf(stderr, "no display: %s\n", SDL_GetError());
        return 1;
    }
    SDL_DisplayMode mode{};
    if (!findMode(width, height, rate, mode)) {
        std::fprintf(stderr, "the display has no mode %dx%d@%d\n", width, height, rate);
        SDL_Quit();
        return 1;
    }
    SDL_GL_SetAttribute(SDL_GL_RED_SIZE, 8);
    SDL_GL_SetAttribute(SDL_GL_GREEN_SIZE, 8);
    SDL_GL_SetAttribute(SDL_GL_BLUE_SIZE, 8);
    SDL_GL_SetAttribute(SDL_GL_DEPTH_SIZE, 16);
    SDL_GL_SetAttribute(SDL_GL_DOUBLEBUFFER, 1);
    // The game's order: hidden window, mode and full screen, context, then shown.
    SDL_Window* window = SDL_CreateWindow(
        "bare", 0, 0, width, height, SDL_WINDOW_OPENGL | SDL_WINDOW_HIDDEN | SDL_WINDOW_BORDERLESS);
    if (window != nullptr) {
        SDL_SetWindowDisplayMode(window, &mode);
        SDL_SetWindowFullscreen(window, SDL_WINDOW_FULLSCREEN);
    }
    SDL_GLContext context = window != nullptr ? SDL_GL_CreateContext(window) : nullptr;
    if (context == nullptr) {
        std::fprintf(stderr, "no OpenGL window: %s\n", SDL_GetError());
        SDL_Quit();
        return 1;
    }
    SDL_ShowWindow(window);

    for (bool running = true; running;) {
        SDL_Event event;
        while (SDL_PollEvent(&event) != 0) {
            if (event.type == SDL_QUIT ||
                (event.type == SDL_KEYDOWN && event.key.keysym.sym == SDLK_ESCAPE)) {
                running = false;
            }
        }
        draw(window);
        SDL_Delay(static_cast<Uint32>(1000 / rate));
    }
    SDL_GL_DeleteContext(context);
    SDL_DestroyWindow(window);
    SDL_Quit();
    return 0;
}
