#include "numbers.h"

#include <QLocale>
#include <cmath>

namespace {

bool isDigit(QStringView text, qsizetype i)
{
    return i < text.size() && text[i] >= u'0' && text[i] <= u'9';
}

qsizetype skipDigits(QStringView text, qsizetype i)
{
    while (isDigit(text, i))
        ++i;
    return i;
}

} // namespace

double leadingNumber(QStringView text)
{
    qsizetype start = 0;
    while (start < text.size() && QStringView(u" \t\r\n").contains(text[start]))
        ++start;
    qsizetype i = start;
    if (i < text.size() && (text[i] == u'+' || text[i] == u'-'))
        ++i;
    const qsizetype wholeEnd = skipDigits(text, i);
    qsizetype end = wholeEnd;
    if (end < text.size() && text[end] == u'.')
        end = skipDigits(text, end + 1);
    if (wholeEnd == i && end <= wholeEnd + 1)
        return 0.0; // no digit at all, only a sign or a lone point

    QString number = text.sliced(start, end - start).toString();
    // An exponent counts only when digits follow it: "2e" and "2e+" are the number 2. Older
    // files write it with a D as well as an E.
    if (end < text.size() && QStringView(u"eEdD").contains(text[end])) {
        qsizetype digits = end + 1;
        if (digits < text.size() && (text[digits] == u'+' || text[digits] == u'-'))
            ++digits;
        const qsizetype exponentEnd = skipDigits(text, digits);
        if (exponentEnd > digits)
            number += u'e' + text.sliced(end + 1, exponentEnd - end - 1).toString();
    }
    // The C locale reads a point and nothing else; past a double's range it gives infinity,
    // below it zero, which is what a step needs.
    return QLocale::c().toDouble(number);
}

QString numberText(double value)
{
    if (value == 0.0)
        return QStringLiteral("0"); // also for -0, which no file is named after
    if (std::fabs(value) < 1e15 && value == std::trunc(value))
        return QString::number(value, 'f', 0);

    // 'g' with 15 digits drops trailing zeros; only the exponent's look needs changing.
    QString text = QString::number(value, 'g', 15);
    const qsizetype e = text.indexOf(u'e');
    if (e != -1) {
        QString exponent = text.mid(e + 1);
        const QChar sign = exponent.front();
        exponent.remove(0, 1);
        while (exponent.size() > 1 && exponent.front() == u'0')
            exponent.remove(0, 1);
        text = text.left(e) + u'E' + sign + exponent;
    }
    return text;
}
