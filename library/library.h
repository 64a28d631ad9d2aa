#pragma once

#include "sharedstate.h"
#include "topictable.h"

class TabStrip;

enum class Direction { Backward, Forward };

// Stepping through pictures, switching topics and saving descriptions, over the pages of the
// topic table and the tab strip that holds them.
class Library
{
public:
    Library(TopicTable &topics, TabStrip &SSTab1);

    SharedState &state() { return m_state; }
    const SharedState &state() const { return m_state; }

    // The part of start-up that finds the content: the program's folder becomes the current
    // one and the base of every path, and the first topic is stepped once.
    void start(const QString &appPath);

    // One step of a topic's picture number by its step box's amount, showing the picture and
    // description of the number it arrives at, or those of picture 1 when that fails.
    void Step(TopicRow &topic, Direction direction);

    // The selected page has changed: its folder becomes current and its topic steps forward.
    void switchTopic();

    // Writes the selected page's description to the file of the most recent step's number.
    // False, with the old file untouched, when it cannot.
    bool saveDescription();

private:
    void fallBackToFirst(TopicRow &topic);
    bool showPicture(TopicRow &topic, const QString &path);
    bool showDescription(TopicRow &topic, const QString &path);
    QString pathFor(const QString &numberText, const char *suffix) const;
    void setFolderFromSelectedPage();

    TopicTable &m_topics;
    TabStrip &m_tabs;
    SharedState m_state;
};
