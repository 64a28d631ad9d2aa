#include "cancellabledevice.h"
#include "colour.h"
#include "pictureloader.h"
#include "screenprofile.h"
#include "testdata.h"

#include <QtGui>
#include <QtTest>
#ifdef TARVEL_HAVE_XCB
#include <QtGui/qguiapplication_platform.h>
#include <xcb/xcb.h>
#endif

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
        const LoadedPicture picture = loadPicture(path, kSrgbPage);
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
                 "not a whole decode's corner: check decodeOnlyTopRows() with this libjpeg-turbo");
    }

    // Pictures are converted to the screen's own colour space where Qt reads the profile that
    // a colour daemon publishes on the X server's root window, here a virtual server of the
    // suite's own; else to sRGB. The read-ahead's rows show a picture arrive in it.
    void convertedToScreenColourSpace_data()
    {
        QTest::addColumn<QByteArray>("published");
        QTest::addColumn<QColorSpace>("expected");
        const QColorSpace sRgb(QColorSpace::SRgb), p3(QColorSpace::DisplayP3);
        const QByteArray profile = p3.iccProfile();
        const QByteArray longest = profile + QByteArray(4 * 1024 * 1024 - profile.size(), 0);
        QTest::newRow("none") << QByteArray() << sRgb;
        QTest::newRow("Display P3") << profile << p3;
        QTest::newRow("damaged") << profile.chopped(1) << sRgb;
        QTest::newRow("as long as one is read") << longest << p3;
        QTest::newRow("longer") << longest + '\0' << sRgb;
    }

    void convertedToScreenColourSpace()
    {
        QFETCH(QByteArray, published);
        QFETCH(QColorSpace, expected);
#ifdef TARVEL_HAVE_XCB
        auto *x = qGuiApp->nativeInterface<QNativeInterface::QX11Application>()->connection();
        const xcb_window_t root = xcb_setup_roots_iterator(xcb_get_setup(x)).data->root;
        auto *name = xcb_intern_atom_reply(x, xcb_intern_atom(x, 0, 12, "_ICC_PROFILE"), nullptr);
        xcb_change_property(x, XCB_PROP_MODE_REPLACE, root, name->atom, XCB_ATOM_CARDINAL, 8,
                            uint32_t(published.size()), published.constData());
        std::free(name);
#else
        QSKIP("only an X server publishes its screen's profile");
#endif
        const QColorSpace screen = screenColourSpace(publishedScreenProfile());
        QCOMPARE(screen, expected);
        // Reading it leaves the profile published, for every other program to read.
        QCOMPARE(screenColourSpace(publishedScreenProfile()), expected);
        // Little CMS converts CMYK straight into the screen's space, as near as by way of sRGB;
        // Qt's own reader leaves a CMYK picture's colours as they are.
        const QString cmyk = TARVEL_TEST_PICTURES "/cmyk-adobe-with-profile.jpg";
        const QImage viaSrgb = loadPicture(cmyk, kSrgbPage).visible.convertedToColorSpace(screen);
        if (kCmykProfiles)
            QCOMPARE_LT(meanDifference(loadPicture(cmyk, {kVisibleArea, screen}).visible, viaSrgb),
                        1);
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
        QVERIFY(loadPicture(file.fileName(), kSrgbPage, &cancelled).isNull());
    }
};

QTEST_MAIN(TestPictures)
#include "tst_pictures.moc"
