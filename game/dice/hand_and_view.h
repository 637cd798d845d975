// The hand and the view: the relative pointer that moves the hand and leans the view, the
// hand's slide, the picking of dice under it, and the opening zoom and roll of the view.
#pragma once

// A position on the screen, in pixels.
struct ScreenPoint {
    int x;
    int y;
};

// Where the cursor is put back every frame, whatever the display resolution. A cursor that
// cannot be read counts as lying here, so it gives no motion.
inline constexpr ScreenPoint kPointerCentre{320, 240};

// Moves the hand and leans the view by the offset of `cursor` (where the cursor was read this
// frame) from the centre. Returns where the caller puts the cursor back: the centre.
ScreenPoint updatePointer(ScreenPoint cursor);

// One step of the opening zoom and roll; run by the drawing once per frame.
void advanceIntro();

// Slides the hand out while a die is in flight and back in when all rest; run by the drawing
// once per frame after the intro.
void updateHandLift();

// What the frame's drawing does to the game, at its points: advanceIntro, then
// `drawTableAndDice`, then, once the intro is over (introDistance exactly 0), updateHandLift.
// True when the hand is to be drawn. A frame that is not drawn passes a function that does
// nothing.
bool advanceIntroAndHand(void (*drawTableAndDice)());

// A left click with the hand at or right of this x throws; left of it, it picks dice.
inline constexpr double kThrowLine = 13;

// A left click while all dice rest: a throw beside the table, otherwise picks the dice under the
// hand.
void handleLeftClick();
