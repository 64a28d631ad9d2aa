#include "numbers.h"

#include <charconv>
#include <cmath>
#include <limits>
#include <string>

namespace {

bool isAsciiDigit(QChar c)
{
    return c >= u'0' && c <= u'9';
}

bool isBlank(QChar c)
{
    return c == u' ' || c == u'\t' || c == u'\n' || c == u'\r';
}

// Decides a number that from_chars reported out of range: either it overflowed or it is
// too small to be told from zero. The digits and exponent are already known to be valid.
double outOfRange(const std::string &digits, bool negative)
{
    const auto ePos = digits.find_first_of("eE");
    const std::string mantissa = digits.substr(0, ePos);
    long long exponent = 0;
    if (ePos != std::string::npos) {
        const std::string e = digits.substr(ePos + 1);
        const bool eNegative = !e.empty() && e.front() == '-';
        for (char c : e) {
            if (c >= '0' && c <= '9' && exponent < 1'000'000'000)
                exponent = exponent * 10 + (c - '0');
        }
        if (eNegative)
            exponent = -exponent;
    }
    // Power of ten of the first significant digit.
    const auto point = mantissa.find('.');
    const std::string whole = mantissa.substr(0, point);
    const auto firstWhole = whole.find_first_not_of('0');
    long long magnitude = 0;
    if (firstWhole != std::string::npos) {
        magnitude = static_cast<long long>(whole.size() - firstWhole) - 1;
    } else if (point != std::string::npos) {
        const std::string fraction = mantissa.substr(point + 1);
        const auto firstFraction = fraction.find_first_not_of('0');
        if (firstFraction == std::string::npos)
            return negative ? -0.0 : 0.0;
        magnitude = -static_cast<long long>(firstFraction) - 1;
    } else {
        return negative ? -0.0 : 0.0;
    }
    if (magnitude + exponent > 0) {
        const double inf = std::numeric_limits<double>::infinity();
        return negative ? -inf : inf;
    }
    return negative ? -0.0 : 0.0;
}

} // namespace

double Val(QStringView text)
{
    qsizetype i = 0;
    const qsizetype n = text.size();
    while (i < n && isBlank(text[i]))
        ++i;

    bool negative = false;
    if (i < n && (text[i] == u'+' || text[i] == u'-')) {
        negative = text[i] == u'-';
        ++i;
    }

    std::string digits;
    bool anyDigit = false;
    while (i < n && isAsciiDigit(text[i])) {
        digits += char(text[i].unicode());
        anyDigit = true;
        ++i;
    }
    if (i < n && text[i] == u'.') {
        digits += '.';
        ++i;
        while (i < n && isAsciiDigit(text[i])) {
            digits += char(text[i].unicode());
            anyDigit = true;
            ++i;
        }
    }
    if (!anyDigit)
        return 0.0;

    // An exponent counts only when digits follow it: "2e" and "2e+" are the number 2.
    if (i < n && (text[i] == u'e' || text[i] == u'E' || text[i] == u'd' || text[i] == u'D')) {
        qsizetype j = i + 1;
        std::string exponent = "e";
        if (j < n && (text[j] == u'+' || text[j] == u'-')) {
            exponent += char(text[j].unicode());
            ++j;
        }
        const qsizetype firstExponentDigit = j;
        while (j < n && isAsciiDigit(text[j])) {
            exponent += char(text[j].unicode());
            ++j;
        }
        if (j > firstExponentDigit)
            digits += exponent;
    }

    double value = 0.0;
    const char *first = digits.data();
    const char *last = first + digits.size();
    const auto [ptr, ec] = std::from_chars(first, last, value, std::chars_format::general);
    if (ec == std::errc::result_out_of_range)
        return outOfRange(digits, negative);
    if (ec != std::errc() || ptr != last)
        return 0.0;
    return negative ? -value : value;
}

QString numberText(double value)
{
    if (value == 0.0)
        return QStringLiteral("0"); // also for -0, which no file is named after
    if (std::isnan(value))
        return QStringLiteral("NaN");
    if (std::isinf(value))
        return value > 0 ? QStringLiteral("Inf") : QStringLiteral("-Inf");
    if (std::fabs(value) < 1e15 && value == std::trunc(value))
        return QString::number(value, 'f', 0);

    // 'g' with 15 digits drops trailing zeros; only the exponent's look needs changing.
    QString text = QString::number(value, 'g', 15);
    const qsizetype e = text.indexOf(u'e');
    if (e >= 0) {
        QString exponent = text.mid(e + 1);
        const QChar sign = exponent.front();
        exponent.remove(0, 1);
        while (exponent.size() > 1 && exponent.front() == u'0')
            exponent.remove(0, 1);
        text = text.left(e) + u'E' + sign + exponent;
    }
    return text;
}
