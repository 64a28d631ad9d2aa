#pragma once

#include "pictureloader.h"
#include "textfile.h"

#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>

// A push button whose caption wraps at its blanks instead of being cut off where it is wider
// than the button.
class CommandButton : public QPushButton
{
    Q_OBJECT

public:
    using QPushButton::QPushButton;

protected:
    void paintEvent(QPaintEvent *event) override;
};

// A caption that reacts to a click, as the "^" and "v" marks beside the descriptions do. It
// stands on its own button-face square, whatever is drawn below it.
class ClickLabel : public QLabel
{
    Q_OBJECT

public:
    explicit ClickLabel(const QString &text, QWidget *parent = nullptr);

signals:
    void clicked();

protected:
    void mouseReleaseEvent(QMouseEvent *event) override;
};

// Shows a picture at its own size from its top-left corner. The control takes the size of the
// whole picture even though only the part that can be seen was decoded.
class ImageControl : public QWidget
{
    Q_OBJECT

public:
    explicit ImageControl(QWidget *parent = nullptr);

    void setPicture(const LoadedPicture &picture);
    // Clears the picture and shows a short grey notice in its place.
    void showNotice(const QString &notice);

    const QImage &picture() const { return m_visible; }
    // The size the control returns to when it has no picture.
    void setEmptySize(QSize size) { m_emptySize = size; }

protected:
    void paintEvent(QPaintEvent *event) override;

private:
    QImage m_visible;
    QString m_notice;
    QSize m_emptySize;
};

// A multi-line description. The text widget turns CR LF into its own line breaks, so the
// exact text is kept beside it and handed back as long as the user has not edited the box.
// A text too long to lay out at once is shown in part, and then cannot be edited.
class DescriptionBox : public QPlainTextEdit
{
    Q_OBJECT

public:
    explicit DescriptionBox(QWidget *parent = nullptr);

    QString text() const;
    void setText(const QString &text, TextForm form = TextForm::Windows1252);
    TextForm textForm() const { return m_form; }

    // The box's place in twips; its pixel geometry follows.
    QRectF twipsGeometry() const { return m_twips; }
    void setTwipsGeometry(const QRectF &twips);

private:
    QString m_exact;
    TextForm m_form = TextForm::Windows1252;
    bool m_edited = false;
    QRectF m_twips;
};
