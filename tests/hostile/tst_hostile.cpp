#include "collection.h"
#include "controls.h"
#include "form1.h"
#include "hostilefiles.h"
#include "tabstrip.h"
#include "textfile.h"

#include <QColor>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QLineEdit>
#include <QTemporaryDir>
#include <QTest>
#include <atomic>
#include <chrono>
#include <memory>
#include <thread>

#ifdef Q_OS_UNIX
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#endif

using hostile::fromWindows1252;

namespace {

// Test pictures are 121 + N pixels wide, so the width on display names the picture.
int widthOf(int number)
{
    return 121 + number;
}

QString mapsText(int number)
{
    return QString::fromLatin1(testdata::descriptionBytes(QStringLiteral("Maps"), number));
}

// How a hostile entry gets onto the disk: bytes written to the name, or something that is
// not a plain file at all.
enum class Plant { Bytes, Folder, LinkToItself, HugeJpeg, HugePng };

constexpr QSize kHuge(20000, 20000);

QByteArray manyLines(qsizetype total)
{
    QByteArray bytes;
    bytes.reserve(total + 64);
    for (int line = 1; bytes.size() < total; ++line)
        bytes += "Line " + QByteArray::number(line)
            + " of a long log from Cape L\xe9rat, "
              "copied in whole by mistake.\r\n";
    return bytes;
}

QByteArray everyByteValue()
{
    QByteArray bytes("NUL\0in the middle\0\0", 20);
    for (int b = 0; b < 256; ++b)
        bytes.append(char(b));
    bytes.append("\0end", 4);
    return bytes;
}

const QByteArray
    kInvalidUtf8("over\xc0\xaflong, \xed\xa0\x80 surrogate, \xf8\x88\x80\x80\x80 five, "
                 "cut \xe2\x82");

} // namespace

Q_DECLARE_METATYPE(Plant)

class TestHostile : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup();

    void pictureRole_data();
    void pictureRole();
    void descriptionRole_data();
    void descriptionRole();
    void savingAHostileDescription_data();
    void savingAHostileDescription();
    void notAPlainFile_data();
    void notAPlainFile();
    void topicFolderIsNoFolder_data();
    void topicFolderIsNoFolder();
    void stepAmounts_data();
    void stepAmounts();

private:
    void plant(const QString &name, Plant how, const QByteArray &bytes);
    void openAndShow();
    void stepForward();
    QString maps(const QString &name) const
    {
        return m_dir->filePath(QStringLiteral("Maps/") + name);
    }
    TopicRow &mapsRow() { return m_form->topics().row(0); }
    void addShownColumns();
    void checkShown();

    std::unique_ptr<QTemporaryDir> m_dir;
    std::unique_ptr<Form1> m_form;
    hostile::Snapshot m_before;
};

void TestHostile::init()
{
    m_dir = std::make_unique<QTemporaryDir>();
    QVERIFY(m_dir->isValid());
    testdata::makeCollection(m_dir->path(), 5);
}

void TestHostile::cleanup()
{
    m_form.reset();
    // Nothing the program did may have touched the collection, on any path through it.
    if (!m_before.isEmpty()) {
        const QStringList changed =
            hostile::differences(m_before, hostile::snapshot(m_dir->path()));
        m_before.clear();
        QVERIFY2(changed.isEmpty(), qPrintable(changed.join(u'\n')));
    }
    m_dir.reset();
}

void TestHostile::plant(const QString &name, Plant how, const QByteArray &bytes)
{
    const QString path = maps(name);
    hostile::clear(path);
    QElapsedTimer clock;
    clock.start();
    switch (how) {
    case Plant::Bytes:
        QVERIFY(testdata::writeBytes(path, bytes));
        break;
    case Plant::Folder:
        QVERIFY(QDir().mkpath(path));
        QVERIFY(
            testdata::writeBytes(path + QStringLiteral("/1.jpg"), hostile::jpegBytes({60, 40}, 1)));
        break;
    case Plant::LinkToItself:
        QVERIFY(QFile::link(name, path));
        break;
    case Plant::HugeJpeg:
        QVERIFY(hostile::writeFlatGreyJpeg(path, kHuge));
        break;
    case Plant::HugePng:
        QVERIFY(hostile::writeBlackPng(path, kHuge));
        break;
    }
    if (how == Plant::HugeJpeg || how == Plant::HugePng)
        qDebug("%s: %lld bytes written in %lld ms", qPrintable(name), QFileInfo(path).size(),
               clock.elapsed());
}

void TestHostile::openAndShow()
{
    m_before = hostile::snapshot(m_dir->path());
    m_form = std::make_unique<Form1>();
    m_form->Form_Load(m_dir->path());
    m_form->show();
    QVERIFY(QTest::qWaitForWindowExposed(m_form.get()));
}

// Presses ">" of the first topic and lets the window paint what it now shows.
void TestHostile::stepForward()
{
    mapsRow().forward->click();
    QCoreApplication::processEvents();
    QVERIFY(!m_form->grab().isNull());
}

void TestHostile::addShownColumns()
{
    QTest::addColumn<int>("pictureWidth");
    QTest::addColumn<double>("entry");
    QTest::addColumn<QString>("numberText");
    QTest::addColumn<bool>("fellBack"); // to picture 1, storing the whole number 1
    QTest::addColumn<QString>("description");
    QTest::addColumn<int>("form");
}

// What the user has in front of them after the step, and what the program remembers.
void TestHostile::checkShown()
{
    QFETCH(int, pictureWidth);
    QFETCH(double, entry);
    QFETCH(QString, numberText);
    QFETCH(bool, fellBack);
    QFETCH(QString, description);
    QFETCH(int, form);

    const TopicRow &row = mapsRow();
    const SharedState &state = m_form->library().state();
    QCOMPARE(row.picture->width(), pictureWidth);
    QVERIFY(!row.picture->Picture().isNull());
    QCOMPARE(row.picture->notice(), QString());
    // Only the part that fits on the page is held, however large the picture.
    QCOMPARE(row.picture->Picture().size(),
             row.picture->size().boundedTo(row.picture->visibleArea()));
    QCOMPARE(state.PictureNumber[0].toDouble(), entry);
    QCOMPARE(state.PictureNumber[0].kind() == LooseNumber::Kind::Integer, fellBack);
    QCOMPARE(state.CurrentNumberText, numberText);
    QCOMPARE(state.CurrentFolder, m_dir->filePath(QStringLiteral("Maps")));
    QCOMPARE(row.description->Text().size(), description.size());
    QVERIFY(row.description->Text() == description); // not QCOMPARE: it would print 20 MB
    QCOMPARE(int(row.description->textForm()), form);
    // The box swallows nothing: every character is on display, CR LF as one line break; a
    // text too long to lay out is shown in part and cannot be edited, as nothing hidden could.
    const QString shown = row.description->toPlainText();
    if (row.description->isShownInPart()) {
        QVERIFY(description.size() > 100'000);
        QVERIFY(row.description->isReadOnly());
        QVERIFY(shown.contains(QStringLiteral("more characters are not shown")));
        QVERIFY(description.startsWith(shown.left(64)));
    } else {
        QVERIFY(!row.description->isReadOnly());
        QCOMPARE(shown.size(), description.size() - description.count(QStringLiteral("\r\n")));
    }
    QVERIFY(!shown.contains(QChar(0)));
}

void TestHostile::pictureRole_data()
{
    QTest::addColumn<Plant>("how");
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<QColor>("topLeft"); // invalid: not checked
    addShownColumns();

    const QString one = mapsText(1);
    const QString two = mapsText(2);
    const int latin = int(TextForm::Windows1252);
    const QByteArray jpeg = hostile::jpegBytes({widthOf(2), 90}, 9);
    const QImage photo = testdata::photoLike({widthOf(2), 90}, 9);

    QTest::newRow("zero bytes: back to picture 1")
        << Plant::Bytes << QByteArray() << QColor() << widthOf(1) << 1.0 << "1" << true << one
        << latin;
    // A viewer shows what arrived of a cut-off download; the rest is the decoder's grey.
    QTest::newRow("first half of a JPEG: shown at its full size")
        << Plant::Bytes << jpeg.left(jpeg.size() / 2) << QColor() << widthOf(2) << 2.0 << "2"
        << false << two << latin;
    QTest::newRow("random bytes: back to picture 1")
        << Plant::Bytes << hostile::randomBytes(4096, 11) << QColor() << widthOf(1) << 1.0 << "1"
        << true << one << latin;
    QTest::newRow("PNG named .jpg: shown")
        << Plant::Bytes << hostile::pngBytes(photo) << QColor(photo.pixel(0, 0)) << widthOf(2)
        << 2.0 << "2" << false << two << latin;
    QTest::newRow("GIF named .jpg: shown")
        << Plant::Bytes << hostile::gifBytes({widthOf(2), 90}) << QColor::fromHsv(0, 200, 220)
        << widthOf(2) << 2.0 << "2" << false << two << latin;
    QTest::newRow("folder: back to picture 1") << Plant::Folder << QByteArray() << QColor()
                                               << widthOf(1) << 1.0 << "1" << true << one << latin;
    QTest::newRow("link to itself: back to picture 1")
        << Plant::LinkToItself << QByteArray() << QColor() << widthOf(1) << 1.0 << "1" << true
        << one << latin;
    // The page shows the top-left corner of any picture, so a huge one is no different.
    QTest::newRow("20000 x 20000 JPEG: its top-left part shown")
        << Plant::HugeJpeg << QByteArray() << QColor(128, 128, 128) << kHuge.width() << 2.0 << "2"
        << false << two << latin;
    // Decoding it whole would take 1.6 GB, over the reader's limit: it counts as unreadable.
    QTest::newRow("20000 x 20000 PNG: back to picture 1")
        << Plant::HugePng << QByteArray() << QColor() << widthOf(1) << 1.0 << "1" << true << one
        << latin;
}

void TestHostile::pictureRole()
{
    QFETCH(Plant, how);
    QFETCH(QByteArray, bytes);
    QFETCH(QColor, topLeft);
    plant(QStringLiteral("2.jpg"), how, bytes);
    openAndShow();

    QElapsedTimer clock;
    clock.start();
    stepForward();
    qDebug("step took %lld ms", clock.elapsed());
    checkShown();
    if (topLeft.isValid())
        QCOMPARE(QColor(mapsRow().picture->Picture().pixel(0, 0)).name(), topLeft.name());
}

void TestHostile::descriptionRole_data()
{
    QTest::addColumn<Plant>("how");
    QTest::addColumn<QByteArray>("bytes");
    addShownColumns();

    const QString one = mapsText(1);
    const int latin = int(TextForm::Windows1252);
    const int utf8 = int(TextForm::Utf8);
    const QByteArray jpeg = hostile::jpegBytes({widthOf(2), 90}, 9).left(2000);
    const QByteArray random = hostile::randomBytes(4096, 11);
    const QByteArray png = hostile::pngBytes(testdata::photoLike({40, 30}, 3));
    const QByteArray gif = hostile::gifBytes({40, 30});
    const QByteArray lines = manyLines(20 * 1024 * 1024);
    const QByteArray everyByte = everyByteValue();

    QTest::newRow("zero bytes: picture 2, empty box")
        << Plant::Bytes << QByteArray() << widthOf(2) << 2.0 << "2" << false << "" << latin;
    // Binary data is still text to the box: each byte one character, nothing lost.
    QTest::newRow("half a JPEG: shown as characters")
        << Plant::Bytes << jpeg << widthOf(2) << 2.0 << "2" << false << fromWindows1252(jpeg)
        << latin;
    QTest::newRow("random bytes: shown as characters")
        << Plant::Bytes << random << widthOf(2) << 2.0 << "2" << false << fromWindows1252(random)
        << latin;
    QTest::newRow("PNG: shown as characters") << Plant::Bytes << png << widthOf(2) << 2.0 << "2"
                                              << false << fromWindows1252(png) << latin;
    QTest::newRow("GIF: shown as characters") << Plant::Bytes << gif << widthOf(2) << 2.0 << "2"
                                              << false << fromWindows1252(gif) << latin;
    // A description that cannot be read sends the topic back to 1, as a missing one does.
    QTest::newRow("folder: back to picture 1")
        << Plant::Folder << QByteArray() << widthOf(1) << 1.0 << "1" << true << one << latin;
    QTest::newRow("link to itself: back to picture 1")
        << Plant::LinkToItself << QByteArray() << widthOf(1) << 1.0 << "1" << true << one << latin;
    QTest::newRow("20 MB in lines: shown in part, kept whole")
        << Plant::Bytes << lines << widthOf(2) << 2.0 << "2" << false << fromWindows1252(lines)
        << latin;
    const QByteArray oneLine(20 * 1024 * 1024, 'w');
    QTest::newRow("20 MB on one line: shown in part, kept whole")
        << Plant::Bytes << oneLine << widthOf(2) << 2.0 << "2" << false << fromWindows1252(oneLine)
        << latin;
    QTest::newRow("NUL and every byte value: shown whole")
        << Plant::Bytes << everyByte << widthOf(2) << 2.0 << "2" << false
        << fromWindows1252(everyByte) << latin;
    QTest::newRow("invalid UTF-8: read as Windows-1252")
        << Plant::Bytes << kInvalidUtf8 << widthOf(2) << 2.0 << "2" << false
        << QStringLiteral(u"over\u00C0\u00AFlong, \u00ED\u00A0\u20AC surrogate, "
                          u"\u00F8\u02C6\u20AC\u20AC\u20AC five, cut \u00E2\u201A")
        << latin;
    // One stray byte makes the whole file the older form, so its UTF-8 letters look garbled.
    QTest::newRow("UTF-8 with one stray byte: all Windows-1252")
        << Plant::Bytes << QByteArray("Caf\xc3\xa9 \xe9t\xe9") << widthOf(2) << 2.0 << "2" << false
        << QStringLiteral(u"Caf\u00C3\u00A9 \u00E9t\u00E9") << latin;
    // The mark is kept in the text, where it takes no room, so that a save writes it back.
    QTest::newRow("UTF-8 with a byte order mark: kept, unseen")
        << Plant::Bytes
        << QByteArray("\xef\xbb\xbf"
                      "Caf\xc3\xa9")
        << widthOf(2) << 2.0 << "2" << false << QStringLiteral(u"\uFEFFCaf\u00E9") << utf8;
    QTest::newRow("UTF-8 holding NUL bytes: still UTF-8")
        << Plant::Bytes << QByteArray("Caf\xc3\xa9\0\0ok", 9) << widthOf(2) << 2.0 << "2" << false
        << QStringView(u"Caf\u00E9\0\0ok", 8).toString() << utf8;
}

void TestHostile::descriptionRole()
{
    QFETCH(Plant, how);
    QFETCH(QByteArray, bytes);
    plant(QStringLiteral("2.txt"), how, bytes);
    openAndShow();

    QElapsedTimer clock;
    clock.start();
    stepForward();
    qDebug("step with a description of %lld bytes took %lld ms", qint64(bytes.size()),
           clock.elapsed());
    checkShown();
}

void TestHostile::notAPlainFile_data()
{
    QTest::addColumn<QString>("name");
    addShownColumns();
    const QString one = mapsText(1);
    const int latin = int(TextForm::Windows1252);
    // Opening a pipe waits for someone to write into it; the window would freeze for good.
    QTest::newRow("pipe named 2.jpg: back to picture 1, at once")
        << "2.jpg" << widthOf(1) << 1.0 << "1" << true << one << latin;
    QTest::newRow("pipe named 2.txt: back to picture 1, at once")
        << "2.txt" << widthOf(1) << 1.0 << "1" << true << one << latin;
    // Reading a device that never ends would take all the memory there is.
    QTest::newRow("2.txt a link to /dev/zero: back to picture 1")
        << "2.txt>/dev/zero" << widthOf(1) << 1.0 << "1" << true << one << latin;
}

void TestHostile::notAPlainFile()
{
#ifndef Q_OS_UNIX
    QSKIP("Named pipes are made here with mkfifo");
#else
    QFETCH(QString, name);
    const QString path = maps(name.section(u'>', 0, 0));
    hostile::clear(path);
    if (name.contains(u'>'))
        QVERIFY(QFile::link(name.section(u'>', 1), path));
    else
        QCOMPARE(::mkfifo(QFile::encodeName(path).constData(), 0644), 0);
    openAndShow();

    // Should the step hang in open(), a writer comes along after a while and leaves at once,
    // so that the program reads an empty file and the test goes on.
    constexpr auto kPatience = std::chrono::seconds(3);
    std::atomic<bool> stepped{false};
    std::atomic<int> rescues{0};
    std::thread rescuer([&] {
        const auto deadline = std::chrono::steady_clock::now() + kPatience;
        while (!stepped) {
            if (std::chrono::steady_clock::now() > deadline) {
                const int fd = ::open(QFile::encodeName(path).constData(), O_WRONLY | O_NONBLOCK);
                if (fd >= 0) {
                    ++rescues;
                    ::close(fd);
                }
            }
            std::this_thread::sleep_for(std::chrono::milliseconds(20));
        }
    });
    stepForward();
    stepped = true;
    rescuer.join();

    QCOMPARE(rescues.load(), 0);
    checkShown();
#endif
}

void TestHostile::savingAHostileDescription_data()
{
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<QByteArray>("saved");

    const QByteArray everyByte = everyByteValue() + "\r\n";
    QTest::newRow("NUL and every byte value") << everyByte << everyByte;
    QTest::newRow("invalid UTF-8") << kInvalidUtf8 + "\n" << kInvalidUtf8 + "\n";
    QTest::newRow("UTF-8 holding NUL bytes")
        << QByteArray("Caf\xc3\xa9\0ok\r\n", 10) << QByteArray("Caf\xc3\xa9\0ok\r\n", 10);
    QTest::newRow("UTF-8 with a byte order mark") << QByteArray("\xef\xbb\xbf"
                                                                "Caf\xc3\xa9\r\n")
                                                  << QByteArray("\xef\xbb\xbf"
                                                                "Caf\xc3\xa9\r\n");
    QTest::newRow("a lone CR at the end") << QByteArray("one\rtwo\r") << QByteArray("one\rtwo\r");
    // Saving always ends the text with a line break; that is the one change a save makes.
    QTest::newRow("binary without a line break at the end")
        << hostile::randomBytes(3000, 5) << hostile::randomBytes(3000, 5) + "\r\n";
}

// Saving a description the user has not touched writes back its very bytes, whatever they
// are: the file is the user's, not the program's.
void TestHostile::savingAHostileDescription()
{
    QFETCH(QByteArray, bytes);
    QFETCH(QByteArray, saved);
    QVERIFY(testdata::writeBytes(maps(QStringLiteral("2.txt")), bytes));
    m_form = std::make_unique<Form1>();
    m_form->Form_Load(m_dir->path());
    stepForward();
    QCOMPARE(m_form->library().state().CurrentNumberText, QStringLiteral("2"));
    QVERIFY(m_form->library().saveDescription());

    QFile file(maps(QStringLiteral("2.txt")));
    QVERIFY(file.open(QIODevice::ReadOnly));
    QCOMPARE(file.readAll(), saved);
    QCOMPARE(QDir(m_dir->filePath(QStringLiteral("Maps"))).entryList(QDir::Files).size(), 10);
}

void TestHostile::topicFolderIsNoFolder_data()
{
    QTest::addColumn<bool>("link");
    QTest::newRow("a file named Maps") << false;
    QTest::newRow("a link named Maps pointing to itself") << true;
}

// Maps is the first topic, so this is what the user meets at start-up: a notice in place of
// the picture, an empty description, and the rest of the program working.
void TestHostile::topicFolderIsNoFolder()
{
    QFETCH(bool, link);
    const QString path = m_dir->filePath(QStringLiteral("Maps"));
    QVERIFY(QDir(path).removeRecursively());
    if (link)
        QVERIFY(QFile::link(QStringLiteral("Maps"), path));
    else
        QVERIFY(testdata::writeBytes(path, "1.jpg 2.jpg\r\n"));
    openAndShow();

    for (int press = 0; press < 3; ++press) {
        const TopicRow &row = mapsRow();
        QVERIFY(row.picture->Picture().isNull());
        QCOMPARE(row.picture->notice(), QStringLiteral("Cannot show Maps/1.jpg"));
        QCOMPARE(row.description->Text(), QString());
        QCOMPARE(m_form->library().state().PictureNumber[0].toDouble(), 1.0);
        QCOMPARE(m_form->library().state().CurrentNumberText, QStringLiteral("1"));
        stepForward();
    }
    QVERIFY(!m_form->library().saveDescription());

    m_form->SSTab1()->setTab(1);
    const TopicRow &settlements = m_form->topics().row(1);
    QCOMPARE(settlements.picture->width(), widthOf(1));
    QCOMPARE(settlements.description->Text(),
             QString::fromLatin1(testdata::descriptionBytes(QStringLiteral("Sett"), 1)));
}

void TestHostile::stepAmounts_data()
{
    QTest::addColumn<QString>("amount");
    addShownColumns();

    const QString one = mapsText(1);
    const int latin = int(TextForm::Windows1252);
    const auto stays = [&](const char *name, const QString &amount) {
        QTest::newRow(name) << amount << widthOf(1) << 1.0 << "1" << false << one << latin;
    };
    const auto fallsBack = [&](const char *name, const QString &amount) {
        QTest::newRow(name) << amount << widthOf(1) << 1.0 << "1" << true << one << latin;
    };

    fallsBack("1e400, past a double: back to picture 1", QStringLiteral("1e400"));
    fallsBack("-1e400, past a double: back to picture 1", QStringLiteral("-1e400"));
    stays("nan is no number: stays on 1", QStringLiteral("nan"));
    stays("inf is no number: stays on 1", QStringLiteral("inf"));
    stays("0x10 is the number 0: stays on 1", QStringLiteral("0x10"));
    // The box keeps the first 32767 characters of a paste; that is still past a double.
    fallsBack("one million digits: back to picture 1", QString(1'000'000, u'7'));
    // 2^53 + 1 is read as 2^53; no picture has that number.
    fallsBack("9007199254740993: back to picture 1", QStringLiteral("9007199254740993"));
    stays("-0: stays on 1", QStringLiteral("-0"));
    QTest::newRow("1,5 is 1 in every locale: picture 2")
        << QStringLiteral("1,5") << widthOf(2) << 2.0 << "2" << false << mapsText(2) << latin;
}

void TestHostile::stepAmounts()
{
    QFETCH(QString, amount);
    openAndShow();
    mapsRow().stepBox->setText(amount);
    stepForward();
    checkShown();
}

QTEST_MAIN(TestHostile)
#include "tst_hostile.moc"
