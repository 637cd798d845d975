// Decoding 1024 x 1024 pictures from memory: the game's reader against SDL2's SDL_LoadBMP_RW
// followed by a conversion to RGB24, on the same bytes.
#include <SDL.h>
#include <benchmark/benchmark.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <vector>

#include "bmp_file.h"
#include "dib.h"

namespace {

constexpr int kSide = 1024;

// A kSide x kSide BMP of 24 or 8 bits (with a 256-entry colour table) with varied pixels.
std::vector<std::uint8_t> makeBitmap(int bits) {
    bmpfile::Bmp bmp;
    bmp.width = kSide;
    bmp.height = kSide;
    bmp.bitCount = static_cast<std::uint16_t>(bits);
    bmp.imageSize = bmpfile::rowStride(kSide, bits) * kSide;
    if (bits == 8) {
        bmp.colorsUsed = 256;
        for (std::uint32_t i = 0; i < 256; ++i) {
            bmp.table.insert(bmp.table.end(),
                             {static_cast<std::uint8_t>(i * 7), static_cast<std::uint8_t>(255 - i),
                              static_cast<std::uint8_t>(i * 3), 0});
        }
    }
    std::uint32_t seed = 12345;
    for (std::uint32_t i = 0; i < bmp.imageSize; ++i) {
        seed = seed * 1664525u + 1013904223u;
        bmp.data.push_back(static_cast<std::uint8_t>(seed >> 24));
    }
    return bmp.bytes();
}

const std::vector<std::uint8_t>& bitmap(int bits) {
    static const std::vector<std::uint8_t> b24 = makeBitmap(24);
    static const std::vector<std::uint8_t> b8 = makeBitmap(8);
    return bits == 24 ? b24 : b8;
}

SDL_Surface* sdlDecode(const std::vector<std::uint8_t>& bytes) {
    SDL_RWops* rw = SDL_RWFromConstMem(bytes.data(), static_cast<int>(bytes.size()));
    SDL_Surface* loaded = SDL_LoadBMP_RW(rw, 1);
    if (loaded == nullptr) {
        return nullptr;
    }
    SDL_Surface* rgb = SDL_ConvertSurfaceFormat(loaded, SDL_PIXELFORMAT_RGB24, 0);
    SDL_FreeSurface(loaded);
    return rgb;
}

// Both decoders give the same pixels (SDL's rows run top-down, ours bottom-up).
bool sameResult(int bits) {
    const std::vector<std::uint8_t>& bytes = bitmap(bits);
    const DibResult ours = decodeDib(bytes);
    SDL_Surface* theirs = sdlDecode(bytes);
    bool same = ours.image != nullptr && theirs != nullptr;
    for (int y = 0; same && y < kSide; ++y) {
        const auto* sdlRow = static_cast<const std::uint8_t*>(theirs->pixels) +
                             static_cast<std::size_t>(kSide - 1 - y) * theirs->pitch;
        same = std::memcmp(ours.image->pixels + static_cast<std::size_t>(y) * kSide * 3, sdlRow,
                           kSide * 3) == 0;
    }
    freeRgbImage(ours.image);
    SDL_FreeSurface(theirs);
    return same;
}

void vantuDecode(benchmark::State& state, int bits) {
    const std::vector<std::uint8_t>& bytes = bitmap(bits);
    for (auto _ : state) {
        const DibResult r = decodeDib(bytes);
        benchmark::DoNotOptimize(r.image->pixels);
        freeRgbImage(r.image);
    }
    state.SetItemsProcessed(state.iterations() * kSide * kSide);
}

void sdlLoadAndConvert(benchmark::State& state, int bits) {
    const std::vector<std::uint8_t>& bytes = bitmap(bits);
    for (auto _ : state) {
        SDL_Surface* s = sdlDecode(bytes);
        benchmark::DoNotOptimize(s->pixels);
        SDL_FreeSurface(s);
    }
    state.SetItemsProcessed(state.iterations() * kSide * kSide);
}

BENCHMARK_CAPTURE(vantuDecode, rgb24_1024, 24)->Unit(benchmark::kMicrosecond);
BENCHMARK_CAPTURE(sdlLoadAndConvert, rgb24_1024, 24)->Unit(benchmark::kMicrosecond);
BENCHMARK_CAPTURE(vantuDecode, pal8_1024, 8)->Unit(benchmark::kMicrosecond);
BENCHMARK_CAPTURE(sdlLoadAndConvert, pal8_1024, 8)->Unit(benchmark::kMicrosecond);

}  // namespace

int main(int argc, char** argv) {
    for (int bits : {24, 8}) {
        if (!sameResult(bits)) {
            std::fprintf(stderr, "the two decoders disagree on the %d-bit picture\n", bits);
            return 1;
        }
    }
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv)) {
        return 1;
    }
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
