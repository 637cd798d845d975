// Frames per second of the game's whole frame (pointer, dice, drawing, swap) drawn offscreen with
// llvmpipe, beside a frame that only clears and swaps: the floor of the machine and driver.
// Both end with glFinish, so the time counts the drawing itself and not only its queueing.
//
//   vantu-frame-bench [--benchmark_filter=...]     run from the repository root (for data/)
#include <GL/gl.h>
#include <benchmark/benchmark.h>

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
    for (auto _ : state) {
        glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
        context.swap();
        glFinish();
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
    for (int i = 0; i < 151; ++i) {
        gameFrame();
    }
    for (auto _ : state) {
        if (allDiceAtRest()) {
            throwDice();
        }
        gameFrame();
        context.swap();
        glFinish();
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
