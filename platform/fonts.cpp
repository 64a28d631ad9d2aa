#include "fonts.h"

#include <QStringList>

void installFontSubstitutes()
{
    const QStringList sansSerif = {QStringLiteral("Liberation Sans"), QStringLiteral("Arimo"),
                                   QStringLiteral("DejaVu Sans"), QStringLiteral("Helvetica")};
    QFont::insertSubstitutions(
        QStringLiteral("MS Sans Serif"),
        QStringList{QStringLiteral("Microsoft Sans Serif"), QStringLiteral("Arial")} + sansSerif);
    QFont::insertSubstitutions(QStringLiteral("Arial"), sansSerif);
}

QFont makeFont(const FontSpec &spec)
{
    QFont font(QString::fromLatin1(spec.family));
    font.setPointSizeF(spec.points);
    font.setBold(spec.bold);
    font.setStyleHint(QFont::SansSerif);
    return font;
}
