#include "fonts.h"

#include <QStringList>

namespace {

void installFontSubstitutes()
{
    const QStringList sansSerif = {QStringLiteral("Liberation Sans"), QStringLiteral("Arimo"),
                                   QStringLiteral("DejaVu Sans"), QStringLiteral("Helvetica")};
    QFont::insertSubstitutions(
        QStringLiteral("MS Sans Serif"),
        QStringList{QStringLiteral("Microsoft Sans Serif"), QStringLiteral("Arial")} + sansSerif);
    QFont::insertSubstitutions(QStringLiteral("Arial"), sansSerif);
}

} // namespace

QFont makeFont(const FontSpec &face)
{
    static const bool substituted = (installFontSubstitutes(), true);
    Q_UNUSED(substituted);
    QFont font(QString::fromLatin1(face.family));
    font.setPointSizeF(face.points);
    font.setBold(face.bold);
    font.setStyleHint(QFont::SansSerif);
    return font;
}
