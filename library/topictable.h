#pragma once

#include <QString>
#include <array>

// One topic of the collection: its page's caption, which also names its folder.
struct Topic
{
    const char *caption;
};

inline constexpr int kTopicCount = 10;

// In tab order.
inline constexpr std::array<Topic, kTopicCount> kTopics = {{
    {"Maps, Aerials"},
    {"Settlements"},
    {"Plants"},
    {"Shores, geology"},
    {"Pelmora"},
    {"Birds"},
    {"Fish"},
    {"Expeditions"},
    {"Science"},
    {"Marine life"},
}};

// A topic's folder is named by the first four characters of its caption, all of it when
// shorter.
inline QString folderName(const QString &caption)
{
    return caption.left(4);
}
