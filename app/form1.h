#pragma once

#include "library.h"
#include "slideshow.h"
#include "topictable.h"

#include <QWidget>
#include <memory>

class CommandButton;
class QTimer;
class TabStrip;

// The one window: ten topic pages on a tab strip, and the slideshow's buttons.
class Form1 : public QWidget
{
    Q_OBJECT

public:
    // The random source is the program's own unless a test scripts one.
    explicit Form1(Slideshow::RandomSource random = {}, QWidget *parent = nullptr);
    ~Form1() override;

    // Start-up: sizes the window, seeds the random numbers and opens the collection in
    // appPath on its first picture.
    void Form_Load(const QString &appPath);

    TopicTable &topics() { return m_topics; }
    Library &library() { return *m_library; }
    Slideshow &slideshow() { return *m_slideshow; }
    TabStrip *SSTab1() const { return m_SSTab1; }
    QTimer *Timer1() const { return m_Timer1; }

protected:
    void showEvent(QShowEvent *event) override;

private:
    void buildPages();
    void buildWindowButtons();
    void wireEvents();
    void setFocusOrder();
    void fitOuterSize();

    TopicTable m_topics;
    TabStrip *m_SSTab1 = nullptr;
    QTimer *m_Timer1 = nullptr;
    CommandButton *m_Command9 = nullptr;
    CommandButton *m_Command10 = nullptr;
    CommandButton *m_Command13 = nullptr;
    CommandButton *m_Command31 = nullptr;
    std::unique_ptr<Library> m_library;
    std::unique_ptr<Slideshow> m_slideshow;
    bool m_fitted = false;
};
