// Where the window stands on the screen: centred, 800 x 600 pixels with its frame.

#include "layout.h"
#include "mainwindow.h"

#include <QEvent>
#include <QScreen>
#include <QStyle>
#include <QWindow>

bool MainWindow::event(QEvent *event)
{
    const bool handled = QWidget::event(event);
    switch (event->type()) {
    case QEvent::Move:
    case QEvent::Resize:
    case QEvent::WindowActivate:
        placeOnScreen();
        break;
    default:
        break;
    }
    return handled;
}

// The outer size needs the frame, which a window manager reports only some time after the
// window is mapped. The first placing, before the window exists, gives the position of the
// frame's corner, so the window manager puts the frame there itself; once the frame is known,
// the client area shrinks to leave the outer size, and from then on the window stays wherever
// the user puts it.
void MainWindow::placeOnScreen()
{
    const QMargins frame = windowHandle() ? windowHandle()->frameMargins() : QMargins();
    if (m_placedInFrame || (frame.isNull() && m_placedWithoutFrame) || !screen())
        return;
    m_placedWithoutFrame = true;
    m_placedInFrame = !frame.isNull();
    const WindowPlacement placement =
        centredPlacement({layout::kWindowWidthPixels, layout::kWindowHeightPixels},
                         screen()->availableGeometry(), frame);
    resize(placement.clientSize);
    // Through the window itself once it exists: the widget's own idea of its frame may not
    // have caught up yet, and it would take the move for one to where the window already is.
    if (windowHandle())
        windowHandle()->setFramePosition(placement.framePosition);
    else
        move(placement.framePosition);
}

WindowPlacement centredPlacement(QSize outer, QRect available, QMargins frame)
{
    const QRect target = QStyle::alignedRect(Qt::LeftToRight, Qt::AlignCenter, outer, available);
    return {target.topLeft(), target.size().shrunkBy(frame)};
}
