#include "cancellabledevice.h"
#include "colour.h"
#include "pictureloader.h"
#include "testdata.h"

#include <QtGui>
#include <QtTest>

namespace {

#ifdef TARVEL_HAVE_JPEG_CROP
constexpr bool kCmykProfiles = true; // only libjpeg's path converts CMYK through its profile
#else
constexpr bool kCmykProfiles = false;
#endif

// Of the colour channels of two pictures of one size, in levels, whatever their formats and
// colour spaces: a profile Qt cannot read leaves a colour space behind that shows nothing, and
// libjpeg's path keeps none where the profile's markers do not add up.
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

// The picture loader: the visible corner of every picture, in the screen's colours.
class TestPictures : public QObject
{
    Q_OBJECT

private slots:
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
        QImageReader reader(path);
        reader.setAutoTransform(true);
        QImage whole = reader.read();
        const QString asShown =
            TARVEL_TEST_PICTURES "/as-shown/" + QFileInfo(path).completeBaseName() + u".png"_s;
        const bool reference = kCmykProfiles && QFile::exists(asShown);
        QCOMPARE(picture.isNull(), whole.isNull());
        QCOMPARE(picture.errorString.isEmpty(), !whole.isNull());
        if (whole.isNull())
            return;
        QCOMPARE(picture.fullSize, whole.size());
#if QT_VERSION >= QT_VERSION_CHECK(6, 8, 0)
        // From Qt 6.8 its reader keeps CMYK as such and turns it into RGB by a formula of its own,
        // while the program keeps the one Qt's reader used before: only the size is Qt's.
        if (whole.format() == QImage::Format_CMYK8888 && !reference)
            return;
#endif
        const QRect shown = whole.rect().intersected(QRect(QPoint(0, 0), kVisibleArea));
        QCOMPARE(picture.visible.size(), shown.size());
        if (reference) {
            QCOMPARE_LT(meanDifference(picture.visible, QImage(asShown).copy(shown)), 1);
            return;
        }
        // A progressive picture's rows below the corner are left out by rewriting libjpeg's own
        // fields after its header is read: should a libjpeg-turbo read them otherwise, this
        // says so.
        showInColourSpace(whole, QColorSpace::SRgb);
        QVERIFY2(meanDifference(picture.visible, whole.copy(shown)) == 0,
                 "the corner differs from a whole decode: for a progressive picture, check the "
                 "fields decodeOnlyTopRows() sets against this libjpeg-turbo");
    }

    // Pictures are converted to the screen's own colour space where Qt reads the profile it
    // publishes, else to sRGB; the read-ahead's rows show a picture arrive in it.
    void convertedToScreenColourSpace_data()
    {
        QTest::addColumn<QByteArray>("published");
        QTest::addColumn<QColorSpace>("expected");
        const QByteArray p3 = QColorSpace(QColorSpace::DisplayP3).iccProfile();
        QTest::newRow("none") << QByteArray() << QColorSpace(QColorSpace::SRgb);
        QTest::newRow("Display P3") << p3 << QColorSpace(QColorSpace::DisplayP3);
        QTest::newRow("damaged") << p3.chopped(1) << QColorSpace(QColorSpace::SRgb);
    }

    void convertedToScreenColourSpace()
    {
        QFETCH(QByteArray, published);
        QFETCH(QColorSpace, expected);
        const QColorSpace screen = screenColourSpace(published);
        QCOMPARE(screen, expected);
        if (!kCmykProfiles)
            return; // Qt's own reader leaves a CMYK picture's colours as they are
        // Little CMS converts CMYK straight into the screen's space, as near as by way of sRGB.
        const QString cmyk = TARVEL_TEST_PICTURES "/cmyk-adobe-with-profile.jpg";
        const QImage direct = loadPicture(cmyk, kVisibleArea, nullptr, screen).visible;
        const QImage viaSrgb =
            loadPicture(cmyk, kVisibleArea).visible.convertedToColorSpace(screen);
        QCOMPARE(direct.colorSpace(), screen);
        QCOMPARE_LT(meanDifference(direct, viaSrgb), 1);
    }

    // A decode that the program's end cancels stops at its next read. Qt's reads pass through,
    // from the start of the file, until the flag is set and fail from then on; the pictures
    // above show they land where Qt's reader seeks.
    void cancelledDecodeStops()
    {
        QFile file(TARVEL_TEST_PICTURES "/grey.jpg");
        QVERIFY(file.open(QIODevice::ReadOnly));
        QVERIFY(file.seek(9));
        std::atomic<bool> cancelled = false;
        CancellableDevice device(file, &cancelled);
        QCOMPARE(device.read(10), "\xff\xd8\xff\xe0\0\x10JFIF"_ba);
        cancelled = true;
        QCOMPARE(device.read(1), QByteArray());
        QVERIFY(loadPicture(file.fileName(), kVisibleArea, &cancelled).isNull());
    }
};

QTEST_GUILESS_MAIN(TestPictures)
#include "tst_pictures.moc"
