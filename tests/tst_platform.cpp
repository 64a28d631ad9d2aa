#ifdef TARVEL_HAVE_JPEG_CROP
#include "jpegdecoder.h"
#endif
#include "numbers.h"
#include "pictureloader.h"
#include "readahead.h"
#include "testdata.h"
#include "textfile.h"

#include <QBuffer>
#include <QDir>
#include <QFile>
#include <QImageReader>
#include <QImageWriter>
#include <QTemporaryDir>
#include <QTest>

namespace {

// What a page can show of a picture placed at its usual spot.
const QSize kVisibleArea(788, 553);

constexpr int kBaseline = 0, kProgressive = 1, kGrey = 2, kTruncated = 4, kPng = 8, kHeader = 16,
              kEmpty = 32, kJunk = 64;

QByteArray encoded(QSize size, int coding)
{
    if (coding & kJunk)
        return QByteArray(4096, '\x5a');
    QImage photo = testdata::textured(size, 42);
    if (coding & kGrey)
        photo = photo.convertToFormat(QImage::Format_Grayscale8);
    QBuffer buffer;
    buffer.open(QIODevice::WriteOnly);
    QImageWriter writer(&buffer, coding & kPng ? "png" : "jpeg");
    writer.setProgressiveScanWrite(coding & kProgressive);
    writer.setText(QStringLiteral("Comment"), QStringLiteral("A segment the decoder skips"));
    writer.write(photo);
    const qsizetype cut = coding & kEmpty ? 0
        : coding & kHeader                ? 200
        : coding & kTruncated             ? buffer.size() / 8
                                          : buffer.size();
    return buffer.data().left(cut);
}

constexpr auto tiff = &testdata::orientationTiff;

// What happens to a file read ahead before the click.
enum class Change { None, Overwritten, Replaced, Deleted, AddedAfterMiss, NoLongerWanted };

} // namespace

// The rules every step and save relies on: numbers, description text, pictures.
class TestPlatform : public QObject
{
    Q_OBJECT
    QTemporaryDir m_dir;

private slots:
    // A step amount is the number its text begins with, whatever follows; a number names its
    // files and shows in one plain form, never the locale's.
    void numbers_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<double>("value");
        QTest::addColumn<QString>("shown");
        const double inf = qInf();
        // clang-format off
        QTest::newRow("blanks, sign") << " \t\r\n-12" << -12.0 << "-12";
        QTest::newRow("words after") << "2 apples" << 2.0 << "2";
        QTest::newRow("fraction") << "0.5" << 0.5 << "0.5";
        QTest::newRow("point first") << "-.5x" << -0.5 << "-0.5";
        QTest::newRow("comma is no point") << "1,5" << 1.0 << "1";
        QTest::newRow("signed exponent") << "+1.5e3" << 1500.0 << "1500";
        QTest::newRow("D exponent, signed") << "25D-1" << 2.5 << "2.5";
        QTest::newRow("E without digits") << "2e+" << 2.0 << "2";
        QTest::newRow("empty") << "" << 0.0 << "0";
        QTest::newRow("sign alone") << "-" << 0.0 << "0";
        QTest::newRow("point alone") << ".e5" << 0.0 << "0";
        QTest::newRow("nan, inf, hex") << "nan inf 0x10" << 0.0 << "0";
        QTest::newRow("minus zero") << "-0" << -0.0 << "0";
        QTest::newRow("largest plain") << "999999999999999" << 999999999999999.0 << "999999999999999";
        QTest::newRow("large") << "1e15" << 1e15 << "1E+15";
        QTest::newRow("long large") << "-123456789012345678" << -123456789012345678.0 << "-1.23456789012346E+17";
        QTest::newRow("small") << "1e-5" << 1e-5 << "1E-5";
        QTest::newRow("past the range") << "1e400" << inf << "inf";
        QTest::newRow("a million digits") << QString(1'000'000, u'9') << inf << "inf";
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
        QByteArray everyByte;
        for (int b = 0; b < 256; ++b)
            everyByte += char(b);
        // clang-format off
        QTest::newRow("ASCII with CR LF") << QByteArray("a\r\nb\r\n") << "a\r\nb\r\n" << TextForm::Windows1252;
        QTest::newRow("Windows-1252") << QByteArray("M\xf3r \x80\x81\x9f") << u"Mór €\u0081Ÿ"_qs << TextForm::Windows1252;
        QTest::newRow("UTF-8") << QByteArray("M\xc3\xb3r \xe2\x82\xac") << u"Mór €"_qs << TextForm::Utf8;
        QTest::newRow("UTF-8 with a mark") << QByteArray("\xef\xbb\xbfK\xc3\xa9") << u"\uFEFFKé"_qs << TextForm::Utf8;
        QTest::newRow("UTF-8 gone bad") << QByteArray("\xc3\xa9\xe9") << u"Ã©é"_qs << TextForm::Windows1252;
        QTest::newRow("overlong UTF-8") << QByteArray("\xc0\xaf") << u"À¯"_qs << TextForm::Windows1252;
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
        const QString path = m_dir.filePath(QStringLiteral("1.txt"));
        QVERIFY(testdata::writeBytes(path, bytes));
        QVERIFY(!readWholeFile(path, bytes.size() - 1));
        const DecodedText decoded = decodeText(readWholeFile(path, bytes.size()).value());
        if (!text.isEmpty())
            QCOMPARE(decoded.text, text);
        QCOMPARE(decoded.text.size(), text.isEmpty() ? bytes.size() : text.size());
        QCOMPARE(decoded.form, form);
        QCOMPARE(encodeText(decoded.text, decoded.form), bytes);
    }

    // The loader decodes only the visible corner, yet shows exactly the pixels of a whole
    // decode turned upright.
    void visiblePartMatchesUprightWholeDecode_data()
    {
        QTest::addColumn<QSize>("stored");
        QTest::addColumn<int>("coding");
        QTest::addColumn<QByteArray>("exif"); // the Exif segment's TIFF part; none when empty
        const auto row = [](const char *name, QSize stored, int coding, const QByteArray &exif) {
            QTest::newRow(name) << stored << coding << exif;
        };
        const QSize odd(1012, 905); // both ways larger than the area
        // clang-format off
        row("smaller than the area", {300, 200}, kBaseline, {});
        row("one pixel", {1, 1}, kBaseline, {});
        row("progressive", {1999, 1201}, kProgressive, {});
        row("progressive, just taller", {900, 570}, kProgressive, {});
        row("grey", {1700, 900}, kGrey, {});
        row("truncated", {1600, 1200}, kTruncated, {});
        row("PNG named .jpg", {900, 300}, kPng, {});
        row("over Qt's allocation limit", {7000, 5000}, kBaseline, {});
        // What Qt cannot read at all is no picture here either.
        row("zero bytes", {400, 300}, kEmpty, {});
        row("not a picture", {400, 300}, kJunk, {});
        row("header only", {400, 300}, kHeader, {});
        for (int orientation = 2; orientation <= 8; ++orientation)
            row(qPrintable(QStringLiteral("orientation %1").arg(orientation)), odd, kBaseline, tiff(orientation));
        row("6, smaller than the area", {301, 199}, kBaseline, tiff(6));
        row("6, progressive", odd, kProgressive, tiff(6));
        row("7, grey", odd, kGrey, tiff(7));
        row("3, truncated", {1600, 1200}, kTruncated, tiff(3));
        // Damaged Exif data is Qt's to judge; the picture follows its answer.
        row("Exif cut in the value", odd, kBaseline, tiff(6).left(19));
        row("orientation 9", odd, kBaseline, tiff(9));
        // clang-format on
    }

    void visiblePartMatchesUprightWholeDecode()
    {
        QFETCH(QSize, stored);
        QFETCH(int, coding);
        QFETCH(QByteArray, exif);
        const QByteArray bytes = encoded(stored, coding);
        const QString path = m_dir.filePath(QStringLiteral("photo.jpg"));
        QVERIFY(
            testdata::writeBytes(path, exif.isEmpty() ? bytes : testdata::withExif(bytes, exif)));

        const LoadedPicture picture = loadPicture(path, kVisibleArea);
        QImageReader reader(path);
        const int limit = QImageReader::allocationLimit(); // Qt's limit is one for all readers
        QImageReader::setAllocationLimit(0);
        reader.setAutoTransform(true);
        const QImage whole = reader.read();
        QImageReader::setAllocationLimit(limit);
        QCOMPARE(picture.isNull(), whole.isNull());
        QCOMPARE(picture.errorString.isEmpty(), !whole.isNull());
        if (whole.isNull())
            return;
#ifdef TARVEL_HAVE_JPEG_CROP
        // What Qt reads of a JPEG, the fast path reads too: a fallback would hide its faults.
        QFile file(path);
        const QRect corner = QRect(QPoint(0, 0), kVisibleArea).intersected(QRect({}, stored));
        QVERIFY((coding & kPng)
                || (file.open(QIODevice::ReadOnly)
                    && !decodeJpegPiece(file, stored, corner, corner).isNull()));
#endif
        QCOMPARE(picture.fullSize, whole.size());
        const QRect shown = whole.rect().intersected(QRect(QPoint(0, 0), kVisibleArea));
        QCOMPARE(picture.visible.convertToFormat(QImage::Format_RGB32),
                 whole.copy(shown).convertToFormat(QImage::Format_RGB32));
    }

    // What the fuzzer found: a few bytes whose header claims gigabytes are refused.
    void hostileFiles_data()
    {
        QTest::addColumn<QString>("path");
        for (const QFileInfo &file : QDir(TARVEL_FUZZ_CORPUS).entryInfoList({"oom-*"}))
            QTest::newRow(qPrintable(file.fileName())) << file.filePath();
    }

    void hostileFiles()
    {
        QFETCH(QString, path);
        QVERIFY(loadPicture(path, kVisibleArea).isNull());
    }

    void readAhead_data()
    {
        QTest::addColumn<Change>("change");
        QTest::addColumn<bool>("ready"); // whether the picture read ahead is the one shown
        QTest::addColumn<int>("width");  // of the picture shown; 0 for none
        QTest::newRow("unchanged") << Change::None << true << 300;
        QTest::newRow("overwritten in place") << Change::Overwritten << false << 301;
        QTest::newRow("replaced") << Change::Replaced << false << 301;
        QTest::newRow("deleted") << Change::Deleted << false << 0;
        QTest::newRow("added after a miss") << Change::AddedAfterMiss << false << 301;
        QTest::newRow("no longer wanted") << Change::NoLongerWanted << false << 300;
    }

    // A click shows what is on disk at the click, read ahead or not.
    void readAhead()
    {
        QFETCH(Change, change);
        QFETCH(bool, ready);
        QFETCH(int, width);
        const QString path = m_dir.filePath(QStringLiteral("ahead.jpg"));
        const QString other = m_dir.filePath(QStringLiteral("other.jpg"));
        QFile::remove(path);
        if (change != Change::AddedAfterMiss)
            QVERIFY(testdata::textured({300, 200}, 1).save(path));
        QVERIFY(testdata::textured({301, 200}, 2).save(other));
        ReadAhead ahead(kVisibleArea);
        ahead.prepare({path, path});
        QTRY_VERIFY(ahead.isReady(path));
        QFile file(path);
        if (change == Change::Overwritten)
            QVERIFY(file.open(QIODevice::ReadWrite)
                    && file.write(readWholeFile(other, 1 << 20).value()));
        file.close();
        if (change == Change::Replaced)
            QVERIFY(QFile::remove(path) && QFile::rename(other, path));
        if (change == Change::Deleted)
            QVERIFY(QFile::remove(path));
        if (change == Change::AddedAfterMiss)
            QVERIFY(QFile::copy(other, path));
        if (change == Change::NoLongerWanted)
            ahead.prepare({other});
        QCOMPARE(ahead.wanted(),
                 change == Change::NoLongerWanted ? QStringList{other} : QStringList{path});
        bool wasReady = false;
        const LoadedPicture picture = ahead.take(path, &wasReady);
        QCOMPARE(wasReady, ready);
        QCOMPARE(picture.fullSize.width(), width ? width : -1);
    }
};

QTEST_GUILESS_MAIN(TestPlatform)
#include "tst_platform.moc"
