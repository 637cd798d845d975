// Which face of a resting die points to the viewer. The game itself never reads the faces; the
// fairness tool counts them.
#pragma once

// The face picture (1 for Die1 .. 6 for Die6) on top of a die whose angleX and angleY lie on
// multiples of 90 (any sign, any number of turns); 0 when either angle is off a quarter turn.
int upFace(double angleX, double angleY);
