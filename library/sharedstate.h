#pragma once

#include "numbers.h"
#include "topictable.h"

#include <QString>
#include <array>

// What the handlers share for the whole run; created empty, never saved.
struct SharedState
{
    QString BaseDir;       // the program's folder followed by a separator
    QString CurrentFolder; // BaseDir and the selected page's folder, no trailing separator
    std::array<LooseNumber, kTopicCount> PictureNumber;
    QString CurrentNumberText; // the number the most recent step of any topic arrived at
    LooseNumber SlideInterval;
};
