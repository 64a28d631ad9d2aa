#include "tabstrip.h"

#include <QEvent>
#include <QPainter>
#include <QStyleOptionTabWidgetFrame>
#include <QTabBar>

TabStrip::TabStrip(QWidget *parent) : QWidget(parent), m_bar(new QTabBar(this))
{
    m_bar->setExpanding(false);
    m_bar->setDrawBase(false);
    // A page changes by a click on its caption or by the keyboard, never by the wheel.
    m_bar->installEventFilter(this);
    connect(m_bar, &QTabBar::currentChanged, this, &TabStrip::selectPage);
}

QWidget *TabStrip::addPage(const QString &caption)
{
    auto *page = new QWidget(this);
    page->setGeometry(rect());
    page->setVisible(m_pages.empty());
    m_pages.push_back(page);
    // The captions stay clickable above any control that a page spreads over them.
    page->stackUnder(m_bar);
    m_bar->addTab(caption);
    fitCaptions();
    return page;
}

void TabStrip::setCurrentIndex(int index)
{
    m_bar->setCurrentIndex(index); // an index past the pages changes nothing
}

void TabStrip::setTabHeight(int pixels)
{
    m_tabHeight = pixels;
    arrange();
    update();
}

void TabStrip::selectPage(int index)
{
    const int previous = m_current;
    m_current = index;
    for (int i = 0; i < count(); ++i)
        page(i)->setVisible(i == index);
    // QTabBar reports the first tab added as a change; that is the initial selection.
    if (previous >= 0)
        emit currentChanged(index);
}

// Every caption stays on view in one row: where a wider face stands in for the strip's own,
// the captions get smaller rather than cut off.
void TabStrip::fitCaptions()
{
    QFont font = this->font();
    m_bar->setFont(font);
    while (m_bar->sizeHint().width() > width() && font.pointSizeF() > 5.0) {
        font.setPointSizeF(font.pointSizeF() - 0.25);
        m_bar->setFont(font);
    }
}

bool TabStrip::eventFilter(QObject *watched, QEvent *event)
{
    return (watched == m_bar && event->type() == QEvent::Wheel)
        || QWidget::eventFilter(watched, event);
}

void TabStrip::changeEvent(QEvent *event)
{
    QWidget::changeEvent(event);
    if (event->type() == QEvent::FontChange)
        fitCaptions();
}

void TabStrip::paintEvent(QPaintEvent *)
{
    QPainter painter(this);
    QStyleOptionTabWidgetFrame frame;
    frame.initFrom(this);
    // The frame's top edge runs along the captions' lower edge.
    frame.rect.setTop(m_tabHeight - 1);
    frame.tabBarSize = m_bar->size();
    frame.selectedTabRect = m_bar->tabRect(m_current);
    style()->drawPrimitive(QStyle::PE_FrameTabWidget, &frame, &painter, this);
}

void TabStrip::resizeEvent(QResizeEvent *)
{
    arrange();
}

void TabStrip::arrange()
{
    m_bar->setGeometry(QRect(QPoint(), QSize(width(), m_tabHeight)));
    for (QWidget *p : m_pages)
        p->setGeometry(rect());
    fitCaptions();
}
