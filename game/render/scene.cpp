#include "scene.h"

#include <GL/gl.h>

#include "dice_model.h"
#include "hand_and_view.h"
#include "textures.h"

namespace {

struct Corner {
    GLfloat x, y, z;  // position
    GLfloat s, t;     // texture coordinate
};

struct Quad {
    GLfloat nx, ny, nz;  // normal
    Corner corners[4];
};

// The table top (z = 0), the rims 7 above it and the inner sides of the four walls; the outer
// sides of the box are never seen and not drawn. Every quad carries the whole desk picture.
constexpr Quad kTableQuads[9] = {
    // table top
    {0, 0, 1, {{-23, -17, 0, 0, 0}, {13, -17, 0, 1, 0}, {13, 17, 0, 1, 1}, {-23, 17, 0, 0, 1}}},
    // left rim
    {0, 0, 1, {{-24, -17, 7, 0, 0}, {-23, -17, 7, 1, 0}, {-23, 17, 7, 1, 1}, {-24, 17, 7, 0, 1}}},
    // right rim
    {0, 0, 1, {{13, -17, 7, 0, 0}, {14, -17, 7, 1, 0}, {14, 17, 7, 1, 1}, {13, 17, 7, 0, 1}}},
    // lower rim
    {0, 0, 1, {{-24, -18, 7, 0, 0}, {14, -18, 7, 1, 0}, {14, -17, 7, 1, 1}, {-24, -17, 7, 0, 1}}},
    // upper rim
    {0, 0, 1, {{-24, 17, 7, 0, 0}, {14, 17, 7, 1, 0}, {14, 18, 7, 1, 1}, {-24, 18, 7, 0, 1}}},
    // left wall, inner side
    {1, 0, 0, {{-23, 17, 7, 0, 0}, {-23, 17, 0, 1, 0}, {-23, -17, 0, 1, 1}, {-23, -17, 7, 0, 1}}},
    // right wall, inner side
    {-1, 0, 0, {{13, 17, 7, 0, 0}, {13, 17, 0, 1, 0}, {13, -17, 0, 1, 1}, {13, -17, 7, 0, 1}}},
    // upper wall, inner side
    {0, -1, 0, {{-23, 17, 7, 0, 0}, {-23, 17, 0, 1, 0}, {13, 17, 0, 1, 1}, {13, 17, 7, 0, 1}}},
    // lower wall, inner side
    {0, 1, 0, {{-23, -17, 7, 0, 0}, {-23, -17, 0, 1, 0}, {13, -17, 0, 1, 1}, {13, -17, 7, 0, 1}}},
};

// The six faces of a cube of edge 2 about the origin, in drawing order, each with the index of
// the die's face word that picks its picture.
struct CubeFace {
    int faceWord;
    Quad quad;
};

constexpr CubeFace kCubeFaces[6] = {
    // +z
    {0, {0, 0, 1, {{-1, -1, 1, 0, 0}, {1, -1, 1, 1, 0}, {1, 1, 1, 1, 1}, {-1, 1, 1, 0, 1}}}},
    // -z
    {2, {0, 0, -1, {{-1, -1, -1, 1, 0}, {-1, 1, -1, 1, 1}, {1, 1, -1, 0, 1}, {1, -1, -1, 0, 0}}}},
    // +y
    {1, {0, 1, 0, {{-1, 1, -1, 0, 1}, {-1, 1, 1, 0, 0}, {1, 1, 1, 1, 0}, {1, 1, -1, 1, 1}}}},
    // -y
    {3, {0, -1, 0, {{-1, -1, -1, 1, 1}, {1, -1, -1, 0, 1}, {1, -1, 1, 0, 0}, {-1, -1, 1, 1, 0}}}},
    // +x
    {4, {1, 0, 0, {{1, -1, -1, 1, 0}, {1, 1, -1, 1, 1}, {1, 1, 1, 0, 1}, {1, -1, 1, 0, 0}}}},
    // -x
    {5, {-1, 0, 0, {{-1, -1, -1, 0, 0}, {-1, -1, 1, 1, 0}, {-1, 1, 1, 1, 1}, {-1, 1, -1, 0, 1}}}},
};

// The shadow under a die, on the table plane.
constexpr Quad kShadowQuad = {
    0, 0, 1, {{-1, -1, 0, 0, 0}, {1, -1, 0, 1, 0}, {1, 1, 0, 1, 1}, {-1, 1, 0, 0, 1}}};

// The hand picture: its top-left corner is the hand's position.
constexpr Quad kHandQuad = {
    0, 0, 1, {{0, -30, 0, 0, 0}, {30, -30, 0, 1, 0}, {30, 0, 0, 1, 1}, {0, 0, 0, 0, 1}}};

// The quad's normal and corners, inside a glBegin(GL_QUADS) / glEnd pair of the caller.
void emitQuad(const Quad& quad) {
    glNormal3f(quad.nx, quad.ny, quad.nz);
    for (const Corner& c : quad.corners) {
        glTexCoord2f(c.s, c.t);
        glVertex3f(c.x, c.y, c.z);
    }
}

void drawQuad(const Quad& quad) {
    glBegin(GL_QUADS);
    emitQuad(quad);
    glEnd();
}

void bindSlot(int slot) {
    // A face word outside the eleven slots binds no picture rather than reading past the table.
    const GLuint name = slot >= 0 && slot < kTextureCount ? textures[slot] : 0;
    glBindTexture(GL_TEXTURE_2D, name);
}

void drawTable() {
    bindSlot(TEX_DESK);
    glBegin(GL_QUADS);
    for (const Quad& quad : kTableQuads) {
        emitQuad(quad);
    }
    glEnd();
}

// Die i with its shadow. Enters and leaves with the table plane at z = 0; the shadow's lift of
// 0.1 and the two translations along z add up to nothing.
void drawDieWithShadow(std::int16_t i) {
    const DieState& die = game.dice[i];

    glTranslated(0, 0, 0.1);
    bindSlot(TEX_DIE_SHADER);
    glTranslated(die.x, die.y, 0);
    glRotated(die.angleZ, 0, 0, 1);
    drawQuad(kShadowQuad);
    glRotated(-die.angleZ, 0, 0, 1);
    glTranslated(-die.x, -die.y, 0);

    glTranslated(0, 0, 74.9);  // back to z = 0 at the eye
    glTranslated(0, 0, die.z);
    glTranslated(die.x, die.y, 0);
    glRotated(die.angleZ, 0, 0, 1);
    glRotated(die.angleX, 1, 0, 0);
    glRotated(die.angleY, 0, 1, 0);

    // The shading cube replaces what lies behind the die; the faces are added on top of it.
    glDisable(GL_DEPTH_TEST);
    glEnable(GL_BLEND);
    glBlendFunc(GL_ONE, GL_ZERO);
    drawDieShaderCube();
    glBlendFunc(GL_SRC_ALPHA, GL_ONE);
    drawDie(i);

    glRotated(-die.angleY, 0, 1, 0);
    glRotated(-die.angleX, 1, 0, 0);
    glRotated(-die.angleZ, 0, 0, 1);
    glTranslated(-die.x, -die.y, 0);
    glTranslated(0, 0, -die.z);

    glEnable(GL_DEPTH_TEST);
    glDisable(GL_BLEND);
    glTranslated(0, 0, -kTableDistance);
}

// The table, then the dice with their shadows, from the intro's point of the frame on; then the
// lean taken back about x first, then y, while the table translation and the intro transform
// stay in place.
void drawTableAndDice() {
    glDisable(GL_DEPTH_TEST);
    glDisable(GL_BLEND);
    glTranslatef(0.0f, 0.0f, -kTableDistance);  // the table plane is z = 0 from here
    drawTable();

    glEnable(GL_DEPTH_TEST);
    for (std::int16_t i = 0; i < kDiceCount; ++i) {
        if (game.dice[i].visible == 1) {
            drawDieWithShadow(i);
        }
    }

    glDisable(GL_LIGHTING);
    // As designed: not the exact reverse of the lean, which would take y back first.
    glRotatef(game.viewPitch * -kViewLean, 1.0f, 0.0f, 0.0f);
    glRotatef(game.viewYaw * -kViewLean, 0.0f, 1.0f, 0.0f);
    glTranslatef(0.0f, 0.0f, kTableDistance);
}

// The hand at its position, pushed right and down by its slide-away offset: the mask darkens
// the scene where the hand lies, then the picture is added there.
void drawHand() {
    glDisable(GL_DEPTH_TEST);
    glEnable(GL_BLEND);
    glTranslated(0, 0, -kTableDistance);
    glTranslated(game.handX + game.handLift, game.handY - game.handLift, 0);

    glBlendFunc(GL_DST_COLOR, GL_ZERO);
    bindSlot(TEX_HAND_MASK);
    drawQuad(kHandQuad);

    glBlendFunc(GL_ONE, GL_ONE);
    bindSlot(TEX_HAND);
    drawQuad(kHandQuad);
}

}  // namespace

void drawScene() {
    glEnable(GL_LIGHTING);
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    glLoadIdentity();

    // Lean the view about the origin of the table plane.
    glTranslatef(0.0f, 0.0f, -kTableDistance);
    glRotatef(game.viewPitch * kViewLean, 1.0f, 0.0f, 0.0f);
    glRotatef(game.viewYaw * kViewLean, 0.0f, 1.0f, 0.0f);
    glTranslatef(0.0f, 0.0f, kTableDistance);

    // The opening zoom and roll; it stays applied for the rest of the frame.
    if (game.introDistance > 0.0f) {
        glTranslatef(0.0f, 0.0f, -game.introDistance);
        glRotatef(game.introAngle, 0.0f, 0.0f, 1.0f);
    }
    // As designed: the intro's count-down and the hand's slide run inside the drawing, the one
    // before the table and the dice, the other after them and only once the intro is over.
    if (advanceIntroAndHand(drawTableAndDice)) {
        drawHand();
    }
}

void drawDie(std::int16_t i) {
    const DieState& die = game.dice[i];
    for (const CubeFace& face : kCubeFaces) {
        bindSlot(die.faceTexture[face.faceWord]);
        drawQuad(face.quad);
    }
}

void drawDieShaderCube() {
    bindSlot(TEX_DIE_SHADER);
    for (const CubeFace& face : kCubeFaces) {
        drawQuad(face.quad);
    }
}
