#include "slideshow.h"

#include <algorithm>
#include <cmath>

namespace {

constexpr int kFirstInterval = 3000;
constexpr int kIntervalStep = 1000;
constexpr int kShortestInterval = 1000;
constexpr int kLongestInterval = 10000;
constexpr float kPageCount = 10.0f;

} // namespace

Slideshow::Slideshow(RandomSource random, QObject *parent)
    : QObject(parent), m_timer(this), m_random(std::move(random))
{
    m_timer.setInterval(kFirstInterval);
    connect(&m_timer, &QTimer::timeout, this, &Slideshow::tick);
}

void Slideshow::toggle()
{
    if (isRunning())
        m_timer.stop();
    else
        m_timer.start();
    emit runningChanged(isRunning());
}

void Slideshow::shorten()
{
    changeInterval(-kIntervalStep);
}

void Slideshow::lengthen()
{
    changeInterval(kIntervalStep);
}

void Slideshow::changeInterval(int step)
{
    m_timer.setInterval(std::clamp(m_timer.interval() + step, kShortestInterval, kLongestInterval));
}

void Slideshow::tick()
{
    float pick = m_lastPick;
    while (pick == m_lastPick)
        pick = std::floor(m_random() * kPageCount);
    m_lastPick = pick;
    emit hopped(int(pick));
}
