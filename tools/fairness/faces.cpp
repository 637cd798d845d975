#include "faces.h"

#include <cmath>

namespace {

// Rows: angleX 0, 90, 180, 270; columns: angleY 0, 90, 180, 270 (after reduction to 0..359).
constexpr int kUpFace[4][4] = {
    {1, 4, 6, 3},
    {5, 5, 5, 5},
    {6, 3, 1, 4},
    {2, 2, 2, 2},
};

// The quarter turn 0..3 of an angle, or -1 when it is not a multiple of 90.
int quarterTurn(double angle) {
    double reduced = std::fmod(angle, 360.0);
    if (reduced < 0) {
        reduced += 360.0;
    }
    const double quarters = reduced / 90.0;
    if (quarters != std::floor(quarters) || quarters >= 4) {
        return -1;
    }
    return static_cast<int>(quarters);
}

}  // namespace

int upFace(double angleX, double angleY) {
    const int row = quarterTurn(angleX);
    const int column = quarterTurn(angleY);
    if (row < 0 || column < 0) {
        return 0;
    }
    return kUpFace[row][column];
}
