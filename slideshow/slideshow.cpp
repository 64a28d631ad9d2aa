#include "slideshow.h"

#include "tabstrip.h"

#include <QTimer>
#include <QWidget>
#include <algorithm>
#include <cmath>

namespace {

constexpr int kIntervalStep = 1000;
constexpr int kShortestInterval = 1000;
constexpr int kLongestInterval = 10000;
constexpr float kPageCount = 10.0f;

} // namespace

Slideshow::Slideshow(Controls controls, LooseNumber &SlideInterval, RandomSource random)
    : m_controls(controls), m_SlideInterval(SlideInterval), m_random(std::move(random))
{
}

bool Slideshow::isRunning() const
{
    return m_controls.Timer1->isActive();
}

void Slideshow::Command9_Click()
{
    if (!isRunning()) {
        m_controls.Command10->setVisible(true);
        m_controls.Command13->setVisible(true);
        m_controls.Timer1->start();
    } else {
        m_controls.Command10->setVisible(false);
        m_controls.Command13->setVisible(false);
        m_controls.Timer1->stop();
    }
}

void Slideshow::Command10_Click()
{
    changeInterval(-kIntervalStep);
}

void Slideshow::Command13_Click()
{
    changeInterval(kIntervalStep);
}

void Slideshow::changeInterval(int step)
{
    // Always from the timer's own interval, never from what an earlier click left behind.
    const int interval =
        std::clamp(m_controls.Timer1->interval() + step, kShortestInterval, kLongestInterval);
    m_SlideInterval = LooseNumber::integer(interval);
    m_controls.Timer1->setInterval(interval);
}

void Slideshow::Timer1_Timer()
{
    do {
        m_PreviousHopPick = m_HopPick;
        // A single-precision draw just below 1 can round the product up to 10.
        const float pick = std::min(std::floor(m_random() * kPageCount), kPageCount - 1.0f);
        m_HopPick = LooseNumber::single(std::max(pick, 0.0f));
    } while (m_HopPick == m_PreviousHopPick);
    m_controls.SSTab1->setTab(int(m_HopPick.toDouble()));
}
