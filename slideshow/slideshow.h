#pragma once

#include "numbers.h"

#include <functional>

class QTimer;
class QWidget;
class TabStrip;

// Hops between the pages at random on a timer. "Auto On/ Off" starts and stops it; "-" and
// "+", shown only while it runs, change the interval by a second within 1 to 10 seconds.
class Slideshow
{
public:
    struct Controls
    {
        TabStrip *SSTab1;
        QTimer *Timer1;
        QWidget *Command10; // "-"
        QWidget *Command13; // "+"
    };
    using RandomSource = std::function<float()>; // values in [0, 1)

    Slideshow(Controls controls, LooseNumber &SlideInterval, RandomSource random);

    void Command9_Click();  // start or stop
    void Command10_Click(); // shorter interval
    void Command13_Click(); // longer interval
    void Timer1_Timer();    // one hop

    bool isRunning() const;
    const LooseNumber &HopPick() const { return m_HopPick; }
    const LooseNumber &PreviousHopPick() const { return m_PreviousHopPick; }

private:
    void changeInterval(int step);

    Controls m_controls;
    LooseNumber &m_SlideInterval;
    RandomSource m_random;
    LooseNumber m_HopPick;
    LooseNumber m_PreviousHopPick;
};
