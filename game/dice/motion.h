// One frame of dice motion: flight, landing, rolling, walls and collisions.
#pragma once

// Advances every die in play by one frame (held dice are skipped).
void stepDice();
