#pragma once

#include <QString>
#include <array>

class ClickLabel;
class CommandButton;
class DescriptionBox;
class ImageControl;
class QLineEdit;

// The names of one topic's page and controls, as the window is built from them.
struct TopicNames
{
    int tab;
    const char *caption;
    int slot; // the topic's entry in PictureNumber
    const char *picture;
    const char *description;
    const char *stepBox;
    const char *back;
    const char *forward;
    const char *grow;
    const char *shrink;
};

inline constexpr int kTopicCount = 10;

// In tab order. The slots follow the numbering of the buttons, not the tabs.
// clang-format off
inline constexpr std::array<TopicNames, kTopicCount> kTopicNames = {{
    {0, "Maps, Aerials", 0, "Image1", "Text1", "Text16", "Command1", "Command2", "Label1", "Label2"},
    {1, "Settlements", 1, "Image2", "Text2", "Text17", "Command3", "Command4", "Label4", "Label3"},
    {2, "Plants", 2, "Image3", "Text3", "Text18", "Command5", "Command6", "Label6", "Label5"},
    {3, "Shores, geology", 3, "Image4", "Text4", "Text19", "Command7", "Command8", "Label8", "Label7"},
    {4, "Pelmora", 9, "Image14", "Text14", "Text29", "Command27", "Command28", "Label28", "Label27"},
    {5, "Birds", 4, "Image6", "Text6", "Text21", "Command11", "Command12", "Label12", "Label11"},
    {6, "Fish", 8, "Image13", "Text13", "Text28", "Command25", "Command26", "Label26", "Label25"},
    {7, "Expeditions", 5, "Image8", "Text8", "Text23", "Command15", "Command16", "Label16", "Label15"},
    {8, "Science", 6, "Image9", "Text9", "Text24", "Command17", "Command18", "Label18", "Label17"},
    {9, "Marine life", 7, "Image12", "Text12", "Text27", "Command23", "Command24", "Label24", "Label23"},
}};
// clang-format on

// A topic folder is named by the first four characters of its caption, all of it when shorter.
QString folderName(const QString &caption);

// One page: its topic and the seven controls that act on it.
struct TopicRow
{
    const TopicNames *names = nullptr;
    QString caption;

    ImageControl *picture = nullptr;       // PicturePane
    DescriptionBox *description = nullptr; // DescriptionBox
    QLineEdit *stepBox = nullptr;          // StepBox
    CommandButton *back = nullptr;         // "<"
    CommandButton *forward = nullptr;      // ">"
    ClickLabel *grow = nullptr;            // "^"
    ClickLabel *shrink = nullptr;          // "v"

    int slot() const { return names->slot; }
};

class TopicTable
{
public:
    TopicTable();

    TopicRow &row(int tab) { return m_rows.at(std::size_t(tab)); }
    const TopicRow &row(int tab) const { return m_rows.at(std::size_t(tab)); }
    auto begin() { return m_rows.begin(); }
    auto end() { return m_rows.end(); }

    // The rows in the order that the caption comparisons run: the order of their slots.
    std::array<TopicRow *, kTopicCount> bySlot();

private:
    std::array<TopicRow, kTopicCount> m_rows;
};
