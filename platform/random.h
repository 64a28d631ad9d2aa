#pragma once

// The program's random numbers: single-precision values in [0, 1), different at every start.
float nextRandomNumber();
