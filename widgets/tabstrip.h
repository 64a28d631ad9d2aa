#pragma once

#include <QWidget>
#include <vector>

class QTabBar;

// A row of page captions above pages that all share the strip's own coordinates, so that a
// control placed at (x, y) on a page stands at (x, y) of the strip.
class TabStrip : public QWidget
{
    Q_OBJECT

public:
    explicit TabStrip(QWidget *parent = nullptr);

    // Adds a page as large as the strip; the first one added is selected without a signal.
    QWidget *addPage(const QString &caption);
    QWidget *page(int index) const { return m_pages.at(std::size_t(index)); }
    int count() const { return int(m_pages.size()); }
    QTabBar *tabBar() const { return m_bar; }

    int currentIndex() const { return m_current; }
    // Selects the page; when it is another page, currentChanged has been handled on return.
    void setCurrentIndex(int index);

    void setTabHeight(int pixels);

signals:
    void currentChanged(int index);

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;
    void changeEvent(QEvent *event) override;
    void paintEvent(QPaintEvent *event) override;
    void resizeEvent(QResizeEvent *event) override;

private:
    void selectPage(int index);
    // The captions along the top, every page over the whole strip.
    void arrange();
    void fitCaptions();

    QTabBar *m_bar;
    std::vector<QWidget *> m_pages;
    int m_current = -1;
    int m_tabHeight = 20;
};
