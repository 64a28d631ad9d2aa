#include "filestamp.h"
#include "helperprotocol.h"
#include "numbers.h"
#include "readahead.h"
#include "testdata.h"
#include "textfile.h"

#include <QtGui>
#include <QtTest>
#include <numeric>
#include <sys/mman.h>
#include <unistd.h>

namespace {

// What happens to a file read ahead before the click.
enum class Change { None, RewrittenKeepingSizeAndTime, Replaced, Deleted, AddedAfterMiss };

// A JPEG tagged sRGB, as cameras tag photos (the read-ahead converts them into the screen's),
// padded with zeros to a length every such picture shares. Qt sets times to the millisecond: the
// file is given its own time, or the one asked for, as one Qt can set again.
bool writePicture(const QString &path, int width, QDateTime modified = {})
{
    QImage picture = testdata::textured({width, 200}, quint32(width));
    picture.setColorSpace(QColorSpace::SRgb);
    QFile file(path);
    return picture.save(path, "JPEG") && file.open(QIODevice::ReadWrite) && file.resize(1 << 17)
        && file.setFileTime(modified.isValid() ? modified : QFileInfo(path).lastModified(),
                            QFileDevice::FileModificationTime);
}

} // namespace

// The rules every step and save relies on: numbers, description text, pictures read ahead.
class TestPlatform : public QObject
{
    Q_OBJECT
    QTemporaryDir m_dir;
    const QString m_path = m_dir.filePath(QStringLiteral("1.jpg"));

private slots:
    // A step amount is the number its text begins with, whatever follows; a number names its
    // files and shows in one plain form, never the locale's.
    void numbers_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<double>("value");
        QTest::addColumn<QString>("shown");
        // clang-format off
        QTest::newRow("blanks, sign") << " \t\r\n-12" << -12.0 << "-12";
        QTest::newRow("blanks only") << " \t" << 0.0 << "0";
        QTest::newRow("point first") << "-.5x" << -0.5 << "-0.5";
        QTest::newRow("signed exponent") << "+1.5e3" << 1500.0 << "1500";
        QTest::newRow("D exponent, signed") << "25D-1" << 2.5 << "2.5";
        QTest::newRow("E without digits") << "2e+" << 2.0 << "2";
        QTest::newRow("point alone") << ".e5" << 0.0 << "0";
        QTest::newRow("nan, inf, hex") << "nan inf 0x10" << 0.0 << "0";
        QTest::newRow("minus zero") << "-0" << -0.0 << "0";
        QTest::newRow("large") << "1e15" << 1e15 << "1E+15";
        QTest::newRow("long large") << "-123456789012345678" << -123456789012345678.0 << "-1.23456789012346E+17";
        QTest::newRow("small") << "1e-5" << 1e-5 << "1E-5";
        QTest::newRow("past the range") << "1e400" << qInf() << "inf";
        // clang-format on
    }

    void numbers()
    {
        QFETCH(QString, text);
        QFETCH(double, value);
        QFETCH(QString, shown);
        QCOMPARE(leadingNumber(text), value);
        QCOMPARE(numberText(value), shown);
    }

    void textKeepsEveryByte_data()
    {
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<QString>("text");
        QTest::addColumn<TextForm>("form");
        QByteArray everyByte(256, 0);
        std::iota(everyByte.begin(), everyByte.end(), 0);
        // clang-format off
        QTest::newRow("ASCII with CR LF") << QByteArray("a\r\nb\r\n") << "a\r\nb\r\n" << TextForm::Windows1252;
        QTest::newRow("Windows-1252") << QByteArray("M\xf3r \x80\x81\x9f") << u"Mór €\u0081Ÿ"_s << TextForm::Windows1252;
        QTest::newRow("UTF-8") << QByteArray("M\xc3\xb3r \xe2\x82\xac") << u"Mór €"_s << TextForm::Utf8;
        QTest::newRow("UTF-8 with a mark") << QByteArray("\xef\xbb\xbfK\xc3\xa9") << u"\uFEFFKé"_s << TextForm::Utf8;
        QTest::newRow("UTF-8 gone bad") << QByteArray("\xc3\xa9\xe9") << u"Ã©é"_s << TextForm::Windows1252;
        QTest::newRow("every byte") << everyByte << QString() << TextForm::Windows1252;
        // clang-format on
    }

    // Whatever a file holds comes back byte for byte when saved unchanged; a file larger than
    // the reader's cap is not read at all.
    void textKeepsEveryByte()
    {
        QFETCH(QByteArray, bytes);
        QFETCH(QString, text);
        QFETCH(TextForm, form);
        QVERIFY(testdata::writeBytes(m_path, bytes));
        QVERIFY(!readWholeFile(m_path, bytes.size() - 1));
        const DecodedText decoded = decodeText(readWholeFile(m_path, bytes.size()).value());
        QCOMPARE(decoded.text, text.isEmpty() ? decoded.text : text);
        QCOMPARE(decoded.form, form);
        QCOMPARE(encodeText(decoded.text, decoded.form), bytes);
    }

    void settled_data()
    {
        QTest::addColumn<qint64>("changed"); // nanoseconds since the epoch
        QTest::addColumn<int>("tickMs");
        const qint64 second = 1'000'000'000, fine = 1'700'000'000 * second + 1;
        QTest::newRow("fine") << fine << 10;
        QTest::newRow("coarse: whole seconds") << fine - 1 << 2000;
    }

    // A read is told apart from a later change only where it began a tick after the last one.
    void settled()
    {
        QFETCH(qint64, changed);
        QFETCH(int, tickMs);
        const FileStamp stamp{true, 1, changed, changed};
        const std::chrono::system_clock::time_point start{std::chrono::nanoseconds(changed)};
        QVERIFY(!stamp.settledBy(start + std::chrono::milliseconds(tickMs - 1)));
        QVERIFY(stamp.settledBy(start + std::chrono::milliseconds(tickMs)));
    }

    void readAhead_data()
    {
        QTest::addColumn<Change>("change");
        QTest::addColumn<int>("width"); // of the picture shown; -1 for none
        // clang-format off
        QTest::newRow("unchanged") << Change::None << 300;
        QTest::newRow("rewritten, size and time kept") << Change::RewrittenKeepingSizeAndTime << 301;
        QTest::newRow("replaced") << Change::Replaced << 301;
        QTest::newRow("deleted") << Change::Deleted << -1;
        QTest::newRow("added after a miss") << Change::AddedAfterMiss << 301;
        // clang-format on
    }

    // A click shows what is on disk at the click, read ahead or not; of two files of one
    // length, only the change time may tell the rewritten one.
    void readAhead()
    {
        QFETCH(Change, change);
        QFETCH(int, width);
        const QString other = m_dir.filePath(QStringLiteral("2.jpg"));
        QFile::remove(m_path);
        if (change != Change::AddedAfterMiss)
            QVERIFY(writePicture(m_path, 300));
        QVERIFY(writePicture(other, 301));
        ReadAhead ahead({kVisibleArea, QColorSpace::DisplayP3});
        ahead.prepare({{m_path, {}}, {m_path, {}}});
        QTRY_VERIFY(ahead.isReady(m_path));
        if (change == Change::RewrittenKeepingSizeAndTime)
            QVERIFY(writePicture(m_path, 301, QFileInfo(m_path).lastModified()));
        if (change == Change::Replaced || change == Change::Deleted)
            QVERIFY(QFile::remove(m_path));
        if (change == Change::Replaced || change == Change::AddedAfterMiss)
            QVERIFY(QFile::rename(other, m_path));
        QCOMPARE(ahead.wanted(), QStringList{m_path});
        bool wasReady = false;
        const LoadedPicture shown = ahead.take(m_path, &wasReady);
        QCOMPARE(shown.fullSize.width(), width);
        QCOMPARE(wasReady, change == Change::None); // the picture read ahead is the one shown
        QCOMPARE(shown.visible.colorSpace(), width > 0 ? QColorSpace::DisplayP3 : QColorSpace());
    }

    void forgedReply_data()
    {
        QTest::addColumn<QList<int>>("header"); // width, height, stride, form, full width, height
        QTest::addColumn<int>("memfdBytes");    // negative: the helper still maps it for writing
        QTest::addColumn<bool>("shown");
        const int rgb = QImage::Format_RGB32;
        // clang-format off
        QTest::newRow("as a helper sends it") << QList{10, 5, 40, rgb, 20, 9} << 200 << true;
        QTest::newRow("stride past the memfd") << QList{10, 5, 48, rgb, 20, 9} << 200 << false;
        QTest::newRow("memfd a byte short") << QList{10, 5, 40, rgb, 20, 9} << 199 << false;
        QTest::newRow("stride shorter than a row") << QList{10, 5, 36, rgb, 20, 9} << 200 << false;
        QTest::newRow("wider than a page") << QList{789, 1, 3156, rgb, 789, 1} << 3156 << false;
        QTest::newRow("whole smaller than its corner") << QList{10, 5, 40, rgb, 9, 9} << 200 << false;
        QTest::newRow("a form never sent") << QList{10, 5, 40, int(QImage::Format_Indexed8), 20, 9} << 200 << false;
        QTest::newRow("still writable") << QList{10, 5, 40, rgb, 20, 9} << -200 << false;
        // clang-format on
    }

    // The window shows a helper's pixels only where every field fits the memfd it was handed,
    // sealed so that nothing can change them after the check.
    void forgedReply()
    {
        QFETCH(QList<int>, header);
        QFETCH(int, memfdBytes);
        QFETCH(bool, shown);
        const helper::ReplyHeader reply{helper::kMagic, 7,         header[0], header[1],
                                        header[2],      header[3], header[4], header[5]};
        helper::Fd memfd(::memfd_create("forged", MFD_CLOEXEC | MFD_ALLOW_SEALING));
        QCOMPARE(::ftruncate(memfd.get(), std::abs(memfdBytes)), 0);
        void *writable = memfdBytes < 0 ? ::mmap(nullptr, std::size_t(-memfdBytes),
                                                 PROT_READ | PROT_WRITE, MAP_SHARED, memfd.get(), 0)
                                        : nullptr;
        const LoadedPicture picture =
            helper::readReply(helper::bytesOf(reply), std::move(memfd), 7, kSrgbPage);
        QCOMPARE(!picture.isNull(), shown);
        QCOMPARE(picture.visible.size(), shown ? QSize(10, 5) : QSize(0, 0));
        if (writable)
            ::munmap(writable, std::size_t(-memfdBytes));
    }
};

QTEST_GUILESS_MAIN(TestPlatform)
#include "tst_platform.moc"
