#include "screen_projection.h"

#include <cmath>
#include <numbers>

#include "scene.h"
#include "shell.h"

namespace {

// The lean's angle as the drawing turns it, in radians.
double leanRadians(float viewSum) {
    return static_cast<double>(viewSum * kViewLean) * std::numbers::pi / 180.0;
}

}  // namespace

ScreenPixel ScreenProjection::pixel(double x, double y, double above) const {
    // The lean: about y by the yaw, then about x by the pitch, as seen from the eye.
    const double yaw = leanRadians(viewYaw);
    const double pitch = leanRadians(viewPitch);
    const double x1 = x * std::cos(yaw) + above * std::sin(yaw);
    const double z1 = -x * std::sin(yaw) + above * std::cos(yaw);
    const double y2 = y * std::cos(pitch) - z1 * std::sin(pitch);
    const double z2 = y * std::sin(pitch) + z1 * std::cos(pitch) - kTableDistance;
    // The perspective: the picture's half height spans half the field of view.
    const double f = 1.0 / std::tan(kFieldOfView / 2 * std::numbers::pi / 180.0);
    const double aspect = static_cast<double>(width) / height;
    return {(f / aspect * x1 / -z2 + 1.0) * 0.5 * width, (1.0 - f * y2 / -z2) * 0.5 * height};
}
