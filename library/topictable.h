#pragma once

#include <QString>
#include <array>

// One topic: its page's caption and the names of the page's seven controls, by which the
// window names its widgets.
struct Topic
{
    const char *caption;
    const char *picture;
    const char *description;
    const char *stepBox;
    const char *back;
    const char *forward;
    const char *grow;
    const char *shrink;
};

inline constexpr int kTopicCount = 10;

// In tab order.
// clang-format off
inline constexpr std::array<Topic, kTopicCount> kTopics = {{
    {"Maps, Aerials", "Image1", "Text1", "Text16", "Command1", "Command2", "Label1", "Label2"},
    {"Settlements", "Image2", "Text2", "Text17", "Command3", "Command4", "Label4", "Label3"},
    {"Plants", "Image3", "Text3", "Text18", "Command5", "Command6", "Label6", "Label5"},
    {"Shores, geology", "Image4", "Text4", "Text19", "Command7", "Command8", "Label8", "Label7"},
    {"Pelmora", "Image14", "Text14", "Text29", "Command27", "Command28", "Label28", "Label27"},
    {"Birds", "Image6", "Text6", "Text21", "Command11", "Command12", "Label12", "Label11"},
    {"Fish", "Image13", "Text13", "Text28", "Command25", "Command26", "Label26", "Label25"},
    {"Expeditions", "Image8", "Text8", "Text23", "Command15", "Command16", "Label16", "Label15"},
    {"Science", "Image9", "Text9", "Text24", "Command17", "Command18", "Label18", "Label17"},
    {"Marine life", "Image12", "Text12", "Text27", "Command23", "Command24", "Label24", "Label23"},
}};
// clang-format on

// A topic's folder is named by the first four characters of its caption, all of it when
// shorter.
inline QString folderName(const QString &caption)
{
    return caption.left(4);
}
