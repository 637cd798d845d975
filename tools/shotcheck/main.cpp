// vantu-shotcheck: checks a screenshot of the game against the state that vantu-dicetrace printed
// for the same seed and input: every die must show where the simulation puts it (on the table, or
// at its home place in the holding area when picked), and every home place without a picked die
// must be empty. With --hand it checks only that the hand's finger is where the simulation has
// the hand.
//
//   vantu-dicetrace < script | vantu-shotcheck SHOT.png [--hand]
//
// Prints one line per check; exits 0 when all pass, 1 when one fails, 2 on bad input.
#include <algorithm>
#include <cmath>
#include <cstdio>
#include <iostream>
#include <map>
#include <sstream>
#include <string>

#include "dice_model.h"
#include "offscreen.h"
#include "screen_projection.h"

namespace {

// The state as vantu-dicetrace printed it; value-initialised, all zero.
struct Seen {
    float viewYaw;
    float viewPitch;
    double handX;
    double handY;
    double handLift;
    int dice;  // the dice read so far
    struct Die {
        int marked;
        double x, y, z;
    } die[kDiceCount];
};

// "key=value" words of one printed line.
std::map<std::string, std::string> fields(const std::string& line) {
    std::map<std::string, std::string> result;
    std::istringstream in(line);
    for (std::string word; in >> word;) {
        const std::size_t eq = word.find('=');
        if (eq != std::string::npos) {
            result[word.substr(0, eq)] = word.substr(eq + 1);
        }
    }
    return result;
}

// Reads the last printed state.
bool readState(std::istream& in, Seen& seen) {
    bool haveState = false;
    for (std::string line; std::getline(in, line);) {
        auto f = fields(line);
        if (line.rfind("state ", 0) == 0) {
            seen = Seen{};
            seen.viewYaw = std::stof(f.at("viewYaw"));
            seen.viewPitch = std::stof(f.at("viewPitch"));
            seen.handX = std::stod(f.at("handX"));
            seen.handY = std::stod(f.at("handY"));
            seen.handLift = std::stod(f.at("handLift"));
            haveState = true;
        } else if (line.rfind("die ", 0) == 0 && haveState) {
            const int i = std::stoi(line.substr(4));
            if (i < 0 || i >= kDiceCount) {
                return false;
            }
            seen.die[i] = {std::stoi(f.at("marked")), std::stod(f.at("x")), std::stod(f.at("y")),
                           std::stod(f.at("z"))};
            ++seen.dice;
        }
    }
    return haveState && seen.dice == kDiceCount;
}

// A pixel of a die's body: light and hardly coloured.
bool isDieBody(const std::uint8_t* p) {
    const int lo = std::min({int{p[0]}, int{p[1]}, int{p[2]}});
    const int hi = std::max({int{p[0]}, int{p[1]}, int{p[2]}});
    return lo >= 140 && hi - lo <= 70;
}

// A pixel of the hand's skin: the hand is drawn unlit, so its light warm colour is brighter in
// green than any part of the lit desk, and redder than the dice.
bool isSkin(const std::uint8_t* p) {
    return p[0] >= 200 && p[1] >= 140 && p[0] - p[2] >= 30;
}

// The share of pixels for which `is` holds in the square of half side `half` about (x, y),
// `h` above the table plane.
double share(const offscreen::Image& shot, const ScreenProjection& view, double x, double y,
             double half, double h, bool (*is)(const std::uint8_t*)) {
    const ScreenPixel a = view.pixel(x - half, y + half, h);
    const ScreenPixel b = view.pixel(x + half, y - half, h);
    int hits = 0;
    int all = 0;
    for (int py = static_cast<int>(std::ceil(std::min(a.y, b.y)));
         py <= static_cast<int>(std::floor(std::max(a.y, b.y))); ++py) {
        for (int px = static_cast<int>(std::ceil(std::min(a.x, b.x)));
             px <= static_cast<int>(std::floor(std::max(a.x, b.x))); ++px) {
            if (px < 0 || py < 0 || px >= shot.width || py >= shot.height) {
                continue;
            }
            ++all;
            hits += is(shot.at(px, py)) ? 1 : 0;
        }
    }
    return all == 0 ? 0.0 : static_cast<double>(hits) / all;
}

// The share of die-body pixels in the middle of a resting die's top face at (x, y).
double dieShare(const offscreen::Image& shot, const ScreenProjection& view, double x, double y) {
    return share(shot, view, x, y, 0.6, 2.0, isDieBody);
}

// The hand's finger: it runs down from the hand's position, the picture's top-left corner, and a
// little to the right. The hand is drawn with the view's lean taken back (only a rotation of the
// order of yaw x pitch is left), so it is seen unleaned.
bool handInPlace(const offscreen::Image& shot, const Seen& seen) {
    const ScreenProjection unleaned{shot.width, shot.height};
    const double x = seen.handX + seen.handLift + 0.75;
    const double y = seen.handY - seen.handLift - 1.4;
    const double skin = share(shot, unleaned, x, y, 0.15, 0.0, isSkin);
    const bool pass = skin >= 0.6;
    std::printf("%s hand at (%.2f, %.2f): %.0f%% skin along the finger\n", pass ? "ok  " : "FAIL",
                seen.handX, seen.handY, skin * 100);
    return pass;
}

}  // namespace

int main(int argc, char** argv) {
    const bool handOnly = argc == 3 && std::string(argv[2]) == "--hand";
    if (argc != 2 && !handOnly) {
        std::fprintf(stderr,
                     "usage: vantu-dicetrace < script | vantu-shotcheck SHOT.png [--hand]\n");
        return 2;
    }
    offscreen::Image shot;
    if (!offscreen::readPng(argv[1], shot)) {
        std::fprintf(stderr, "vantu-shotcheck: cannot read %s\n", argv[1]);
        return 2;
    }
    Seen seen{};
    try {
        if (!readState(std::cin, seen)) {
            std::fprintf(stderr, "vantu-shotcheck: no complete state on standard input\n");
            return 2;
        }
    } catch (const std::exception&) {
        std::fprintf(stderr, "vantu-shotcheck: unreadable state on standard input\n");
        return 2;
    }
    if (handOnly) {
        return handInPlace(shot, seen) ? 0 : 1;
    }
    const ScreenProjection view{shot.width, shot.height, seen.viewYaw, seen.viewPitch};
    bool ok = true;
    bool homeTaken[kDiceCount] = {};
    for (int i = 0; i < kDiceCount; ++i) {
        const Seen::Die& d = seen.die[i];
        const bool held = d.marked == 1;
        const double x = held ? kHomePositions[static_cast<std::size_t>(i)].x : d.x;
        const double y = held ? kHomePositions[static_cast<std::size_t>(i)].y : d.y;
        homeTaken[i] = held;
        const double share = dieShare(shot, view, x, y);
        const bool pass = share >= 0.25;
        ok = ok && pass;
        std::printf("%s die %d %s at (%.2f, %.2f): %.0f%% die body\n", pass ? "ok  " : "FAIL", i,
                    held ? "held" : "on the table", x, y, share * 100);
    }
    for (int i = 0; i < kDiceCount; ++i) {
        if (homeTaken[i]) {
            continue;
        }
        const HomePosition home = kHomePositions[static_cast<std::size_t>(i)];
        const double share = dieShare(shot, view, home.x, home.y);
        const bool pass = share <= 0.05;
        ok = ok && pass;
        std::printf("%s home place %d empty: %.0f%% die body\n", pass ? "ok  " : "FAIL", i,
                    share * 100);
    }
    return ok ? 0 : 1;
}
