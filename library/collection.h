#pragma once

#include "pictureloader.h"
#include "readahead.h"
#include "textfile.h"
#include "topictable.h"

#include <QObject>
#include <QString>
#include <QStringList>
#include <array>
#include <chrono>
#include <deque>
#include <memory>

enum class Direction { Backward, Forward };

// What a step hands its page to show.
struct StepResult
{
    LoadedPicture picture;   // null when not even picture 1 could be shown
    QString notice;          // what the picture area says instead
    DecodedText description; // empty when no description could be read
    double number = 1.0;     // the picture number the step arrived at
    QStringList warnings;    // said once the step is handed over, not by a read given up on
};

template<typename T> class QFutureWatcher;
class QTimer;

// The collection's state for the whole run: which topic is selected, where each topic has
// stepped to, and the number the most recent step arrived at. Created empty, never saved. Every
// file is read off the calling thread, so that a share that stops answering holds up no caller.
class Collection : public QObject
{
    Q_OBJECT

public:
    explicit Collection(const DecodeSettings &settings, QObject *parent = nullptr);
    ~Collection() override;

    // The collection lives in folder.
    void open(const QString &folder);

    // What a topic's step box holds: its steps move by the number the text begins with.
    void setAmountText(int topic, const QString &text);

    // Asks for one step of a topic's picture number. stepped() hands the picture and
    // description of the number it arrives at, or those of picture 1 when that fails, once they
    // are read; a topic's steps are handed in the order asked, each from where the one before
    // arrived. Files that do not answer within the settings' timeout count as ones that fail.
    void step(int topic, Direction direction);

    // The picture a step of a topic leads to from where the topic stands, before any fallback.
    QString pathAfterStep(int topic, Direction direction) const;

    // A topic's page is selected: a save writes to its folder.
    void selectTopic(int topic);

    // Reads ahead, off this thread, the pictures that the next clicks most likely show: the
    // selected topic's one step either way and every other topic's next one, or picture 1 where
    // a step meets no picture; of the topics from the selected one on, as many as given.
    void readAhead(int selected, int topics = kTopicCount);

    // Writes a description to the selected topic's file of the most recent step's number.
    // False, with the old file untouched, when it cannot.
    bool save(const QString &text, TextForm form) const;

    QString currentNumberText() const { return m_currentNumberText; }
    double pictureNumber(int topic) const { return m_pictureNumbers.at(std::size_t(topic)); }
    const ReadAhead &pictures() const { return *m_pictures; }

signals:
    void stepped(int topic, const StepResult &result);

private:
    // A topic's steps: the one being read, and those asked for since.
    struct Steps
    {
        std::deque<std::pair<Direction, QString>> waiting; // with the amount each was asked by
        QFutureWatcher<StepResult> *reading = nullptr;
        QTimer *deadline = nullptr;
        double number = 1.0; // the one being read
        bool fallingBack = false;
    };

    double numberAfterStep(int topic, Direction direction, const QString &amountText) const;
    void startNext(int topic);
    void startReading(int topic, double number, bool fallingBack);
    void giveUpReading(int topic);
    void apply(int topic, const StepResult &result);
    QString folderOf(int topic) const;
    QString noticeFor(int topic) const;

    std::shared_ptr<ReadAhead> m_pictures; // shared with the reads under way, which may outlive it
    QString m_folder;
    int m_selectedTopic = 0; // whose folder a save writes to
    QString m_currentNumberText;
    std::array<double, kTopicCount> m_pictureNumbers{}; // 0 until a topic's first step
    std::array<QString, kTopicCount> m_amountTexts;
    std::array<Steps, kTopicCount> m_steps;
    const std::chrono::milliseconds m_answerTimeout;
};
