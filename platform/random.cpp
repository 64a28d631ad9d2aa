#include "random.h"

#include <QRandomGenerator>

float nextRandomNumber()
{
    // Qt's global generator is seeded by the system, so every start draws anew. 24 random bits
    // fill a float's mantissa exactly, so the value can never round up to 1.
    constexpr quint32 kSteps = 1u << 24;
    return float(QRandomGenerator::global()->bounded(kSteps)) / float(kSteps);
}
