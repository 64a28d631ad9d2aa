#include "controls.h"

#include "twips.h"

#include <QMouseEvent>
#include <QPainter>
#include <QStyleOptionButton>
#include <QStylePainter>

void CommandButton::paintEvent(QPaintEvent *)
{
    QStylePainter painter(this);
    QStyleOptionButton option;
    initStyleOption(&option);
    const QString caption = option.text;
    option.text.clear();
    painter.drawControl(QStyle::CE_PushButton, option);
    QRect area = style()->subElementRect(QStyle::SE_PushButtonContents, &option, this);
    if (isDown())
        area.translate(style()->pixelMetric(QStyle::PM_ButtonShiftHorizontal, &option, this),
                       style()->pixelMetric(QStyle::PM_ButtonShiftVertical, &option, this));
    painter.drawItemText(area, Qt::AlignCenter | Qt::TextWordWrap, palette(), isEnabled(), caption,
                         QPalette::ButtonText);
}

ClickLabel::ClickLabel(const QString &text, QWidget *parent) : QLabel(text, parent)
{
    setAlignment(Qt::AlignCenter);
    setBackgroundRole(QPalette::Button);
    setAutoFillBackground(true);
    setFocusPolicy(Qt::NoFocus);
}

void ClickLabel::mouseReleaseEvent(QMouseEvent *event)
{
    QLabel::mouseReleaseEvent(event);
    if (event->button() == Qt::LeftButton && rect().contains(event->position().toPoint()))
        emit clicked();
}

ImageControl::ImageControl(QWidget *parent) : QWidget(parent)
{
    setFocusPolicy(Qt::NoFocus);
}

void ImageControl::setPicture(const LoadedPicture &picture)
{
    m_visible = picture.visible;
    m_notice.clear();
    // The decoded corner covers all of the control that can be seen: nothing below it is drawn.
    setAttribute(Qt::WA_OpaquePaintEvent, !m_visible.isNull());
    resize(picture.fullSize);
    update();
}

void ImageControl::showNotice(const QString &notice)
{
    m_visible = QImage();
    m_notice = notice;
    setAttribute(Qt::WA_OpaquePaintEvent, false);
    if (m_emptySize.isValid())
        resize(m_emptySize);
    update();
}

void ImageControl::paintEvent(QPaintEvent *)
{
    QPainter painter(this);
    if (!m_visible.isNull()) {
        painter.drawImage(QPoint(0, 0), m_visible);
    } else if (!m_notice.isEmpty()) {
        painter.setPen(palette().color(QPalette::Disabled, QPalette::WindowText));
        painter.drawText(rect(), Qt::AlignCenter | Qt::TextWordWrap, m_notice);
    }
}

namespace {

// The widget shows control characters as their visible symbols and every kind of line break
// as a line break; the exact text lives beside it.
QString forDisplay(const QString &text)
{
    QString shown;
    shown.reserve(text.size());
    for (qsizetype i = 0; i < text.size(); ++i) {
        const char16_t c = text[i].unicode();
        if (c == u'\r') {
            shown += u'\n';
            if (i + 1 < text.size() && text[i + 1] == u'\n')
                ++i;
        } else if (c == u'\n' || c == u'\t') {
            shown += QChar(c);
        } else if (c < 0x20) {
            shown += QChar(char16_t(0x2400 + c));
        } else if (c == 0x7F) {
            shown += QChar(char16_t(0x2421));
        } else {
            shown += QChar(c);
        }
    }
    return shown;
}

} // namespace

DescriptionBox::DescriptionBox(QWidget *parent) : QPlainTextEdit(parent)
{
    setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    // Tab moves on to the next control, as in every other box of the window.
    setTabChangesFocus(true);
    viewport()->setCursor(Qt::ArrowCursor);
    // Loading a text changes it too; setText clears the mark again once it is done.
    connect(this, &QPlainTextEdit::textChanged, this, [this] { m_edited = true; });
}

QString DescriptionBox::text() const
{
    if (!m_edited)
        return m_exact;
    // The user's lines, joined the way the loaded text joined its own.
    const bool crlf = m_exact.contains(QStringLiteral("\r\n")) || !m_exact.contains(u'\n');
    QString text = toPlainText();
    if (crlf)
        text.replace(QStringLiteral("\n"), QStringLiteral("\r\n"));
    return text;
}

void DescriptionBox::setText(const QString &text, TextForm form)
{
    // Laying out millions of characters would freeze the window for seconds.
    constexpr qsizetype kShownAtMost = 100'000;
    m_exact = text;
    m_form = form;
    const bool shownInPart = text.size() > kShownAtMost;
    if (shownInPart) {
        setPlainText(forDisplay(text.left(kShownAtMost))
                     + QStringLiteral("\n\n[%1 more characters are not shown]")
                           .arg(text.size() - kShownAtMost));
    } else {
        setPlainText(forDisplay(text));
    }
    // What is not shown could not be edited, so nothing of a long text may be.
    setReadOnly(shownInPart);
    m_edited = false;
}

void DescriptionBox::setTwipsGeometry(const QRectF &twips)
{
    m_twips = twips;
    setGeometry(twips::toPixels(twips.toRect()));
}
