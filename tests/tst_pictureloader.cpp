#include "collection.h"
#include "pictureloader.h"

#include <QBuffer>
#include <QDir>
#include <QFile>
#include <QImageReader>
#include <QImageWriter>
#include <QRandomGenerator>
#include <QTemporaryDir>
#include <QTest>

namespace {

// What a page can show of a picture placed at its usual spot.
const QSize kVisibleArea(788, 553);

constexpr int kBaseline = 0, kProgressive = 1, kGrey = 2, kTruncated = 4, kPng = 8;

QByteArray encoded(QSize size, int coding)
{
    QImage photo = testdata::textured(size, 42);
    if (coding & kGrey)
        photo = photo.convertToFormat(QImage::Format_Grayscale8);
    QBuffer buffer;
    buffer.open(QIODevice::WriteOnly);
    QImageWriter writer(&buffer, coding & kPng ? "png" : "jpeg");
    writer.setProgressiveScanWrite(coding & kProgressive);
    writer.write(photo);
    return buffer.data();
}

QByteArray tiff(int orientation, qsizetype at = 0, const QByteArray &patch = {})
{
    return testdata::orientationTiff(orientation).replace(at, patch.size(), patch);
}

} // namespace

class TestPictureLoader : public QObject
{
    Q_OBJECT
    QTemporaryDir m_dir;

private slots:
    void visiblePartMatchesUprightWholeDecode_data()
    {
        QTest::addColumn<QSize>("stored");
        QTest::addColumn<int>("coding");
        QTest::addColumn<QByteArray>("exif"); // the Exif segment's TIFF part; none when empty
        QTest::addColumn<QSize>("upright");

        const auto row = [](const char *name, QSize stored, int coding, const QByteArray &exif,
                            QSize upright) {
            QTest::newRow(name) << stored << coding << exif << upright;
        };
        const QSize odd(1012, 905), turned(905, 1012); // both ways larger than the area
        row("smaller than the area", {300, 200}, kBaseline, {}, {300, 200});
        row("wider than the area", {1501, 401}, kBaseline, {}, {1501, 401});
        row("taller than the area", {333, 1200}, kBaseline, {}, {333, 1200});
        row("exactly the area", kVisibleArea, kBaseline, {}, kVisibleArea);
        row("one pixel", {1, 1}, kBaseline, {}, {1, 1});
        row("progressive", {1999, 1201}, kProgressive, {}, {1999, 1201});
        row("progressive, just taller", {900, 570}, kProgressive, {}, {900, 570});
        row("grey", {1700, 900}, kGrey, {}, {1700, 900});
        row("grey progressive", {1700, 900}, kGrey | kProgressive, {}, {1700, 900});
        row("truncated", {1600, 1200}, kTruncated, {}, {1600, 1200});
        row("truncated progressive", {1600, 1200}, kTruncated | kProgressive, {}, {1600, 1200});
        row("PNG named .jpg", {900, 300}, kPng, {}, {900, 300});
        row("over Qt's allocation limit", {7000, 5000}, kBaseline, {}, {7000, 5000});

        row("orientation 1", odd, kBaseline, tiff(1), odd);
        row("orientation 2, mirrored", odd, kBaseline, tiff(2), odd);
        row("orientation 3, half a turn", odd, kBaseline, tiff(3), odd);
        row("orientation 4, flipped", odd, kBaseline, tiff(4), odd);
        row("orientation 5, transposed", odd, kBaseline, tiff(5), turned);
        row("orientation 6, clockwise", odd, kBaseline, tiff(6), turned);
        row("orientation 7, transversed", odd, kBaseline, tiff(7), turned);
        row("orientation 8, anticlockwise", odd, kBaseline, tiff(8), turned);
        row("6, big-endian", odd, kBaseline, testdata::orientationTiff(6, true), turned);
        row("6, smaller than the area", {301, 199}, kBaseline, tiff(6), {199, 301});
        row("6, progressive", odd, kProgressive, tiff(6), turned);
        row("8, progressive", odd, kProgressive, tiff(8), turned);
        row("7, grey", odd, kGrey, tiff(7), turned);
        row("3, truncated", {1600, 1200}, kTruncated, tiff(3), {1600, 1200});

        // Damaged or absurd Exif data leaves the picture as stored.
        row("Exif cut in the value", odd, kBaseline, tiff(6).left(19), odd);
        row("tag list outside", odd, kBaseline, tiff(6, 4, "\xf0"), odd);
        row("tag count past the end", odd, kBaseline, tiff(6, 8, "\xff\xff\x13\x01"), odd);
        row("not TIFF", odd, kBaseline, tiff(6, 2, "\x2b"), odd);
        row("orientation 0", odd, kBaseline, tiff(0), odd);
        row("orientation 9", odd, kBaseline, tiff(9), odd);
    }

    void visiblePartMatchesUprightWholeDecode()
    {
        QFETCH(QSize, stored);
        QFETCH(int, coding);
        QFETCH(QByteArray, exif);
        QFETCH(QSize, upright);
        QByteArray bytes = encoded(stored, coding);
        if (!exif.isEmpty())
            bytes = testdata::withExif(bytes, exif);
        if (coding & kTruncated)
            bytes.truncate(bytes.size() / 8);
        const QString path = m_dir.filePath(QStringLiteral("photo.jpg"));
        QVERIFY(testdata::writeBytes(path, bytes));

        const LoadedPicture picture = LoadPicture(path, kVisibleArea);
        QVERIFY2(!picture.isNull(), qPrintable(picture.errorString));
        QCOMPARE(picture.fullSize, upright);
        QImageReader reader(path);
        reader.setAllocationLimit(0);
        reader.setAutoTransform(true);
        const QImage whole = reader.read();
        QCOMPARE(whole.size(), upright);
        const QRect shown =
            QRect(QPoint(0, 0), upright).intersected(QRect(QPoint(0, 0), kVisibleArea));
        QCOMPARE(picture.visible.convertToFormat(QImage::Format_RGB32),
                 whole.copy(shown).convertToFormat(QImage::Format_RGB32));
    }

    void failures_data()
    {
        QTest::addColumn<QByteArray>("bytes"); // the file's, unless it is to be
        QTest::addColumn<QString>("instead");  // "missing", a "folder" or a link "loop"
        QByteArray noise(4096, Qt::Uninitialized);
        QRandomGenerator random(5);
        for (char &c : noise)
            c = char(random.bounded(256));
        QTest::newRow("missing") << QByteArray() << "missing";
        QTest::newRow("zero bytes") << QByteArray() << "";
        QTest::newRow("random bytes") << noise << "";
        QTest::newRow("text") << QByteArray("This is not a picture.\r\n") << "";
        QTest::newRow("header only") << encoded(QSize(400, 300), kBaseline).left(200) << "";
        QTest::newRow("folder named .jpg") << QByteArray() << "folder";
        QTest::newRow("link loop") << QByteArray() << "loop";
    }

    void failures()
    {
        QFETCH(QByteArray, bytes);
        QFETCH(QString, instead);
        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("2.jpg"));
        if (instead.isEmpty()) {
            QVERIFY(testdata::writeBytes(path, bytes));
        } else if (instead == u"folder") {
            QVERIFY(QDir(dir.path()).mkdir(QStringLiteral("2.jpg")));
        } else if (instead == u"loop") {
#ifndef Q_OS_UNIX
            QSKIP("QFile::link makes shortcuts here, not links");
#endif
            QVERIFY(QFile::link(dir.filePath(QStringLiteral("3.jpg")), path));
            QVERIFY(QFile::link(path, dir.filePath(QStringLiteral("3.jpg"))));
        }
        const LoadedPicture picture = LoadPicture(path, kVisibleArea);
        QVERIFY(picture.isNull());
        QVERIFY(!picture.errorString.isEmpty());
    }
};

QTEST_GUILESS_MAIN(TestPictureLoader)
#include "tst_pictureloader.moc"
