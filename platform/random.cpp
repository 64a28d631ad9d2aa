#include "random.h"

#include <QDateTime>
#include <QRandomGenerator>

namespace {

QRandomGenerator &generator()
{
    static QRandomGenerator instance;
    return instance;
}

} // namespace

void seedRandomNumbers()
{
    generator().seed(quint32(QDateTime::currentMSecsSinceEpoch()));
}

float nextRandomNumber()
{
    // 24 random bits fill a float's mantissa exactly, so the value can never round up to 1.
    constexpr quint32 kSteps = 1u << 24;
    return float(generator().bounded(kSteps)) / float(kSteps);
}
