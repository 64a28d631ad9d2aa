#include "library.h"

#include "controls.h"
#include "pictureloader.h"
#include "tabstrip.h"
#include "textfile.h"

#include <QDir>
#include <QLineEdit>
#include <cmath>

namespace {

QString shown(const QString &path)
{
    return QDir::toNativeSeparators(path);
}

} // namespace

Library::Library(TopicTable &topics, TabStrip &SSTab1) : m_topics(topics), m_tabs(SSTab1) {}

void Library::start(const QString &appPath)
{
    if (!QDir::setCurrent(appPath))
        qWarning("Cannot make %s the current folder", qPrintable(shown(appPath)));
    m_state.BaseDir = appPath + u'/';
    setFolderFromSelectedPage();
    m_topics.row(0).forward->setValue(true);
}

void Library::setFolderFromSelectedPage()
{
    m_state.CurrentFolder = m_state.BaseDir + folderName(m_tabs.Caption());
}

QString Library::pathFor(const QString &numberText, const char *suffix) const
{
    return m_state.CurrentFolder + u'/' + numberText + QLatin1String(suffix);
}

void Library::Step(TopicRow &topic, Direction direction)
{
    LooseNumber &entry = m_state.PictureNumber.at(std::size_t(topic.slot()));
    const double amount = Val(topic.stepBox->text());
    const double next =
        direction == Direction::Forward ? entry.toDouble() + amount : entry.toDouble() - amount;
    entry = LooseNumber::real(next);
    m_state.CurrentNumberText = numberText(next);

    // A number past the range of a double names no file; it falls back like a missing one.
    const bool loaded =
        std::isfinite(next) && showPicture(topic, pathFor(numberText(next), ".jpg"));
    if (!loaded)
        fallBackToFirst(topic);
    if (showDescription(topic, pathFor(m_state.CurrentNumberText, ".txt")))
        return;

    // The box must not keep another number's text: a save would write it into this number.
    if (entry.toDouble() == 1.0) {
        entry = LooseNumber::integer(1);
        topic.description->setText(QString());
        return;
    }
    fallBackToFirst(topic);
    if (!showDescription(topic, pathFor(m_state.CurrentNumberText, ".txt")))
        topic.description->setText(QString());
}

void Library::fallBackToFirst(TopicRow &topic)
{
    m_state.PictureNumber.at(std::size_t(topic.slot())) = LooseNumber::integer(1);
    m_state.CurrentNumberText = numberText(1);
    if (!showPicture(topic, pathFor(m_state.CurrentNumberText, ".jpg"))) {
        const QString name = folderName(topic.caption) + QStringLiteral("/1.jpg");
        topic.picture->showNotice(QStringLiteral("Cannot show %1").arg(name));
    }
}

bool Library::showPicture(TopicRow &topic, const QString &path)
{
    const LoadedPicture picture = LoadPicture(path, topic.picture->visibleArea());
    if (picture.isNull()) {
        qWarning("Cannot show picture %s: %s", qPrintable(shown(path)),
                 qPrintable(picture.errorString));
        return false;
    }
    topic.picture->setPicture(picture);
    return true;
}

bool Library::showDescription(TopicRow &topic, const QString &path)
{
    QString error;
    const auto bytes = readWholeFile(path, &error);
    if (!bytes) {
        qWarning("Cannot read description %s: %s", qPrintable(shown(path)), qPrintable(error));
        return false;
    }
    const DecodedText decoded = decodeText(*bytes);
    topic.description->setText(decoded.text, decoded.form);
    return true;
}

void Library::switchTopic()
{
    setFolderFromSelectedPage();
    for (TopicRow *topic : m_topics.bySlot()) {
        if (m_tabs.Caption() == topic->caption)
            topic->forward->setValue(true);
    }
}

bool Library::saveDescription()
{
    QString text;
    TextForm form = TextForm::Windows1252;
    for (TopicRow *topic : m_topics.bySlot()) {
        if (m_tabs.Caption() == topic->caption) {
            text = topic->description->Text();
            form = topic->description->textForm();
        }
    }
    // A text that already ends in a line break is saved as it stands, so that saving an
    // unchanged description leaves its file as it was.
    if (!text.endsWith(u'\n') && !text.endsWith(u'\r'))
        text += QStringLiteral("\r\n");

    const QString path = pathFor(m_state.CurrentNumberText, ".txt");
    QString error;
    if (!writeFileAtomically(path, encodeText(text, form), &error)) {
        qWarning("Cannot save description %s: %s", qPrintable(shown(path)), qPrintable(error));
        return false;
    }
    return true;
}
