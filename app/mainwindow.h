#pragma once

#include "collection.h"
#include "slideshow.h"
#include "topictable.h"

#include <QWidget>
#include <array>
#include <memory>

class ClickLabel;
class CommandButton;
class DescriptionBox;
class ImageControl;
class QLineEdit;
class TabStrip;

// Where a window of the given outer size stands centred on the screen's free area: the corner
// of its frame, and the client size that leaves the outer size once the frame is drawn.
struct WindowPlacement
{
    QPoint framePosition;
    QSize clientSize;
};
WindowPlacement centredPlacement(QSize outer, QRect available, QMargins frame);

// The one window: ten topic pages on a tab strip, and the slideshow's buttons. It shows what
// the collection and the slideshow hand it.
class MainWindow : public QWidget
{
    Q_OBJECT

public:
    // The random source is the program's own unless a test scripts one.
    explicit MainWindow(Slideshow::RandomSource random = {}, QWidget *parent = nullptr);
    ~MainWindow() override;

    // Start-up: sizes the window, opens the collection in folder on its first picture and
    // shows the window.
    void start(const QString &folder);
    // What the pages show and what is read ahead for them.
    const Collection &collection() const { return *m_collection; }

protected:
    bool event(QEvent *event) override;

private:
    struct Page
    {
        ImageControl *picture = nullptr;
        DescriptionBox *description = nullptr;
        QLineEdit *stepBox = nullptr;
        CommandButton *back = nullptr;
        CommandButton *forward = nullptr;
        ClickLabel *grow = nullptr;
        ClickLabel *shrink = nullptr;
    };

    void build();
    void buildPage(int topic);
    void buildWindowButtons();
    void wirePage(const Page &page, int topic);
    void setFocusOrder();
    void step(int topic, Direction direction);
    void showStep(int topic, const StepResult &result);
    void showFirstFrame();
    void switchTopic(int topic);
    void readAhead();
    void save();
    void placeOnScreen();

    TabStrip *m_tabs = nullptr;
    std::array<Page, kTopicCount> m_pages;
    std::array<QWidget *, 2> m_intervalButtons{};
    std::unique_ptr<Collection> m_collection;
    Slideshow *m_slideshow;
    bool m_placedWithoutFrame = false;
    bool m_placedInFrame = false;
    bool m_firstFrameShown = false;
};
