#include "collection.h"
#include "resizing.h"
#include "testdata.h"

#include <QtTest>
#include <optional>

namespace {

// What a curator did by hand to some files of a topic folder.
enum class Spoil { None, Removed, Junk, Folder, Huge, CopyOf5 };

void spoil(const QString &folder, const QStringList &files, Spoil how)
{
    for (const QString &name : files) {
        const QString path = folder + u'/' + name;
        QFile::remove(path);
        if (how == Spoil::Junk || how == Spoil::Huge)
            testdata::writeBytes(path, QByteArray(5000, '\x5a'));
        if (how == Spoil::Huge)
            QFile::resize(path, qint64(64) * 1024 * 1024 + 1); // sparse: costs nothing
        if (how == Spoil::Folder)
            QDir().mkpath(path);
        if (how == Spoil::CopyOf5)
            QFile::copy(folder + QStringLiteral("/5.") + QFileInfo(name).suffix(), path);
    }
}

// A topic stands at from, a user spoils some files, then steps; where it arrives.
struct StepRow
{
    int from;
    Direction direction;
    const char *amount;
    double number;
    int picture;     // the picture shown; 0 for the notice
    int description; // 0 for none
    Spoil how = Spoil::None;
    QStringList spoiled = {};
    const char *warning = "";
};

} // namespace

// The widget-free core: stepping, reading ahead and saving over a topic folder holding pictures
// and descriptions 1 to 5 (picture N is 121 + N pixels wide), and the resize rules.
class TestCore : public QObject
{
    Q_OBJECT

    QTemporaryDir m_dir;
    std::optional<Collection> m_collection;
    QStringList m_arrived; // "topic:number" of each step handed over, in order

    // Steps a topic by amount, and once told to, waits until a step is handed over.
    void ask(int topic, Direction direction, const QString &amount)
    {
        m_collection->setAmountText(topic, amount);
        m_collection->step(topic, direction);
    }
    StepResult stepOnce(Direction direction, const char *amount)
    {
        std::optional<StepResult> result;
        const auto connection = connect(&*m_collection, &Collection::stepped, this,
                                        [&result](int, const StepResult &r) { result = r; });
        ask(0, direction, QString::fromLatin1(amount));
        const bool handed = QTest::qWaitFor([&result] { return result.has_value(); });
        disconnect(connection);
        return handed ? *result : StepResult{{}, u"never handed over"_s, {}, qQNaN(), {}};
    }

    void openCollection(std::chrono::milliseconds timeout)
    {
        m_collection.emplace(DecodeSettings{kVisibleArea, QColorSpace::SRgb, timeout});
        m_collection->open(m_dir.path());
        m_arrived.clear();
        connect(&*m_collection, &Collection::stepped, this, [this](int topic, const StepResult &r) {
            m_arrived << u"%1:%2"_s.arg(topic).arg(r.number);
        });
    }

private slots:
    void init()
    {
        for (const char *folder : {"Maps", "Sett"})
            QDir(m_dir.filePath(QString::fromLatin1(folder))).removeRecursively();
        testdata::makeCollection(m_dir.path(), 5, 2);
        openCollection(kSrgbPage.timeout);
    }

    void step_data()
    {
        QTest::addColumn<StepRow>("row");
        const auto F = Direction::Forward, B = Direction::Backward;
        // clang-format off
        QTest::newRow("forward") << StepRow{.from = 1, .direction = F, .amount = "1", .number = 2, .picture = 2, .description = 2};
        QTest::newRow("past the last") << StepRow{.from = 5, .direction = F, .amount = "1", .number = 1, .picture = 1, .description = 1};
        QTest::newRow("below the first") << StepRow{.from = 1, .direction = B, .amount = "1", .number = 1, .picture = 1, .description = 1};
        QTest::newRow("0.jpg is a picture") << StepRow{.from = 1, .direction = B, .amount = "1", .number = 0, .picture = 5, .description = 5, .how = Spoil::CopyOf5, .spoiled = {"0.jpg", "0.txt"}};
        QTest::newRow("negative amount") << StepRow{.from = 3, .direction = F, .amount = "-1", .number = 2, .picture = 2, .description = 2};
        QTest::newRow("letters: no move") << StepRow{.from = 3, .direction = B, .amount = "abc", .number = 3, .picture = 3, .description = 3};
        QTest::newRow("half a step to a file") << StepRow{.from = 1, .direction = F, .amount = "0.5", .number = 1.5, .picture = 5, .description = 5, .how = Spoil::CopyOf5, .spoiled = {"1.5.jpg", "1.5.txt"}};
        QTest::newRow("gap") << StepRow{.from = 2, .direction = F, .amount = "1", .number = 1, .picture = 1, .description = 1, .how = Spoil::Removed, .spoiled = {"3.jpg", "3.txt"}};
        QTest::newRow("description missing") << StepRow{.from = 2, .direction = F, .amount = "1", .number = 1, .picture = 1, .description = 1, .how = Spoil::Removed, .spoiled = {"3.txt"}};
        QTest::newRow("picture damaged") << StepRow{.from = 2, .direction = F, .amount = "1", .number = 1, .picture = 1, .description = 1, .how = Spoil::Junk, .spoiled = {"3.jpg"}, .warning = "picture .*3.jpg"};
        QTest::newRow("description a folder") << StepRow{.from = 2, .direction = F, .amount = "1", .number = 1, .picture = 1, .description = 1, .how = Spoil::Folder, .spoiled = {"3.txt"}, .warning = "description .*3.txt: is not a plain file"};
        QTest::newRow("description too large") << StepRow{.from = 2, .direction = F, .amount = "1", .number = 1, .picture = 1, .description = 1, .how = Spoil::Huge, .spoiled = {"3.txt"}, .warning = "3.txt: 67108865 bytes"};
        QTest::newRow("description 1 missing") << StepRow{.from = 5, .direction = F, .amount = "1", .number = 1, .picture = 1, .description = 0, .how = Spoil::Removed, .spoiled = {"1.txt"}};
        QTest::newRow("picture 1 missing") << StepRow{.from = 5, .direction = F, .amount = "1", .number = 1, .picture = 0, .description = 1, .how = Spoil::Removed, .spoiled = {"1.jpg"}};
        QTest::newRow("past a double's range") << StepRow{.from = 1, .direction = F, .amount = "1e400", .number = 1, .picture = 1, .description = 1};
        // clang-format on
    }

    // A step ends a topic quietly where the next number has no file, and warns only where a
    // file is there and still fails.
    void step()
    {
        QFETCH(StepRow, row);
        spoil(m_dir.filePath(QStringLiteral("Maps")), row.spoiled, row.how);
        m_collection->selectTopic(1); // a step reads its own topic's folder, whichever is selected
        stepOnce(Direction::Forward, QByteArray::number(row.from).constData());
        if (*row.warning)
            QTest::ignoreMessage(QtWarningMsg, QRegularExpression(row.warning));
        else
            QTest::failOnWarning(QRegularExpression(QStringLiteral(".")));

        const StepResult result = stepOnce(row.direction, row.amount);
        QCOMPARE(result.number, row.number);
        QCOMPARE(m_collection->pictureNumber(0), row.number);
        QCOMPARE(m_collection->currentNumberText(), QString::number(row.number));
        QCOMPARE(result.picture.isNull() ? 0 : result.picture.fullSize.width() - 121, row.picture);
        QCOMPARE(result.notice, row.picture ? QString() : u"Cannot show Maps/1.jpg"_s);
        QCOMPARE(result.description.text.toLatin1(),
                 row.description ? testdata::descriptionBytes("Maps", row.description) : "");
    }

    void decodes_data()
    {
        QTest::addColumn<QString>("clicks"); // '>' a step forward, '.' a pause until all is read
        QTest::addColumn<int>("atClick");    // -1 where the pace decides
        QTest::addColumn<int>("total");
        QTest::newRow("a click on a ready picture") << ".>" << 1 << 3;
        QTest::newRow("quick clicks") << ">>>" << -1 << 5;
        QTest::newRow("a wrap") << ".>.>.>.>.>" << 1 << 7;
    }

    // However quick the clicks, no picture is decoded twice while it is held, and a wrap finds
    // picture 1 ready; only the first step, before anything was read ahead, waits for one.
    void decodes()
    {
        QFETCH(QString, clicks);
        QFETCH(int, atClick);
        QFETCH(int, total);
        const ReadAhead &pictures = m_collection->pictures();
        // A file read within a tick of its writing would be read again, to be safe.
        QTest::qSleep(20);
        for (const QChar click : u'>' + clicks + u'.') {
            if (click == u'.') {
                const auto ready = std::bind_front(&ReadAhead::isReady, &pictures);
                QTRY_VERIFY(std::ranges::all_of(pictures.wanted(), ready));
            } else {
                stepOnce(Direction::Forward, "1");
                m_collection->readAhead(0, 1);
            }
        }
        const ReadAhead::Decodes decodes = pictures.decodes();
        QCOMPARE(decodes.atClick, atClick < 0 ? decodes.atClick : atClick);
        QCOMPARE(decodes.ahead + decodes.atClick, total);
        QCOMPARE(decodes.abandoned, 0);
    }

    void pending_data()
    {
        QTest::addColumn<QByteArray>("decoder"); // what Maps/3.jpg's decoder does
        QTest::addColumn<int>("boundMs");
        // "T>N": topic T steps forward by N; "=T:N": the next step handed over is T's, to N;
        // "r": Maps/3.jpg, held so far, gets more bytes; "x": the collection goes.
        QTest::addColumn<QString>("script");
        QTest::addColumn<QStringList>("warnings");
        const QStringList none;
        // clang-format off
        QTest::newRow("another page goes on") << "hold"_ba << 10'000 << "0>1 1>1 =1:1 r =0:3" << none;
        QTest::newRow("steps of a page in order") << "hold"_ba << 10'000 << "0>1 0>1 r =0:3 =0:4" << none;
        QTest::newRow("bounded, then tried again") << "hold"_ba << 3000 << "0>1 =0:1 r 0>2 =0:3" << QStringList{"3.jpg: .* 3000 ms"};
        QTest::newRow("gone while a read waits") << "hold"_ba << 10'000 << "0>1 x" << none;
        QTest::newRow("decoder crashes, not sent again") << "crash"_ba << 10'000 << "0>1 =0:1 0>2 =0:1 0>1 =0:2" << QStringList{"3.jpg: the decoder ended by signal", "3.jpg: its decode ended a decoder before"};
        QTest::newRow("decoder spins") << "loop"_ba << 3000 << "0>1 =0:1 0>1 =0:2" << QStringList{"3.jpg: .* 3000 ms"};
#ifndef TARVEL_SANITIZED // sanitizers open files and need more address space than that limit
        QTest::newRow("decoder opens a file") << "open /etc/passwd"_ba << 10'000 << "0>1 =0:1" << QStringList{"3.jpg: "};
        QTest::newRow("decoder takes 3 GiB") << "alloc"_ba << 10'000 << "0>1 =0:1 0>1 =0:2" << QStringList{"3.jpg: the decoder ended by signal"};
#endif
        // clang-format on
    }

    // A step is handed over once its files answer, in the order its page asked; a decoder that
    // crashes, spins, takes memory or opens a file costs that picture alone, and later ones are
    // shown as before; nothing waits for a read.
    void pending()
    {
        QFETCH(QByteArray, decoder);
        QFETCH(int, boundMs);
        QFETCH(QString, script);
        QFETCH(QStringList, warnings);
        QFile held(m_dir.filePath(u"Maps/3.jpg"_s));
        QVERIFY(held.open(QIODevice::WriteOnly) && held.write("TARVELTEST 124 " + decoder + '\n')
                && held.flush());
        openCollection(std::chrono::milliseconds(boundMs));
        stepOnce(Direction::Forward, "2");
        for (const QString &warning : warnings)
            QTest::ignoreMessage(QtWarningMsg, QRegularExpression(warning));
        qsizetype handed = 0;
        for (const QString &word : script.split(u' ')) {
            if (word == u"r")
                held.write("released\n"), held.flush();
            else if (word == u"x")
                m_collection.reset();
            else if (word.startsWith(u'=') && ++handed)
                QTRY_COMPARE(m_arrived.value(handed), word.mid(1));
            else
                ask(word.left(1).toInt(), Direction::Forward, word.mid(2));
        }
        QCOMPARE(m_arrived.size(), handed + 1);
        held.write("released\n");
        // The window's own peak, far below what the decoder took.
        const QByteArray status = testdata::readBytes(u"/proc/self/status"_s);
        if (const qsizetype peak = status.indexOf("VmHWM:"); peak >= 0)
            QCOMPARE_LT(status.mid(peak + 6, 16).trimmed().split(' ').value(0).toLong(), 400'000);
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
        QTest::newRow("Windows-1252") << u"Mór 中\u0080"_s << TextForm::Windows1252 << QByteArray("M\xf3r ??\r\n");
        QTest::newRow("UTF-8") << u"Mór"_s << TextForm::Utf8 << QByteArray("M\xc3\xb3r\r\n");
        QTest::newRow("target is a folder") << "x" << TextForm::Utf8 << QByteArray();
        // clang-format on
    }

    // A save writes the file of the number the most recent step arrived at, or nothing at all.
    void save()
    {
        QFETCH(QString, text);
        QFETCH(TextForm, form);
        QFETCH(QByteArray, bytes);
        stepOnce(Direction::Forward, "2");
        if (bytes.isEmpty()) {
            spoil(m_dir.filePath(QStringLiteral("Maps")), {QStringLiteral("2.txt")}, Spoil::Folder);
            QTest::ignoreMessage(QtWarningMsg, QRegularExpression(QStringLiteral("2.txt")));
        }
        QCOMPARE(m_collection->save(text, form), !bytes.isEmpty());
        QCOMPARE(testdata::readBytes(m_dir.filePath(QStringLiteral("Maps/2.txt"))), bytes);
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
        QTest::newRow("grow to the top limit") << true << QRectF(0, -16776916, 9, 300) << QRectF(0, -16777216, 9, 600);
        QTest::newRow("grow to the height limit") << true << QRectF(0, 0, 9, 16776916) << QRectF(0, -300, 9, 16777216);
        QTest::newRow("grow past the top limit") << true << QRectF(0, -16777000, 9, 300) << QRectF(0, -16777000, 9, 300);
        QTest::newRow("grow past the height limit") << true << QRectF(0, 0, 9, 16777000) << QRectF(0, 0, 9, 16777000);
        QTest::newRow("shrink") << false << atLoad << QRectF(720, 8220, 10215, 315);
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
};

QTEST_GUILESS_MAIN(TestCore)
#include "tst_core.moc"
