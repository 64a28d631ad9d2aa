#include "collection.h"
#include "library.h"
#include "resizing.h"
#include "slideshow.h"

#include <QDir>
#include <QFile>
#include <QRegularExpression>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>

namespace {

// "rm 3.txt;junk 3.jpg;...": what a user did to the folder by hand.
void damage(const QString &folder, const QString &script)
{
    for (const QString &command : script.split(u';', Qt::SkipEmptyParts)) {
        const QString verb = command.section(u' ', 0, 0);
        const QString path = folder + u'/' + command.section(u' ', 1);
        QFile::remove(path);
        if (verb == u"junk")
            testdata::writeBytes(path, QByteArray(5000, '\x5a'));
        else if (verb == u"dir")
            QDir().mkpath(path);
        else if (verb == u"copy")
            QFile::copy(folder + QStringLiteral("/5") + path.mid(path.lastIndexOf(u'.')), path);
        else if (QFile huge(path); verb == u"huge" && huge.open(QIODevice::WriteOnly))
            huge.resize(qint64(64) * 1024 * 1024 + 1); // sparse: costs nothing
    }
}

} // namespace

// The widget-free core: stepping and saving over a topic folder holding pictures and
// descriptions 1 to 5 (picture N is 121 + N pixels wide), the resize rules, the slideshow.
class TestCore : public QObject
{
    Q_OBJECT

    QTemporaryDir m_dir;
    Library m_library{QSize(788, 553)};

private slots:
    void init()
    {
        QDir(m_dir.filePath(QStringLiteral("Maps"))).removeRecursively();
        testdata::makeTopic(m_dir.path(), QStringLiteral("Maps"), 5);
        m_library = Library(QSize(788, 553));
        m_library.start(m_dir.path());
        m_library.selectTopic(0);
    }

    void step_data()
    {
        QTest::addColumn<QString>("damaged");
        QTest::addColumn<int>("from");
        QTest::addColumn<QString>("press"); // the button, then the step box's text
        QTest::addColumn<QString>("shows"); // number; picture or "-" for a notice; description
        QTest::addColumn<QString>("warning");
        // clang-format off
        QTest::newRow("forward") << "" << 1 << ">1" << "2 2 2" << "";
        QTest::newRow("past the last") << "" << 5 << ">1" << "1 1 1" << "";
        QTest::newRow("below the first") << "" << 1 << "<1" << "1 1 1" << "";
        QTest::newRow("0.jpg is a picture") << "copy 0.jpg;copy 0.txt" << 1 << "<1" << "0 5 5" << "";
        QTest::newRow("amount past the last") << "" << 4 << ">3" << "1 1 1" << "";
        QTest::newRow("negative amount") << "" << 3 << ">-1" << "2 2 2" << "";
        QTest::newRow("letters: no move") << "" << 3 << "<abc" << "3 3 3" << "";
        QTest::newRow("half a step") << "" << 1 << ">0.5" << "1 1 1" << "";
        QTest::newRow("half a step to a file") << "copy 1.5.jpg;copy 1.5.txt" << 1 << ">0.5" << "1.5 5 5" << "";
        QTest::newRow("gap") << "rm 3.jpg;rm 3.txt" << 2 << ">1" << "1 1 1" << "";
        QTest::newRow("over the gap") << "rm 3.jpg;rm 3.txt" << 2 << ">2" << "4 4 4" << "";
        QTest::newRow("description missing") << "rm 3.txt" << 2 << ">1" << "1 1 1" << "";
        QTest::newRow("picture damaged") << "junk 3.jpg" << 2 << ">1" << "1 1 1" << "picture .*3.jpg";
        QTest::newRow("description a folder") << "dir 3.txt" << 2 << ">1" << "1 1 1" << "description .*3.txt: is not a plain file";
        QTest::newRow("description too large") << "huge 3.txt" << 2 << ">1" << "1 1 1" << "3.txt: 67108865 bytes";
        QTest::newRow("description 1 missing") << "rm 1.txt" << 5 << ">1" << "1 1 0" << "";
        QTest::newRow("picture 1 missing") << "rm 1.jpg" << 5 << ">1" << "1 - 1" << "";
        QTest::newRow("past a double's range") << "" << 1 << ">1e400" << "1 1 1" << "";
        // clang-format on
    }

    // A step ends a topic quietly where the next number has no file, and warns only where a
    // file is there and still fails.
    void step()
    {
        QFETCH(QString, damaged);
        QFETCH(int, from);
        QFETCH(QString, press);
        QFETCH(QString, shows);
        QFETCH(QString, warning);
        damage(m_dir.filePath(QStringLiteral("Maps")), damaged);
        m_library.step(0, Direction::Forward, QString::number(from));
        if (warning.isEmpty())
            QTest::failOnWarning(QRegularExpression(QStringLiteral(".")));
        else
            QTest::ignoreMessage(QtWarningMsg, QRegularExpression(warning));

        const Shown shown = m_library.step(
            0, press.front() == u'>' ? Direction::Forward : Direction::Backward, press.mid(1));
        const QStringList want = shows.split(u' ');
        QCOMPARE(m_library.currentNumberText(), want[0]);
        QCOMPARE(m_library.pictureNumber(0), want[0].toDouble());
        QCOMPARE(shown.picture.isNull() ? QStringLiteral("-")
                                        : QString::number(shown.picture.fullSize.width() - 121),
                 want[1]);
        QCOMPARE(shown.notice, shown.picture.isNull() ? u"Cannot show Maps/1.jpg"_qs : QString());
        QCOMPARE(shown.description.text.toLatin1(),
                 want[2] == u"0"
                     ? ""
                     : testdata::descriptionBytes(QStringLiteral("Maps"), want[2].toInt()));
    }

    void save_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<TextForm>("form");
        QTest::addColumn<QByteArray>("bytes"); // empty: the save fails
        // clang-format off
        QTest::newRow("a line break added") << "a\r\nb" << TextForm::Windows1252 << QByteArray("a\r\nb\r\n");
        QTest::newRow("ends in one already") << "a\n" << TextForm::Windows1252 << QByteArray("a\n");
        QTest::newRow("ends in CR") << "a\r" << TextForm::Windows1252 << QByteArray("a\r");
        QTest::newRow("empty") << "" << TextForm::Windows1252 << QByteArray("\r\n");
        QTest::newRow("Windows-1252") << u"Mór 中\u0080"_qs << TextForm::Windows1252 << QByteArray("M\xf3r ??\r\n");
        QTest::newRow("UTF-8") << u"Mór"_qs << TextForm::Utf8 << QByteArray("M\xc3\xb3r\r\n");
        QTest::newRow("target is a folder") << "x" << TextForm::Utf8 << QByteArray();
        // clang-format on
    }

    // A save writes the file of the number the most recent step arrived at, or nothing at all.
    void save()
    {
        QFETCH(QString, text);
        QFETCH(TextForm, form);
        QFETCH(QByteArray, bytes);
        m_library.step(0, Direction::Forward, QStringLiteral("2"));
        const QString path = m_dir.filePath(QStringLiteral("Maps/2.txt"));
        if (bytes.isEmpty()) {
            QFile::remove(path);
            QDir().mkpath(path);
            QTest::ignoreMessage(QtWarningMsg, QRegularExpression(QStringLiteral("2.txt")));
        }
        QCOMPARE(m_library.save(text, form), !bytes.isEmpty());
        QFile file(path);
        QCOMPARE(file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray(), bytes);
    }

    void resize_data()
    {
        QTest::addColumn<bool>("grow");
        QTest::addColumn<QRectF>("box");
        QTest::addColumn<QRectF>("after");
        const QRectF atLoad(720, 7920, 10215, 615);
        // clang-format off
        QTest::newRow("grow") << true << atLoad << QRectF(720, 7620, 10215, 915);
        QTest::newRow("grow past the top") << true << QRectF(0, 120, 9, 8415) << QRectF(0, -180, 9, 8715);
        QTest::newRow("grow at the top limit") << true << QRectF(0, -16777000, 9, 300) << QRectF(0, -16777000, 9, 300);
        QTest::newRow("shrink") << false << atLoad << QRectF(720, 8220, 10215, 315);
        QTest::newRow("shrink 601") << false << QRectF(0, 0, 9, 601) << QRectF(0, 300, 9, 301);
        QTest::newRow("600 stays") << false << QRectF(0, 0, 9, 600) << QRectF(0, 0, 9, 600);
        // clang-format on
    }

    void resize()
    {
        QFETCH(bool, grow);
        QFETCH(QRectF, box);
        QFETCH(QRectF, after);
        QCOMPARE(grow ? grown(box) : shrunk(box), after);
    }

    void hops_data()
    {
        QTest::addColumn<QList<float>>("draws");
        QTest::addColumn<QList<int>>("pages");
        QTest::newRow("first never to page 0") << QList<float>{0.05f, 0.0f, 0.42f} << QList{4};
        QTest::newRow("never the same twice") << QList<float>{0.3f, 0.35f, 0.0f} << QList{3, 0};
        QTest::newRow("a draw just below 1") << QList<float>{0.99999994f} << QList{9};
        QTest::newRow("back to an earlier page")
            << QList<float>{0.7f, 0.1f, 0.7f} << QList{7, 1, 7};
    }

    // Each tick takes draws until one differs from the page it hopped to last.
    void hops()
    {
        QFETCH(QList<float>, draws);
        QFETCH(QList<int>, pages);
        Slideshow show([&draws] { return draws.takeFirst(); });
        QSignalSpy hopped(&show, &Slideshow::hopped);
        QList<int> seen;
        while (!draws.isEmpty()) {
            show.tick();
            seen << hopped.takeFirst().at(0).toInt();
        }
        QCOMPARE(seen, pages);
    }
};

QTEST_GUILESS_MAIN(TestCore)
#include "tst_core.moc"
