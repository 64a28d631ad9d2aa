#pragma once

#include <QObject>
#include <QTimer>
#include <functional>

// Hops between the pages at random on its own timer, never to the page it hopped to
// last. Stopped at first, every 3 seconds once started; the interval moves by a second
// within 1 to 10 seconds.
class Slideshow : public QObject
{
    Q_OBJECT

public:
    using RandomSource = std::function<float()>; // values in [0, 1)

    Slideshow(int pageCount, RandomSource random, QObject *parent = nullptr);

    bool isRunning() const { return m_timer.isActive(); }
    QTimer *timer() { return &m_timer; }

    void toggle();
    void shorten();
    void lengthen();
    // One hop, as the timer makes it.
    void tick();

signals:
    void hopped(int page);
    void runningChanged(bool running);

private:
    void changeInterval(int step);

    QTimer m_timer;
    const int m_pageCount;
    RandomSource m_random;
    // Counts as page 0 before the first hop, so the first never goes to the page shown at
    // start-up; kept while the show is stopped.
    int m_lastPage = 0;
};
