// TEMPORARY stand-in until the scene drawing lands: clears the buffers and runs the intro and
// hand steps at the points where the drawing runs them.
#include "scene.h"

#include <GL/gl.h>

#include "dice_model.h"
#include "pointer.h"

void drawScene() {
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    advanceIntro();
    if (game.introDistance == 0.0f) {
        updateHandLift();
    }
}
