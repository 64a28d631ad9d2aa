#include "collection.h"

#include "numbers.h"

#include <QDir>
#include <QFileInfo>
#include <QFutureWatcher>
#include <QPromise>
#include <QTimer>
#include <cmath>
#include <thread>

namespace {

// A description is prose; a file far larger than any could be would only eat the memory.
constexpr qint64 kLargestDescription = qint64(64) * 1024 * 1024;

QString pathIn(const QString &folder, const QString &number, const char *suffix)
{
    return folder + u'/' + number + QLatin1String(suffix);
}

QString pathIn(const QString &folder, double number, const char *suffix)
{
    return pathIn(folder, numberText(number), suffix);
}

// Stepping past a topic's last number meets no file: that is how a topic ends, not a fault.
// Only a file that is there and still fails is worth a word.
void warnIfPresent(StepResult &result, const char *what, const QString &path, const QString &why)
{
    if (QFileInfo(path).exists())
        result.warnings << QStringLiteral("Cannot show %1 %2: %3")
                               .arg(QLatin1String(what), QDir::toNativeSeparators(path), why);
}

// The files of one step, read on a thread of its own: the picture and description of number,
// or of picture 1 where either fails. The box must not keep another number's text, as a save
// would write it into this number.
StepResult readStep(ReadAhead &pictures, const QString &folder, double number,
                    const QString &notice)
{
    StepResult result;
    const auto showPicture = [&] {
        const QString path = pathIn(folder, number, ".jpg");
        result.picture = pictures.take(path);
        if (result.picture.isNull())
            warnIfPresent(result, "picture", path, result.picture.errorString);
        return !result.picture.isNull();
    };
    const auto readDescription = [&] {
        const QString path = pathIn(folder, number, ".txt");
        QString error;
        const auto bytes = readWholeFile(path, kLargestDescription, &error);
        result.description = bytes ? decodeText(*bytes) : DecodedText();
        if (!bytes)
            warnIfPresent(result, "description", path, error);
        return bytes.has_value();
    };
    const auto fallBack = [&] {
        number = 1.0;
        if (!showPicture())
            result.notice = notice;
    };
    if (!showPicture()) {
        if (number != 1.0)
            fallBack();
        else
            result.notice = notice;
    }
    if (!readDescription() && number != 1.0) {
        fallBack();
        readDescription();
    }
    result.number = number;
    return result;
}

} // namespace

Collection::Collection(const DecodeSettings &settings, QObject *parent)
    : QObject(parent),
      m_pictures(std::make_shared<ReadAhead>(settings)),
      m_answerTimeout(settings.timeout)
{
    for (int topic = 0; topic < kTopicCount; ++topic) {
        auto *deadline = new QTimer(this);
        deadline->setSingleShot(true);
        connect(deadline, &QTimer::timeout, this, [this, topic] { giveUpReading(topic); });
        m_steps.at(std::size_t(topic)).deadline = deadline;
    }
}

// The reads under way end by themselves; nothing waits for them.
Collection::~Collection() = default;

void Collection::open(const QString &folder)
{
    m_folder = folder + u'/';
}

void Collection::setAmountText(int topic, const QString &text)
{
    m_amountTexts.at(std::size_t(topic)) = text;
}

double Collection::numberAfterStep(int topic, Direction direction, const QString &amountText) const
{
    const double number = pictureNumber(topic), amount = leadingNumber(amountText);
    const double next = direction == Direction::Forward ? number + amount : number - amount;
    // A number past the range of a double names no file; it falls back like a missing one.
    return std::isfinite(next) ? next : 1.0;
}

QString Collection::pathAfterStep(int topic, Direction direction) const
{
    return pathIn(folderOf(topic),
                  numberAfterStep(topic, direction, m_amountTexts.at(std::size_t(topic))), ".jpg");
}

void Collection::step(int topic, Direction direction)
{
    Steps &steps = m_steps.at(std::size_t(topic));
    steps.waiting.emplace_back(direction, m_amountTexts.at(std::size_t(topic)));
    if (!steps.reading)
        startNext(topic);
}

void Collection::startNext(int topic)
{
    Steps &steps = m_steps.at(std::size_t(topic));
    if (steps.waiting.empty())
        return;
    const auto [direction, amountText] = steps.waiting.front();
    steps.waiting.pop_front();
    startReading(topic, numberAfterStep(topic, direction, amountText), false);
}

void Collection::startReading(int topic, double number, bool fallingBack)
{
    Steps &steps = m_steps.at(std::size_t(topic));
    steps.number = number;
    steps.fallingBack = fallingBack;
    steps.reading = new QFutureWatcher<StepResult>(this);
    QFutureWatcher<StepResult> *reading = steps.reading;
    connect(reading, &QFutureWatcherBase::finished, this,
            [this, topic, reading] { apply(topic, reading->result()); });
    QPromise<StepResult> promise;
    reading->setFuture(promise.future());
    // A thread of its own, never a pool's: a read that never returns must hold up no other.
    std::thread([promise = std::move(promise), pictures = m_pictures, folder = folderOf(topic),
                 number, notice = noticeFor(topic)]() mutable {
        promise.start();
        promise.addResult(readStep(*pictures, folder, number, notice));
        promise.finish();
    }).detach();
    steps.deadline->start(m_answerTimeout);
}

// A file or a decode that does not answer counts as a picture that cannot be shown: the step
// falls back to picture 1, and where that does not answer either, shows the notice.
void Collection::giveUpReading(int topic)
{
    Steps &steps = m_steps.at(std::size_t(topic));
    delete steps.reading;
    steps.reading = nullptr;
    qWarning("Cannot show picture %s: no answer within %lld ms",
             qPrintable(QDir::toNativeSeparators(pathIn(folderOf(topic), steps.number, ".jpg"))),
             static_cast<long long>(m_answerTimeout.count()));
    if (!steps.fallingBack && steps.number != 1.0) {
        startReading(topic, 1.0, true);
        return;
    }
    StepResult unanswered;
    unanswered.notice = noticeFor(topic);
    apply(topic, unanswered);
}

void Collection::apply(int topic, const StepResult &result)
{
    Steps &steps = m_steps.at(std::size_t(topic));
    steps.deadline->stop();
    if (steps.reading)
        steps.reading->deleteLater();
    steps.reading = nullptr;
    m_pictureNumbers.at(std::size_t(topic)) = result.number;
    m_currentNumberText = numberText(result.number);
    for (const QString &warning : result.warnings)
        qWarning("%s", qPrintable(warning));
    emit stepped(topic, result);
    startNext(topic);
}

QString Collection::folderOf(int topic) const
{
    return m_folder + folderName(QString::fromLatin1(kTopics.at(std::size_t(topic)).caption));
}

QString Collection::noticeFor(int topic) const
{
    return QStringLiteral("Cannot show %1/1.jpg")
        .arg(folderName(QString::fromLatin1(kTopics.at(std::size_t(topic)).caption)));
}

void Collection::selectTopic(int topic)
{
    m_selectedTopic = topic;
}

void Collection::readAhead(int selected, int topics)
{
    QList<ReadAhead::Wanted> wanted;
    for (int i = 0; i < topics; ++i) {
        const int topic = (selected + i) % kTopicCount;
        // Where a step meets no picture, the click shows picture 1 instead.
        const QString first = pathIn(folderOf(topic), 1.0, ".jpg");
        wanted.append({pathAfterStep(topic, Direction::Forward), first});
        if (topic == selected)
            wanted.append({pathAfterStep(topic, Direction::Backward), first});
    }
    m_pictures->prepare(wanted);
}

bool Collection::save(const QString &text, TextForm form) const
{
    // A text that already ends in a line break is saved as it stands, so that saving an
    // unchanged description leaves its file as it was.
    QString line = text;
    if (!line.endsWith(u'\n') && !line.endsWith(u'\r'))
        line += QStringLiteral("\r\n");

    const QString path = pathIn(folderOf(m_selectedTopic), m_currentNumberText, ".txt");
    QString error;
    if (!writeFileAtomically(path, encodeText(line, form), &error)) {
        qWarning("Cannot save description %s: %s", qPrintable(QDir::toNativeSeparators(path)),
                 qPrintable(error));
        return false;
    }
    return true;
}
