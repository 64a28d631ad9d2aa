#include "collection.h"

#include "numbers.h"

#include <QDir>
#include <QFileInfo>
#include <cmath>

namespace {

// A description is prose; a file far larger than any could be would only eat the memory.
constexpr qint64 kLargestDescription = qint64(64) * 1024 * 1024;

// Stepping past a topic's last number meets no file: that is how a topic ends, not a fault.
// Only a file that is there and still fails is worth a word.
void warnIfPresent(const char *what, const QString &path, const QString &why)
{
    if (QFileInfo(path).exists())
        qWarning("Cannot show %s %s: %s", what, qPrintable(QDir::toNativeSeparators(path)),
                 qPrintable(why));
}

} // namespace

Collection::Collection(QSize visibleArea, const QColorSpace &screen)
    : m_pictures(std::make_unique<ReadAhead>(visibleArea, screen))
{
}

void Collection::open(const QString &folder)
{
    m_folder = folder + u'/';
}

QString Collection::pathFor(int topic, const QString &numberText, const char *suffix) const
{
    return folderOf(topic) + u'/' + numberText + QLatin1String(suffix);
}

StepResult Collection::step(int topic, Direction direction, const QString &amountText)
{
    double &number = m_pictureNumbers.at(std::size_t(topic));
    const double amount = leadingNumber(amountText);
    number = direction == Direction::Forward ? number + amount : number - amount;
    m_currentNumberText = numberText(number);

    StepResult result;
    // A number past the range of a double names no file; it falls back like a missing one.
    if (!std::isfinite(number) || !fillPicture(topic, m_currentNumberText, result))
        fallBackToFirst(topic, result);
    // The box must not keep another number's text: a save would write it into this number.
    if (!fillDescription(topic, m_currentNumberText, result) && number != 1.0) {
        fallBackToFirst(topic, result);
        fillDescription(topic, m_currentNumberText, result);
    }
    return result;
}

void Collection::fallBackToFirst(int topic, StepResult &result)
{
    m_pictureNumbers.at(std::size_t(topic)) = 1.0;
    m_currentNumberText = numberText(1.0);
    if (!fillPicture(topic, m_currentNumberText, result)) {
        result.notice =
            QStringLiteral("Cannot show %1/1.jpg")
                .arg(folderName(QString::fromLatin1(kTopics.at(std::size_t(topic)).caption)));
    }
}

bool Collection::fillPicture(int topic, const QString &numberText, StepResult &result) const
{
    const QString path = pathFor(topic, numberText, ".jpg");
    result.picture = m_pictures->take(path);
    if (result.picture.isNull())
        warnIfPresent("picture", path, result.picture.errorString);
    return !result.picture.isNull();
}

bool Collection::fillDescription(int topic, const QString &numberText, StepResult &result) const
{
    const QString path = pathFor(topic, numberText, ".txt");
    QString error;
    const auto bytes = readWholeFile(path, kLargestDescription, &error);
    result.description = bytes ? decodeText(*bytes) : DecodedText();
    if (!bytes)
        warnIfPresent("description", path, error);
    return bytes.has_value();
}

QString Collection::folderOf(int topic) const
{
    return m_folder + folderName(QString::fromLatin1(kTopics.at(std::size_t(topic)).caption));
}

void Collection::selectTopic(int topic)
{
    m_selectedTopic = topic;
}

void Collection::readAhead(int selected, const std::array<QString, kTopicCount> &amountTexts,
                           int topics)
{
    QStringList paths;
    for (int i = 0; i < topics; ++i) {
        const int topic = (selected + i) % kTopicCount;
        const double amount = leadingNumber(amountTexts.at(std::size_t(topic)));
        const double number = pictureNumber(topic);
        for (const double next : {number + amount, number - amount}) {
            // Where a step meets no picture, the click shows picture 1 instead.
            const QString path = pathFor(topic, numberText(next), ".jpg");
            paths << (std::isfinite(next) && QFileInfo::exists(path)
                          ? path
                          : pathFor(topic, numberText(1.0), ".jpg"));
            if (topic != selected)
                break; // a page is entered by stepping forward
        }
    }
    m_pictures->prepare(paths);
}

bool Collection::save(const QString &text, TextForm form) const
{
    // A text that already ends in a line break is saved as it stands, so that saving an
    // unchanged description leaves its file as it was.
    QString line = text;
    if (!line.endsWith(u'\n') && !line.endsWith(u'\r'))
        line += QStringLiteral("\r\n");

    const QString path = pathFor(m_selectedTopic, m_currentNumberText, ".txt");
    QString error;
    if (!writeFileAtomically(path, encodeText(line, form), &error)) {
        qWarning("Cannot save description %s: %s", qPrintable(QDir::toNativeSeparators(path)),
                 qPrintable(error));
        return false;
    }
    return true;
}
