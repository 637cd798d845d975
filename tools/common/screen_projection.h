// Where the game draws a point of its scene: the view leaned about the table plane's origin by
// the view sums, then the game's perspective, with the game's own constants. For the drawing
// tests and vantu-shotcheck, which look in a picture for what the game drew at a place.
#pragma once

struct ScreenPixel {
    double x;  // from the left edge
    double y;  // from the top edge
};

struct ScreenProjection {
    int width;  // of the picture, in pixels
    int height;
    float viewYaw = 0;  // the game's view sums; 0 and 0: the table seen straight from above
    float viewPitch = 0;

    // The pixel of the point (x, y) of the table plane, lifted `above` units towards the eye.
    ScreenPixel pixel(double x, double y, double above) const;
};
