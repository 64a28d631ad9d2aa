#include "commandline.h"

#include <QtTest>

using namespace Qt::StringLiterals;

// What the command line asks for, answered before the window needs a display; a mistake is
// told in one line that names the program.
class TestCommandLine : public QObject
{
    Q_OBJECT
    QTemporaryDir m_dir;

private slots:
    void commandLine_data()
    {
        QTest::addColumn<QStringList>("arguments");
        QTest::addColumn<int>("exitCode");    // -1: the window opens
        QTest::addColumn<QString>("printed"); // its first line, ended; on standard error for code 2
        QTest::addColumn<QString>("folder");  // where the collection is read from
        const QString dir = m_dir.path(), none = dir + u"/none"_s, file = dir + u"/1.txt"_s;
        QFile(file).open(QIODevice::WriteOnly); // a file where a folder is asked for
        // clang-format off
        QTest::newRow("no folder: the program's own") << QStringList{} << -1 << "" << "";
        QTest::newRow("a folder") << QStringList{dir} << -1 << "" << dir;
        QTest::newRow("relative") << QStringList{QDir::current().relativeFilePath(dir) + u'/'} << -1 << "" << dir;
        QTest::newRow("missing") << QStringList{none} << 2 << "tarvel-images: no such folder: " + none + "\n" << "";
        QTest::newRow("a file") << QStringList{file} << 2 << "tarvel-images: not a folder: " + file + "\n" << "";
        QTest::newRow("unknown option") << QStringList{"--fast", dir} << 2 << "tarvel-images: Unknown option 'fast'.\n" << "";
        QTest::newRow("help") << QStringList{"--help"} << 0 << "Usage: tarvel-images [options] [folder]\n" << "";
        QTest::newRow("version") << QStringList{"-v"} << 0 << "tarvel-images " TARVEL_VERSION "\n" << "";
        // clang-format on
    }

    void commandLine()
    {
        QFETCH(QStringList, arguments);
        QFETCH(int, exitCode);
        QFETCH(QString, printed);
        QFETCH(QString, folder);
        const CommandLine line = readCommandLine(QStringList{"tarvel-images"} + arguments);
        QCOMPARE(line.exitCode.value_or(-1), exitCode);
        QCOMPARE(line.folder(), folder.isEmpty() ? QCoreApplication::applicationDirPath() : folder);
        const QString &said = exitCode == 2 ? line.err : line.out;
        QCOMPARE(exitCode == 2 ? line.out : line.err, QString());
        // A mistake is told in one line; what is asked for begins with its first line.
        QCOMPARE(exitCode == 2 ? said : said.left(printed.size()), printed);
    }
};

QTEST_GUILESS_MAIN(TestCommandLine)
#include "tst_commandline.moc"
