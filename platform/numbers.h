#pragma once

#include <QString>
#include <QStringView>

// The number of the text's beginning: optional blanks, sign, digits, a decimal point and an
// exponent. 0 when the text does not begin with a number. Never reads "nan", "inf" or "0x10"
// as anything but 0, and never looks at the locale. A number past the range of a double
// gives +/- infinity so that callers can tell it from every real picture number.
double Val(QStringView text);

// The one text form of a number, used for file names and for the number on display alike:
// plain decimal digits for whole numbers below 10^15, a point (never a comma) before a
// fraction, otherwise up to 15 significant digits with an exponent such as "1E+20".
QString numberText(double value);

// A value that may be empty, as the shared counters are before their first use. Empty counts
// as 0 in arithmetic and comparisons.
class LooseNumber
{
public:
    enum class Kind { Empty, Integer, Single, Double };

    LooseNumber() = default;
    static LooseNumber integer(int value) { return {Kind::Integer, double(value)}; }
    static LooseNumber single(float value) { return {Kind::Single, value}; }
    static LooseNumber real(double value) { return {Kind::Double, value}; }

    Kind kind() const { return m_kind; }
    bool isEmpty() const { return m_kind == Kind::Empty; }
    double toDouble() const { return m_value; }

    friend bool operator==(const LooseNumber &a, const LooseNumber &b)
    {
        return a.m_value == b.m_value;
    }

private:
    LooseNumber(Kind kind, double value) : m_kind(kind), m_value(value) {}

    Kind m_kind = Kind::Empty;
    double m_value = 0.0;
};
