#include "colour.h"
#ifdef TARVEL_HAVE_JPEG_CROP
#include "jpegdecoder.h"
#endif
#include "filestamp.h"
#include "numbers.h"
#include "pictureloader.h"
#include "readahead.h"
#include "testdata.h"
#include "textfile.h"

#include <QtGui>
#include <QtTest>

namespace {

// What a page can show of a picture placed at its usual spot.
const QSize kVisibleArea(788, 553);

// What happens to a file read ahead before the click.
enum class Change { None, RewrittenKeepingSizeAndTime, Replaced, Deleted, AddedAfterMiss };

using Alter = std::function<void(FileStamp &)>;

#ifdef TARVEL_HAVE_JPEG_CROP
constexpr bool kCmykProfiles = true; // only libjpeg's path converts CMYK through its profile
#else
constexpr bool kCmykProfiles = false;
#endif

// What a picture shows: a profile Qt cannot read leaves a colour space behind that shows nothing,
// and libjpeg's path keeps none where the profile's markers do not add up.
QImage pixels(const QImage &picture)
{
    QImage rgb = picture.convertToFormat(QImage::Format_RGB32);
    rgb.setColorSpace(QColorSpace());
    return rgb;
}

// Of the channels of two pictures of one size, in levels.
double meanDifference(const QImage &a, const QImage &b)
{
    qint64 sum = 0;
    for (int y = 0; y < a.height(); ++y)
        for (int x = 0; x < a.width(); ++x)
            for (const int shift : {0, 8, 16})
                sum += qAbs(int(a.pixel(x, y) >> shift & 255) - int(b.pixel(x, y) >> shift & 255));
    return double(sum) / (3.0 * a.width() * a.height());
}

} // namespace

Q_DECLARE_METATYPE(Alter)

// The rules every step and save relies on: numbers, description text, pictures.
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
        QByteArray everyByte;
        for (int b = 0; b < 256; ++b)
            everyByte += char(b);
        // clang-format off
        QTest::newRow("ASCII with CR LF") << QByteArray("a\r\nb\r\n") << "a\r\nb\r\n" << TextForm::Windows1252;
        QTest::newRow("Windows-1252") << QByteArray("M\xf3r \x80\x81\x9f") << u"Mór €\u0081Ÿ"_qs << TextForm::Windows1252;
        QTest::newRow("UTF-8") << QByteArray("M\xc3\xb3r \xe2\x82\xac") << u"Mór €"_qs << TextForm::Utf8;
        QTest::newRow("UTF-8 with a mark") << QByteArray("\xef\xbb\xbfK\xc3\xa9") << u"\uFEFFKé"_qs << TextForm::Utf8;
        QTest::newRow("UTF-8 gone bad") << QByteArray("\xc3\xa9\xe9") << u"Ã©é"_qs << TextForm::Windows1252;
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
        QCOMPARE(decoded.text.size(), text.isEmpty() ? bytes.size() : text.size());
        QCOMPARE(decoded.form, form);
        QCOMPARE(encodeText(decoded.text, decoded.form), bytes);
    }

    // The loader decodes only the visible corner, yet shows exactly the pixels of a whole
    // decode turned upright and converted from its profile to sRGB; what Qt cannot read is no
    // picture here either. The pictures are named for what they try, and the fuzzer's seeds
    // and findings join them. Qt cannot convert CMYK: such a picture with a profile is held to
    // the pixels another colour engine made of it once, in as-shown/.
    void visiblePartMatchesUprightWholeDecode_data()
    {
        QTest::addColumn<QString>("path");
        for (const char *folder : {TARVEL_TEST_PICTURES, TARVEL_FUZZ_CORPUS})
            for (const QFileInfo &file : QDir(folder).entryInfoList(QDir::Files))
                QTest::newRow(qPrintable(file.fileName())) << file.filePath();
    }

    void visiblePartMatchesUprightWholeDecode()
    {
        QFETCH(QString, path);
        const LoadedPicture picture = loadPicture(path, kVisibleArea);
        const bool jpeg = QImageReader(path).format() == "jpeg"; // as read before, not after
        QImageReader reader(path);
        reader.setAutoTransform(true);
        QImage whole = reader.read();
        const QString asShown =
            TARVEL_TEST_PICTURES "/as-shown/" + QFileInfo(path).completeBaseName() + u".png"_qs;
        const bool reference = kCmykProfiles && QFile::exists(asShown);
        QCOMPARE(picture.isNull(), whole.isNull());
        QCOMPARE(picture.errorString.isEmpty(), !whole.isNull());
        if (whole.isNull())
            return;
#ifdef TARVEL_HAVE_JPEG_CROP
        // libjpeg decodes any stored rectangle as Qt does, here the bottom-right quarter, so that
        // rows are skipped and columns cut. A fallback would hide faults.
        QFile file(path);
        QImageReader asStored(path);
        asStored.setAutoTransform(false);
        const QImage stored = asStored.read();
        const QRect kept = stored.rect().adjusted(stored.width() / 2, stored.height() / 2, 0, 0);
        const QRect needed = kept.adjusted(-16, -16, 0, 0) & stored.rect();
        QVERIFY(file.open(QIODevice::ReadOnly));
        const QImage piece = decodeJpegPiece(file, stored.size(), needed, kept);
        if (jpeg && !reference)
            QCOMPARE(pixels(piece), pixels(stored.copy(kept)));
#endif
        QCOMPARE(picture.fullSize, whole.size());
        const QRect shown = whole.rect().intersected(QRect(QPoint(0, 0), kVisibleArea));
        if (reference) {
            QVERIFY(meanDifference(picture.visible, QImage(asShown).copy(shown)) < 1);
            return;
        }
        showInColourSpace(whole, QColorSpace::SRgb);
        QCOMPARE(pixels(picture.visible), pixels(whole.copy(shown)));
    }

    // Pictures are converted to the screen's own colour space where Qt reads the profile it
    // publishes, else to sRGB.
    void convertedToScreenColourSpace_data()
    {
        QTest::addColumn<QByteArray>("published");
        QTest::addColumn<QColorSpace>("expected");
        const QByteArray p3 = QColorSpace(QColorSpace::DisplayP3).iccProfile();
        QTest::newRow("none") << QByteArray() << QColorSpace(QColorSpace::SRgb);
        QTest::newRow("Display P3") << p3 << QColorSpace(QColorSpace::DisplayP3);
        QTest::newRow("cut short") << p3.chopped(1) << QColorSpace(QColorSpace::SRgb);
        QTest::newRow("nonsense") << QByteArray(p3.size(), 'x') << QColorSpace(QColorSpace::SRgb);
    }

    void convertedToScreenColourSpace()
    {
        QFETCH(QByteArray, published);
        QFETCH(QColorSpace, expected);
        const QColorSpace screen = screenColourSpace(published);
        QCOMPARE(screen, expected);
        const QString rgb = TARVEL_TEST_PICTURES "/adobe-rgb.jpg",
                      cmyk = TARVEL_TEST_PICTURES "/cmyk-adobe-with-profile.jpg";
        QImage whole(rgb);
        whole.convertToColorSpace(screen);
        QCOMPARE(loadPicture(rgb, kVisibleArea, nullptr, screen).visible,
                 whole.copy(whole.rect() & QRect(QPoint(0, 0), kVisibleArea)));
        // Little CMS converts CMYK straight into the screen's space, as near as by way of sRGB.
        const QImage direct = loadPicture(cmyk, kVisibleArea, nullptr, screen).visible;
        QImage viaSrgb = loadPicture(cmyk, kVisibleArea).visible;
        viaSrgb.convertToColorSpace(screen);
        QCOMPARE(direct.colorSpace(), kCmykProfiles ? screen : QColorSpace());
        QVERIFY(!kCmykProfiles || meanDifference(direct, viaSrgb) < 1);
    }

    // A decode that the program's end cancels stops at its next read.
    void cancelledDecodeStops()
    {
        const std::atomic<bool> cancelled = true;
        QVERIFY(loadPicture(TARVEL_TEST_PICTURES "/grey.jpg", kVisibleArea, &cancelled).isNull());
    }

    void fileStamp_data()
    {
        QTest::addColumn<Alter>("alter");
        QTest::newRow("size") << Alter([](FileStamp &s) { ++s.size; });
        QTest::newRow("modification time") << Alter([](FileStamp &s) { ++s.modified; });
        QTest::newRow("change time") << Alter([](FileStamp &s) { ++s.changed; });
        QTest::newRow("device") << Alter([](FileStamp &s) { ++s.device; });
        QTest::newRow("inode") << Alter([](FileStamp &s) { ++s.inode; });
    }

    // Each part of a file's stamp alone tells another state of the file.
    void fileStamp()
    {
        QFETCH(Alter, alter);
        QVERIFY(testdata::writeBytes(m_path, "x"));
        const FileStamp stamp = stampOf(m_path);
        FileStamp other = stamp;
        alter(other);
        QVERIFY(stamp.exists);
        QCOMPARE(stampOf(m_path), stamp);
        QVERIFY(!(other == stamp));
    }

    void settled_data()
    {
        QTest::addColumn<qint64>("changed"); // nanoseconds since the epoch
        QTest::addColumn<int>("readAfterMs");
        QTest::addColumn<bool>("settled");
        const qint64 second = 1'000'000'000, fine = 1'700'000'000 * second + 1;
        QTest::newRow("fine, within a tick") << fine << 9 << false;
        QTest::newRow("fine, a tick later") << fine << 10 << true;
        QTest::newRow("coarse, within a tick") << fine - 1 << 1999 << false;
        QTest::newRow("coarse, a tick later") << fine - 1 << 2000 << true;
    }

    // A read is told apart from a later change only where it began a tick after the last one.
    void settled()
    {
        QFETCH(qint64, changed);
        QFETCH(int, readAfterMs);
        QFETCH(bool, settled);
        const FileStamp stamp{true, 1, changed, changed};
        const std::chrono::system_clock::time_point start{std::chrono::nanoseconds(changed)};
        QCOMPARE(stamp.settledBy(start + std::chrono::milliseconds(readAfterMs)), settled);
    }

    void readAhead_data()
    {
        QTest::addColumn<Change>("change");
        QTest::addColumn<bool>("ready"); // whether the picture read ahead is the one shown
        QTest::addColumn<int>("width");  // of the picture shown; -1 for none
        QTest::newRow("unchanged") << Change::None << true << 300;
        QTest::newRow("rewritten, size and time kept")
            << Change::RewrittenKeepingSizeAndTime << false << 301;
        QTest::newRow("replaced") << Change::Replaced << false << 301;
        QTest::newRow("deleted") << Change::Deleted << false << -1;
        QTest::newRow("added after a miss") << Change::AddedAfterMiss << false << 301;
    }

    // A click shows what is on disk at the click, read ahead or not; of two files of one
    // length, only the change time may tell the rewritten one.
    void readAhead()
    {
        QFETCH(Change, change);
        QFETCH(bool, ready);
        QFETCH(int, width);
        const QString other = m_dir.filePath(QStringLiteral("2.jpg"));
        QByteArray bytes[2];
        for (int i = 0; i < 2; ++i) {
            QBuffer buffer(&bytes[i]);
            // Tagged sRGB, as cameras tag photos: the read-ahead converts them into the screen's.
            QImage picture = testdata::textured({300 + i, 200}, i);
            picture.setColorSpace(QColorSpace::SRgb);
            QVERIFY(buffer.open(QIODevice::WriteOnly) && picture.save(&buffer, "JPEG"));
        }
        const qsizetype length = std::max(bytes[0].size(), bytes[1].size());
        QFile::remove(m_path);
        QVERIFY(change == Change::AddedAfterMiss
                || testdata::writeBytes(m_path, bytes[0].leftJustified(length, '\0')));
        QVERIFY(testdata::writeBytes(other, bytes[1].leftJustified(length, '\0')));
        // Qt sets times to the millisecond: the file's own time is made one it can set again.
        QFile file(m_path);
        const QDateTime modified = QFileInfo(m_path).lastModified();
        const auto setTime = [&] {
            return file.open(QIODevice::ReadWrite)
                && file.setFileTime(modified, QFileDevice::FileModificationTime);
        };
        QVERIFY(change == Change::AddedAfterMiss || setTime());
        file.close();
        ReadAhead ahead(kVisibleArea, QColorSpace::DisplayP3);
        ahead.prepare({m_path, m_path});
        QTRY_VERIFY(ahead.isReady(m_path));
        if (change == Change::RewrittenKeepingSizeAndTime) {
            QVERIFY(testdata::writeBytes(m_path, testdata::readBytes(other)));
            QVERIFY(setTime());
        }
        if (change == Change::Replaced || change == Change::Deleted)
            QVERIFY(QFile::remove(m_path));
        if (change == Change::Replaced || change == Change::AddedAfterMiss)
            QVERIFY(QFile::rename(other, m_path));
        QCOMPARE(ahead.wanted(), QStringList{m_path});
        bool wasReady = false;
        const LoadedPicture shown = ahead.take(m_path, &wasReady);
        QCOMPARE(shown.fullSize.width(), width);
        QCOMPARE(wasReady, ready);
        QCOMPARE(shown.visible.colorSpace(), width > 0 ? QColorSpace::DisplayP3 : QColorSpace());
    }
};

QTEST_GUILESS_MAIN(TestPlatform)
#include "tst_platform.moc"
