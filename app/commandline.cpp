#include "commandline.h"

#include <QCommandLineParser>
#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>

namespace {

const QString kName = QStringLiteral("tarvel-images");

CommandLine fail(const QString &problem)
{
    return {2, {}, kName + QStringLiteral(": ") + problem + u'\n', {}};
}

} // namespace

CommandLine readCommandLine(const QStringList &arguments)
{
    QCommandLineParser parser;
    parser.setApplicationDescription(
        QStringLiteral("Shows the pictures and descriptions of the Tarvel Archipelago."));
    // Options of our own rather than Qt's, whose help adds a --help-all that only an
    // application object could answer.
    const QCommandLineOption help({QStringLiteral("h"), QStringLiteral("help")},
                                  QStringLiteral("Show a summary of the options and exit."));
    const QCommandLineOption version({QStringLiteral("v"), QStringLiteral("version")},
                                     QStringLiteral("Show the version and exit."));
    parser.addOption(help);
    parser.addOption(version);
    parser.addPositionalArgument(
        QStringLiteral("folder"),
        QStringLiteral("The folder that holds the ten topic folders; by default the program's "
                       "own folder, with the sample collection."),
        QStringLiteral("[folder]"));

    if (!parser.parse(arguments))
        return fail(parser.errorText());
    if (parser.isSet(help)) {
        // Qt names the program by however it was started, or not at all before the
        // application object exists; the manual calls it by its installed name.
        QString text = parser.helpText();
        text.replace(0, text.indexOf(u" [options]"), QStringLiteral("Usage: ") + kName);
        return {0, text, {}, {}};
    }
    if (parser.isSet(version))
        return {0, kName + u' ' + QStringLiteral(TARVEL_VERSION) + u'\n', {}, {}};

    const QStringList folders = parser.positionalArguments();
    if (folders.size() > 1)
        return fail(QStringLiteral("one folder at most, not %1: ").arg(folders.size())
                    + folders.join(u' '));
    if (folders.isEmpty())
        return {};
    const QFileInfo folder(folders.first());
    if (!folder.exists())
        return fail(QStringLiteral("no such folder: ") + folders.first());
    if (!folder.isDir())
        return fail(QStringLiteral("not a folder: ") + folders.first());
    return {{}, {}, {}, QDir::cleanPath(folder.absoluteFilePath())};
}

QString CommandLine::folder() const
{
    return collectionDir.isEmpty() ? QCoreApplication::applicationDirPath() : collectionDir;
}
