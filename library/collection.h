#pragma once

#include "pictureloader.h"
#include "readahead.h"
#include "textfile.h"
#include "topictable.h"

#include <QSize>
#include <QString>
#include <array>
#include <memory>

enum class Direction { Backward, Forward };

// What a step hands its page to show.
struct StepResult
{
    LoadedPicture picture;   // null when not even picture 1 could be shown
    QString notice;          // what the picture area says instead
    DecodedText description; // empty when no description could be read
};

// The collection's state for the whole run: which topic is selected, where each topic has
// stepped to, and the number the most recent step arrived at. Created empty, never saved.
class Collection
{
public:
    // Pictures are decoded only as far as a page of visibleArea pixels can show them, and shown
    // in the screen's colour space.
    explicit Collection(QSize visibleArea,
                        const QColorSpace &screen = QColorSpace(QColorSpace::SRgb));

    // The collection lives in folder.
    void open(const QString &folder);

    // One step of a topic's picture number by amountText, giving the picture and description
    // of the number it arrives at, or those of picture 1 when that fails.
    StepResult step(int topic, Direction direction, const QString &amountText);

    // A topic's page is selected: a save writes to its folder.
    void selectTopic(int topic);

    // Reads ahead, off this thread, the pictures that the next clicks most likely show: the
    // selected topic's one step either way and every other topic's next one, each by the amount
    // its page's step box holds, or picture 1 where a step meets no picture; of the topics from
    // the selected one on, as many as given.
    void readAhead(int selected, const std::array<QString, kTopicCount> &amountTexts,
                   int topics = kTopicCount);

    // Writes a description to the selected topic's file of the most recent step's number.
    // False, with the old file untouched, when it cannot.
    bool save(const QString &text, TextForm form) const;

    QString currentNumberText() const { return m_currentNumberText; }
    double pictureNumber(int topic) const { return m_pictureNumbers.at(std::size_t(topic)); }
    const ReadAhead &pictures() const { return *m_pictures; }

private:
    void fallBackToFirst(int topic, StepResult &result);
    bool fillPicture(int topic, const QString &numberText, StepResult &result) const;
    bool fillDescription(int topic, const QString &numberText, StepResult &result) const;
    QString pathFor(int topic, const QString &numberText, const char *suffix) const;
    QString folderOf(int topic) const;

    std::unique_ptr<ReadAhead> m_pictures;
    QString m_folder;
    int m_selectedTopic = 0; // whose folder a save writes to
    QString m_currentNumberText;
    std::array<double, kTopicCount> m_pictureNumbers{}; // 0 until a topic's first step
};
