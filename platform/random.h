#pragma once

// The program's random numbers: seeded once from the clock at start-up, then drawn as
// single-precision values in [0, 1).
void seedRandomNumbers();
float nextRandomNumber();
