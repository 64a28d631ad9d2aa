#include "slideshow.h"

#include <algorithm>
#include <cmath>

namespace {

constexpr int kFirstInterval = 3000;
constexpr int kIntervalStep = 1000;
constexpr int kShortestInterval = 1000;
constexpr int kLongestInterval = 10000;

} // namespace

Slideshow::Slideshow(int pageCount, RandomSource random, QObject *parent)
    : QObject(parent), m_timer(this), m_pageCount(pageCount), m_random(std::move(random))
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
    int page = m_lastPage;
    // Scaled in single precision, where a draw just below 1 still lands on the last page.
    while (page == m_lastPage)
        page = int(std::floor(m_random() * float(m_pageCount)));
    m_lastPage = page;
    emit hopped(page);
}
