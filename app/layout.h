#pragma once

#include "fonts.h"
#include "topictable.h"

#include <array>

// Where everything stands on the window, in twips, and how it looks when the window opens.
namespace layout {

inline constexpr const char *kCaption = "Images of the Tarvel Archipelago";
inline constexpr int kWindowWidthPixels = 800; // frame included
inline constexpr int kWindowHeightPixels = 600;
inline constexpr FontSpec kWindowFont = {"MS Sans Serif", 8.25, false};

struct Box
{
    int left, top, width, height;
};

inline constexpr const char *kTabStripName = "SSTab1";
inline constexpr Box kTabStrip = {0, 0, 11940, 8775};
inline constexpr int kTabHeightPixels = 20;
inline constexpr int kTabStripFocus = 0;

// The seven controls of a page. Every page has the same ones in the same places; only the
// picture's size before its first load differs, and comes from the page table.
enum class Role { Picture, Description, StepBox, Forward, Back, Grow, Shrink };

struct RoleLayout
{
    Role role;
    Box box;
    const char *text;
    FontSpec font;
    const char *accessibleName;
};

inline constexpr FontSpec kBoldButtonFont = {"MS Sans Serif", 8.25, true};

// The picture comes first, so that every other control of its page is drawn over it.
// clang-format off
inline constexpr std::array<RoleLayout, 7> kRoles = {{
    {Role::Picture, {120, 480, 0, 0}, nullptr, kWindowFont, "picture"},
    {Role::Description, {720, 7920, 10215, 615}, "Text1", kWindowFont, "Description"},
    {Role::StepBox, {11520, 480, 255, 285}, "1", kWindowFont, "Step amount"},
    {Role::Forward, {11520, 2280, 255, 375}, ">", kBoldButtonFont, "Next picture"},
    {Role::Back, {11520, 2880, 255, 375}, "<", kBoldButtonFont, "Previous picture"},
    {Role::Grow, {360, 8040, 255, 255}, "^", {"Arial", 12.0, false}, "Taller description"},
    {Role::Shrink, {360, 8280, 255, 255}, "v", {"Arial", 9.75, false}, "Shorter description"},
}};
// clang-format on

// The names of a page's seven controls, by which the window names its widgets.
struct PageNames
{
    const char *picture;
    const char *description;
    const char *stepBox;
    const char *back;
    const char *forward;
    const char *grow;
    const char *shrink;
};

// In tab order.
// clang-format off
inline constexpr std::array<PageNames, kTopicCount> kPageNames = {{
    {"Image1", "Text1", "Text16", "Command1", "Command2", "Label1", "Label2"},
    {"Image2", "Text2", "Text17", "Command3", "Command4", "Label4", "Label3"},
    {"Image3", "Text3", "Text18", "Command5", "Command6", "Label6", "Label5"},
    {"Image4", "Text4", "Text19", "Command7", "Command8", "Label8", "Label7"},
    {"Image14", "Text14", "Text29", "Command27", "Command28", "Label28", "Label27"},
    {"Image6", "Text6", "Text21", "Command11", "Command12", "Label12", "Label11"},
    {"Image13", "Text13", "Text28", "Command25", "Command26", "Label26", "Label25"},
    {"Image8", "Text8", "Text23", "Command15", "Command16", "Label16", "Label15"},
    {"Image9", "Text9", "Text24", "Command17", "Command18", "Label18", "Label17"},
    {"Image12", "Text12", "Text27", "Command23", "Command24", "Label24", "Label23"},
}};
// clang-format on

// Per page: the picture's size before loading and the focus order of the controls that take
// focus (labels and pictures never do).
struct PageLayout
{
    int pictureWidth, pictureHeight;
    bool descriptionEndsWithLineBreak;
    int focusDescription, focusStepBox, focusForward, focusBack;
};

// clang-format off
inline constexpr std::array<PageLayout, kTopicCount> kPages = {{
    {4935, 2895, true, 14, 7, 27, 28},
    {3735, 2415, false, 13, 6, 25, 26},
    {3015, 2175, false, 12, 5, 23, 24},
    {3375, 2295, false, 11, 4, 21, 22},
    {3975, 2415, false, 46, 47, 45, 44},
    {3015, 1695, false, 10, 3, 19, 20},
    {3255, 1815, false, 52, 53, 51, 50},
    {4335, 2175, false, 9, 2, 17, 18},
    {4095, 2055, false, 8, 1, 15, 16},
    {3615, 2295, false, 58, 59, 57, 56},
}};
// clang-format on

// The buttons of the window itself, drawn above the pages.
enum class Action { ToggleSlideshow, ShorterInterval, LongerInterval, SaveDescription };

struct ButtonLayout
{
    Action action;
    const char *name;
    Box box;
    const char *caption;
    FontSpec font;
    bool visible;
    int focus;
    const char *accessibleName;
};

// clang-format off
inline constexpr std::array<ButtonLayout, 4> kWindowButtons = {{
    {Action::ToggleSlideshow, "Command9", {11040, 7920, 735, 495}, "Auto On/ Off", kWindowFont, true, 62,
     "Start or stop the slideshow"},
    {Action::ShorterInterval, "Command10", {11040, 8400, 375, 195}, "-", {"MS Sans Serif", 9.75, false}, false, 63,
     "Shorter interval"},
    {Action::LongerInterval, "Command13", {11400, 8400, 375, 195}, "+", kWindowFont, false, 64, "Longer interval"},
    {Action::SaveDescription, "Command31", {11280, 840, 615, 615}, "save text", kWindowFont, false, 43,
     "Save the description"},
}};
// clang-format on

inline constexpr int kLightGrey = 192;
inline constexpr const char *kTimerName = "Timer1";

} // namespace layout
