#pragma once

#include <QString>
#include <QStringView>

// The number the text begins with: optional blanks, sign, digits, a decimal point and an
// exponent; 0 when the text does not begin with a number. Never reads "nan", "inf" or "0x10"
// as anything but 0, and never looks at the locale. A number past the range of a double
// gives +/- infinity, so that callers can tell it from every real picture number.
double leadingNumber(QStringView text);

// The one text form of a number, used for file names and for the number on display alike:
// plain decimal digits for whole numbers below 10^15, a point (never a comma) before a
// fraction, otherwise up to 15 significant digits with an exponent such as "1E+20". Only
// finite numbers name files.
QString numberText(double value);
