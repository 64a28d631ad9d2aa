#pragma once

#include <QFont>

struct FontSpec
{
    const char *family;
    double points;
    bool bold;
};

// The window's faces are old Windows ones; elsewhere the nearest sans-serif of the same size
// and weight stands in, a metric-compatible one first.
QFont makeFont(const FontSpec &face);
