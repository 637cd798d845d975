#include <gtest/gtest.h>

#include <cmath>

#include "dice_model.h"
#include "faces.h"

namespace {

// The die-frame direction that the drawing's Rx(angleX) * Ry(angleY) turns onto +z, as the
// index of the face in faceTexture order (+z, +y, -z, -y, +x, -x).
int faceTurnedUp(int quarterX, int quarterY) {
    const double pi = 3.14159265358979323846;
    const double ax = -quarterX * pi / 2;
    const double ay = -quarterY * pi / 2;
    // n = Ry(-angleY) * Rx(-angleX) * (0, 0, 1)
    const double y1 = -std::sin(ax);
    const double z1 = std::cos(ax);
    const double x2 = z1 * std::sin(ay);
    const double y2 = y1;
    const double z2 = z1 * std::cos(ay);
    const double axes[6][3] = {{0, 0, 1}, {0, 1, 0}, {0, 0, -1}, {0, -1, 0}, {1, 0, 0}, {-1, 0, 0}};
    for (int k = 0; k < 6; ++k) {
        if (std::fabs(x2 - axes[k][0]) < 1e-9 && std::fabs(y2 - axes[k][1]) < 1e-9 &&
            std::fabs(z2 - axes[k][2]) < 1e-9) {
            return k;
        }
    }
    return -1;
}

TEST(UpFace, TableAgreesWithTheDrawnOrientation) {
    for (int qx = 0; qx < 4; ++qx) {
        for (int qy = 0; qy < 4; ++qy) {
            const int k = faceTurnedUp(qx, qy);
            ASSERT_GE(k, 0);
            EXPECT_EQ(upFace(90.0 * qx, 90.0 * qy), kFaceTextures[k] + 1)
                << "angleX " << 90 * qx << " angleY " << 90 * qy;
        }
    }
}

TEST(UpFace, AnglesAreReducedWhateverTheirSign) {
    EXPECT_EQ(upFace(-90, 0), upFace(270, 0));
    EXPECT_EQ(upFace(-990, 45 * 2), upFace(90, 90));
    EXPECT_EQ(upFace(360 * 8191 + 180, -180), upFace(180, 180));
    EXPECT_EQ(upFace(-0.0, 0), 1);
}

TEST(UpFace, OffAQuarterTurnIsNoFace) {
    EXPECT_EQ(upFace(45, 0), 0);
    EXPECT_EQ(upFace(0, 89.999), 0);
    EXPECT_EQ(upFace(NAN, 0), 0);
    EXPECT_EQ(upFace(0, INFINITY), 0);
}

}  // namespace
