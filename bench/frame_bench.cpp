// Frames per second of the game's whole frame (pointer, dice, drawing, swap) drawn offscreen with
// llvmpipe, beside a frame that only clears and swaps: the floor of the machine and driver.
// A pbuffer's swap shows nothing, and llvmpipe clears lazily, so both frames end the way a window's
// swap does with this driver: the finished picture is copied out of the frame buffer.
//
//   vantu-frame-bench [--benchmark_filter=...]     run from the repository root (for data/)
#include <GL/gl.h>
#include <benchmark/benchmark.h>

#include <cstdint>
#include <vector>

#include "dice_model.h"
#include "game_view.h"
#include "offscreen.h"
#include "platform_scripted.h"
#include "random.h"

namespace {

bool makeContext(benchmark::State& state, offscreen::Context& context) {
    const int width = static_cast<int>(state.range(0));
    const int height = static_cast<int>(state.range(1));
    if (!context.create(width, height)) {
        state.SkipWithError(context.error().c_str());
        return false;
    }
    if (!setUpGameView(width, height)) {
        state.SkipWithError("the pictures under data/ did not load");
        return false;
    }
    return true;
}

// The swap of a window on llvmpipe: the frame is finished and copied out to the screen.
void present(const offscreen::Context& context, std::vector<std::uint8_t>& screen) {
    context.swap();
    glPixelStorei(GL_PACK_ALIGNMENT, 1);
    glReadPixels(0, 0, context.width(), context.height(), GL_RGB, GL_UNSIGNED_BYTE, screen.data());
}

void reportFramesPerSecond(benchmark::State& state) {
    state.counters["fps"] =
        benchmark::Counter(static_cast<double>(state.iterations()), benchmark::Counter::kIsRate);
}

// Only clear and swap.
void clearAndSwap(benchmark::State& state) {
    offscreen::Context context;
    if (!makeContext(state, context)) {
        return;
    }
    std::vector<std::uint8_t> screen(static_cast<std::size_t>(context.width()) *
                                     static_cast<std::size_t>(context.height()) * 3);
    for (auto _ : state) {
        glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
        present(context, screen);
    }
    reportFramesPerSecond(state);
}

// The game's frame after the intro, the dice thrown again whenever all of them rest, so flight,
// landing and rest frames all take their share.
void fullFrame(benchmark::State& state) {
    offscreen::Context context;
    if (!makeContext(state, context)) {
        return;
    }
    scripted::reset();
    scripted::setCursor(320, 240);
    seedRand15(1);
    initGameState();
    std::vector<std::uint8_t> screen(static_cast<std::size_t>(context.width()) *
                                     static_cast<std::size_t>(context.height()) * 3);
    // Past the intro and through one throw, so that every drawing state has been used once.
    for (int i = 0; i < 400; ++i) {
        if (i == 250) {
            throwDice();
        }
        gameFrame();
        present(context, screen);
    }
    for (auto _ : state) {
        if (allDiceAtRest()) {
            throwDice();
        }
        gameFrame();
        present(context, screen);
    }
    reportFramesPerSecond(state);
}

}  // namespace

BENCHMARK(clearAndSwap)
    ->Args({1024, 768})
    ->Args({1600, 1200})
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime();
BENCHMARK(fullFrame)
    ->Args({1024, 768})
    ->Args({1600, 1200})
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime();

BENCHMARK_MAIN();
