// vantu-bmpgen OUTDIR: draws the game's eleven pictures and writes them as 24-bit BMP files.
//
// The output is the same on every run and every x86-64 machine: only integer hashing and the
// basic arithmetic operations and square roots are used (no trigonometry, no random device).
// The pictures under data/ are this program's output; after changing a constant below, run
//   build/<preset>/tools/vantu-bmpgen data
// and commit the new files together with the change.
//
// How the game shows them, which the constants below are tuned for:
// - Die faces are lit at about 0.94 when facing up, and the face underneath (the opposite number)
//   is added on top at about 0.14, plus up to 0.94 of DieShader. The ivory is light enough for the
//   sum to saturate, so the pips of the face underneath hardly show through the one on top.
// - DieShader is the square shadow under each die (opaque, lit like the table) and the cube drawn
//   beneath each die, which shows through the pips: its soft rim is kept narrow so that the pips
//   near a face's corners stay dark.
// - Desk covers the table top (36 x 34 units, about 600 pixels) and is also stretched whole over
//   each 1-unit rim and 7-unit wall, so it has no fine detail across its rows.
// - The hand quad spans 30 x 30 units with the pointer's position at the picture's top-left
//   corner; the hand itself takes only the top-left sixth. HandCursor is black outside the hand
//   (it is added to the screen), HandCursor_mask white outside and black under it (the screen is
//   multiplied by it).
#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <functional>
#include <string>
#include <vector>

#include "bmp_file.h"

namespace {

// ---- adjustable constants -------------------------------------------------------------------

constexpr int kDieSize = 64;
constexpr int kShaderSize = 64;
constexpr int kDeskSize = 512;
constexpr int kTableSize = 128;
constexpr int kHandSize = 512;

struct Rgb {
    double r, g, b;
};

// Die faces, in face units (0 to 1 across the face).
constexpr Rgb kIvory{250, 246, 234};
constexpr Rgb kIvoryEdge{206, 196, 176};  // towards the rounded edges
constexpr double kEdgeWidth = 0.16;       // width of the darkening towards the edges
constexpr Rgb kPip{34, 27, 24};
constexpr Rgb kPipRim{92, 78, 66};  // the lower-right inner wall of a pip catches the light
constexpr Rgb kOnePip{150, 24, 28};
constexpr Rgb kOnePipRim{196, 74, 70};
constexpr double kPipRadius = 0.105;
constexpr double kOnePipRadius = 0.14;
constexpr double kPipOffset = 0.255;  // distance of the corner pips from the face's edges

// Shadow / die base.
constexpr Rgb kShadowCore{30, 24, 20};
constexpr Rgb kShadowEdge{132, 86, 50};
constexpr double kShadowCornerRadius = 0.22;

// Desk: warm wood with broad grain running along the rows.
constexpr Rgb kWoodLight{178, 118, 66};
constexpr Rgb kWoodDark{120, 70, 36};
constexpr Rgb kWoodLine{96, 54, 28};
constexpr double kGrainBands = 12.0;  // grain rings across the picture's height
constexpr double kGrainWarp = 1.6;    // how far the rings wander

// Table (loaded by the game but not drawn): green felt.
constexpr Rgb kFelt{38, 96, 54};

// Hand, in hand units (about texels of the 512 picture before kHandScale).
constexpr Rgb kSkin{242, 200, 164};
constexpr Rgb kSkinShade{212, 158, 122};
constexpr Rgb kOutline{50, 28, 18};
constexpr Rgb kCuff{236, 238, 242};
constexpr Rgb kCuffShade{184, 190, 204};
constexpr double kOutlineWidth = 3.0;
constexpr double kHandScale = 0.85;
// The finger's direction from the tip towards the wrist: down and a little to the right.
constexpr double kTiltX = 0.36;
constexpr double kTiltY = 1.0;
constexpr double kHandMargin = 1.0;  // texels between the picture's corner and the hand

// ---- pictures and files ---------------------------------------------------------------------

struct Picture {
    int width;
    int height;
    std::vector<Rgb> pixels;  // top row first

    Picture(int w, int h) : width(w), height(h), pixels(static_cast<std::size_t>(w) * h) {}
    Rgb& at(int x, int y) { return pixels[static_cast<std::size_t>(y) * width + x]; }
};

std::uint8_t toByte(double v) {
    return static_cast<std::uint8_t>(std::clamp(std::floor(v + 0.5), 0.0, 255.0));
}

// A BMP with the 14-byte file header and the 40-byte info header, 24 bits, bottom row first.
bool writeBmp(const std::string& path, Picture& p) {
    const std::vector<std::uint8_t> b = bmpfile::rgb24File(p.width, p.height, [&](int x, int row) {
        const Rgb& c = p.at(x, p.height - 1 - row);
        return bmpfile::Rgb{toByte(c.r), toByte(c.g), toByte(c.b)};
    });
    std::FILE* f = std::fopen(path.c_str(), "wb");
    if (f == nullptr) {
        return false;
    }
    const bool ok = std::fwrite(b.data(), 1, b.size(), f) == b.size();
    return std::fclose(f) == 0 && ok;
}

// ---- small maths ----------------------------------------------------------------------------

double clamp01(double v) {
    return std::clamp(v, 0.0, 1.0);
}

double smoothstep(double e0, double e1, double x) {
    const double t = clamp01((x - e0) / (e1 - e0));
    return t * t * (3 - 2 * t);
}

Rgb mix(const Rgb& a, const Rgb& b, double t) {
    return {a.r + (b.r - a.r) * t, a.g + (b.g - a.g) * t, a.b + (b.b - a.b) * t};
}

Rgb scale(const Rgb& a, double k) {
    return {a.r * k, a.g * k, a.b * k};
}

Rgb add(const Rgb& a, const Rgb& b) {
    return {a.r + b.r, a.g + b.g, a.b + b.b};
}

double length(double x, double y) {
    return std::sqrt(x * x + y * y);
}

// Signed distance to a box of half sizes (hx, hy) with corners rounded by r, centred on 0.
double roundBox(double x, double y, double hx, double hy, double r) {
    const double qx = std::abs(x) - hx + r;
    const double qy = std::abs(y) - hy + r;
    return length(std::max(qx, 0.0), std::max(qy, 0.0)) + std::min(std::max(qx, qy), 0.0) - r;
}

// Signed distance to a capsule from (ax, ay) to (bx, by) of radius r.
double capsule(double x, double y, double ax, double ay, double bx, double by, double r) {
    const double px = x - ax;
    const double py = y - ay;
    const double dx = bx - ax;
    const double dy = by - ay;
    const double h = clamp01((px * dx + py * dy) / (dx * dx + dy * dy));
    return length(px - dx * h, py - dy * h) - r;
}

// A value in [0, 1) from integer coordinates.
double hash01(std::int64_t x, std::int64_t y, std::uint32_t seed) {
    std::uint64_t h = static_cast<std::uint64_t>(x) * 0x9E3779B97F4A7C15ull ^
                      static_cast<std::uint64_t>(y) * 0xC2B2AE3D27D4EB4Full ^ seed;
    h ^= h >> 31;
    h *= 0xBF58476D1CE4E5B9ull;
    h ^= h >> 29;
    h *= 0x94D049BB133111EBull;
    h ^= h >> 32;
    return static_cast<double>(h >> 11) / 9007199254740992.0;
}

// Smooth value noise, tiling every `period` cells along x and y.
double valueNoise(double x, double y, int periodX, int periodY, std::uint32_t seed) {
    const double fx = std::floor(x);
    const double fy = std::floor(y);
    const double tx = smoothstep(0, 1, x - fx);
    const double ty = smoothstep(0, 1, y - fy);
    auto cell = [&](std::int64_t i, std::int64_t j) {
        return hash01(((i % periodX) + periodX) % periodX, ((j % periodY) + periodY) % periodY,
                      seed);
    };
    const auto ix = static_cast<std::int64_t>(fx);
    const auto iy = static_cast<std::int64_t>(fy);
    const double a = cell(ix, iy) + (cell(ix + 1, iy) - cell(ix, iy)) * tx;
    const double b = cell(ix, iy + 1) + (cell(ix + 1, iy + 1) - cell(ix, iy + 1)) * tx;
    return a + (b - a) * ty;
}

// Draws a picture by sampling `shade` on an n x n grid inside every pixel; shade takes the
// position in pixels (x right, y down from the top-left corner).
Picture render(int w, int h, int n, const std::function<Rgb(double, double)>& shade) {
    Picture p(w, h);
    for (int y = 0; y < h; ++y) {
        for (int x = 0; x < w; ++x) {
            Rgb sum{0, 0, 0};
            for (int j = 0; j < n; ++j) {
                for (int i = 0; i < n; ++i) {
                    sum = add(sum, shade(x + (i + 0.5) / n, y + (j + 0.5) / n));
                }
            }
            p.at(x, y) = scale(sum, 1.0 / (n * n));
        }
    }
    return p;
}

// ---- die faces ------------------------------------------------------------------------------

struct Pip {
    double u, v;
};

std::vector<Pip> pipsOf(int value) {
    const double a = kPipOffset;
    const double b = 1 - kPipOffset;
    const Pip c{0.5, 0.5};
    switch (value) {
        case 1:
            return {c};
        case 2:
            return {{a, a}, {b, b}};
        case 3:
            return {{a, a}, c, {b, b}};
        case 4:
            return {{a, a}, {b, a}, {a, b}, {b, b}};
        case 5:
            return {{a, a}, {b, a}, c, {a, b}, {b, b}};
        default:
            return {{a, a}, {b, a}, {a, 0.5}, {b, 0.5}, {a, b}, {b, b}};
    }
}

Picture dieFace(int value) {
    const std::vector<Pip> pips = pipsOf(value);
    const double radius = value == 1 ? kOnePipRadius : kPipRadius;
    const Rgb pip = value == 1 ? kOnePip : kPip;
    const Rgb pipRim = value == 1 ? kOnePipRim : kPipRim;
    return render(kDieSize, kDieSize, 4, [&](double x, double y) {
        const double u = x / kDieSize;
        const double v = y / kDieSize;
        // Ivory, darkening towards the rounded edges and most at the corners.
        const double edge = -roundBox(u - 0.5, v - 0.5, 0.5, 0.5, kEdgeWidth);
        Rgb c = mix(kIvoryEdge, kIvory, smoothstep(0, kEdgeWidth, edge));
        for (const Pip& p : pips) {
            const double du = u - p.u;
            const double dv = v - p.v;
            const double d = length(du, dv);
            if (d < radius) {
                // Dark hollow; its wall towards the lower right faces the light.
                const double towardsLight = clamp01((du + dv) / (2 * radius) + 0.5);
                const double wall = smoothstep(0.55, 1.0, d / radius);
                c = mix(pip, pipRim, wall * towardsLight);
            }
        }
        return c;
    });
}

// ---- shadow, desk, table --------------------------------------------------------------------

Picture dieShader() {
    return render(kShaderSize, kShaderSize, 4, [](double x, double y) {
        const double u = x / kShaderSize - 0.5;
        const double v = y / kShaderSize - 0.5;
        const double inside = -roundBox(u, v, 0.5, 0.5, kShadowCornerRadius);  // 0 at the rim
        return mix(kShadowEdge, kShadowCore, smoothstep(0, 0.14, inside));
    });
}

Picture desk() {
    return render(kDeskSize, kDeskSize, 2, [](double x, double y) {
        const double u = x / kDeskSize;
        const double v = y / kDeskSize;
        // Rings: bands along the rows, bent by slow noise that tiles with the picture.
        const double warp =
            valueNoise(u * 2, v * 3, 2, 3, 11) * 0.75 + valueNoise(u * 5, v * 4, 5, 4, 12) * 0.25;
        const double t = v * kGrainBands + warp * kGrainWarp;
        const double ring = t - std::floor(t);
        // Each ring: a soft darker band of late wood between lighter early wood.
        const double band = smoothstep(0.0, 0.3, ring) * (1 - smoothstep(0.45, 0.8, ring));
        Rgb c = mix(kWoodLight, kWoodDark, 0.75 * band);
        c = mix(c, kWoodLine,
                0.35 * smoothstep(0.25, 0.35, ring) * (1 - smoothstep(0.35, 0.45, ring)));
        // Fibres along the grain and a slow change of tone across the board.
        const double streak = valueNoise(u * 6, v * 150, 6, 150, 13);
        const double tone = valueNoise(u * 2, v * 2, 2, 2, 14);
        return scale(c, 0.9 + 0.12 * streak + 0.08 * tone);
    });
}

Picture table() {
    return render(kTableSize, kTableSize, 1, [](double x, double y) {
        const double n = valueNoise(x / 4, y / 4, kTableSize / 4, kTableSize / 4, 21);
        return scale(kFelt, 0.9 + 0.2 * n);
    });
}

// ---- hand -----------------------------------------------------------------------------------

// One part of the hand: its signed distance and how it is filled.
struct Part {
    std::function<double(double, double)> distance;
    Rgb fill;
    Rgb shade;
};

// The parts back to front, in hand units: the finger points up from its tip at (0, 0).
std::vector<Part> handParts() {
    auto cap = [](double ax, double ay, double bx, double by, double r) {
        return [=](double x, double y) { return capsule(x, y, ax, ay, bx, by, r); };
    };
    auto box = [](double cx, double cy, double hx, double hy, double r) {
        return [=](double x, double y) { return roundBox(x - cx, y - cy, hx, hy, r); };
    };
    return {
        {box(18, 104, 26, 9, 4), kCuff, kCuffShade},    // cuff
        {cap(17, 48, 17, 66, 8), kSkin, kSkinShade},    // middle finger, curled behind
        {cap(30, 50, 30, 68, 7.5), kSkin, kSkinShade},  // ring finger, curled behind
        {cap(41, 54, 41, 70, 6.5), kSkin, kSkinShade},  // little finger, curled behind
        {box(19, 80, 27, 22, 12), kSkin, kSkinShade},   // back of the hand
        {cap(0, 10, 0, 66, 10), kSkin, kSkinShade},     // index finger
        {cap(-11, 70, 2, 86, 8), kSkin, kSkinShade},    // thumb
    };
}

// Colour and coverage of the hand at a point of the picture (texels), premultiplied.
struct HandSample {
    Rgb colour;
    double coverage;
};

class Hand {
  public:
    Hand() : parts_(handParts()) {
        const double len = length(kTiltX, kTiltY);
        axisX_ = kTiltX / len;  // hand units' "down" in the picture
        axisY_ = kTiltY / len;
        // Place the hand so that it just fits below and right of the corner.
        double minX = 1e9;
        double minY = 1e9;
        // A grid of quarter units, -200..200 on both axes.
        for (int row = -800; row < 800; ++row) {
            const double y = row * 0.25;
            for (int column = -800; column < 800; ++column) {
                const double x = column * 0.25;
                if (distance(x, y) < 0) {
                    minX = std::min(minX, x);
                    minY = std::min(minY, y);
                }
            }
        }
        offsetX_ = kHandMargin - minX;
        offsetY_ = kHandMargin - minY;
    }

    HandSample sample(double px, double py) const {
        const double x = px - offsetX_;
        const double y = py - offsetY_;
        double hx = 0;
        double hy = 0;
        toHand(x, y, hx, hy);
        HandSample s{{0, 0, 0}, 0};
        for (const Part& part : parts_) {
            const double d = part.distance(hx, hy) * kHandScale;
            if (d >= 0) {
                continue;
            }
            // Filled parts are lit from the upper left and shaded towards their rims.
            const double rim = smoothstep(0, 7, -d);
            Rgb c = mix(part.shade, part.fill, 0.35 + 0.65 * rim);
            if (-d < kOutlineWidth) {
                c = kOutline;
            }
            s = {c, 1};
        }
        return s;
    }

  private:
    // Picture position (relative to the placed hand) to hand units, undoing the scale and tilt.
    void toHand(double x, double y, double& hx, double& hy) const {
        x /= kHandScale;
        y /= kHandScale;
        hx = x * axisY_ - y * axisX_;
        hy = x * axisX_ + y * axisY_;
    }
    double distance(double x, double y) const {
        double hx = 0;
        double hy = 0;
        toHand(x, y, hx, hy);
        double d = 1e9;
        for (const Part& part : parts_) {
            d = std::min(d, part.distance(hx, hy));
        }
        return d * kHandScale;
    }

    std::vector<Part> parts_;
    double axisX_ = 0;
    double axisY_ = 1;
    double offsetX_ = 0;
    double offsetY_ = 0;
};

Picture handPicture(const Hand& hand, bool mask) {
    return render(kHandSize, kHandSize, 4, [&](double x, double y) {
        if (x > kHandSize / 3.0 || y > kHandSize / 3.0) {
            return mask ? Rgb{255, 255, 255} : Rgb{0, 0, 0};
        }
        const HandSample s = hand.sample(x, y);
        if (mask) {
            return s.coverage > 0 ? Rgb{0, 0, 0} : Rgb{255, 255, 255};
        }
        return s.coverage > 0 ? s.colour : Rgb{0, 0, 0};
    });
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: vantu-bmpgen OUTDIR\n");
        return 2;
    }
    const std::string dir = argv[1];
    struct Output {
        const char* name;
        std::function<Picture()> draw;
    };
    const Hand hand;
    const Output outputs[] = {
        {"Die1.bmp", [] { return dieFace(1); }},
        {"Die2.bmp", [] { return dieFace(2); }},
        {"Die3.bmp", [] { return dieFace(3); }},
        {"Die4.bmp", [] { return dieFace(4); }},
        {"Die5.bmp", [] { return dieFace(5); }},
        {"Die6.bmp", [] { return dieFace(6); }},
        {"Desk.bmp", desk},
        {"DieShader.bmp", dieShader},
        {"Table.bmp", table},
        {"HandCursor.bmp", [&] { return handPicture(hand, false); }},
        {"HandCursor_mask.bmp", [&] { return handPicture(hand, true); }},
    };
    for (const Output& o : outputs) {
        Picture p = o.draw();
        const std::string path = dir + "/" + o.name;
        if (!writeBmp(path, p)) {
            std::fprintf(stderr, "vantu-bmpgen: cannot write %s\n", path.c_str());
            return 1;
        }
    }
    return 0;
}
