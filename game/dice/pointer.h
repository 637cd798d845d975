// The relative pointer, the hand, the view lean, the intro and the picking of dice.
#pragma once

// Reads the cursor's offset from (320, 240), puts it back there, moves the hand and leans the view.
void updatePointer();

// One step of the opening zoom and roll; run by the drawing once per frame.
void advanceIntro();

// Slides the hand out while a die is in flight and back in when all rest; run by the drawing
// once per frame after the intro.
void updateHandLift();

// A left click while all dice rest: a throw beside the table, otherwise picks the dice under the
// hand.
void handleLeftClick();
