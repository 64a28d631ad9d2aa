#include "collection.h"
#include "pictureloader.h"
#include "textfile.h"

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

QImage wholeDecode(const QString &path)
{
    QImageReader reader(path);
    reader.setAllocationLimit(0);
    return reader.read();
}

} // namespace

class TestPictureLoader : public QObject
{
    Q_OBJECT

private slots:
    void visiblePartMatchesWholeDecode_data();
    void visiblePartMatchesWholeDecode();
    void pictureOverTheReadersDefaultLimitIsShown();
    void goesByContentNotByName_data();
    void goesByContentNotByName();
    void failures_data();
    void failures();

private:
    QTemporaryDir m_dir;
};

void TestPictureLoader::visiblePartMatchesWholeDecode_data()
{
    QTest::addColumn<QSize>("size");
    QTest::addColumn<bool>("progressive");
    QTest::addColumn<bool>("grey");
    QTest::addColumn<bool>("truncated");

    QTest::newRow("smaller than the area") << QSize(300, 200) << false << false << false;
    QTest::newRow("wider than the area") << QSize(1501, 401) << false << false << false;
    QTest::newRow("taller than the area") << QSize(333, 1200) << false << false << false;
    QTest::newRow("larger both ways") << QSize(2000, 1333) << false << false << false;
    QTest::newRow("exactly the area") << kVisibleArea << false << false << false;
    QTest::newRow("one pixel") << QSize(1, 1) << false << false << false;
    QTest::newRow("progressive, larger") << QSize(1999, 1201) << true << false << false;
    QTest::newRow("progressive, smaller") << QSize(500, 301) << true << false << false;
    QTest::newRow("progressive, just taller") << QSize(900, 570) << true << false << false;
    QTest::newRow("grey") << QSize(1700, 900) << false << true << false;
    QTest::newRow("grey progressive") << QSize(1700, 900) << true << true << false;
    QTest::newRow("truncated in the visible rows") << QSize(1600, 1200) << false << false << true;
    QTest::newRow("truncated progressive") << QSize(1600, 1200) << true << false << true;
}

void TestPictureLoader::visiblePartMatchesWholeDecode()
{
    QFETCH(QSize, size);
    QFETCH(bool, progressive);
    QFETCH(bool, grey);
    QFETCH(bool, truncated);
    const QString path = m_dir.filePath(QStringLiteral("photo.jpg"));
    QImage photo = testdata::photoLike(size, 42);
    if (grey)
        photo = photo.convertToFormat(QImage::Format_Grayscale8);
    QFile::remove(path);
    QImageWriter writer(path, "jpeg");
    writer.setProgressiveScanWrite(progressive);
    QVERIFY(writer.write(photo));
    if (truncated) {
        const QByteArray whole = *readWholeFile(path, qint64(1) << 40);
        QVERIFY(testdata::writeBytes(path, whole.left(whole.size() / 8)));
    }

    const LoadedPicture picture = LoadPicture(path, kVisibleArea);
    QVERIFY2(!picture.isNull(), qPrintable(picture.errorString));
    QCOMPARE(picture.fullSize, size);
    const QRect shown = QRect(QPoint(0, 0), size).intersected(QRect(QPoint(0, 0), kVisibleArea));
    QCOMPARE(picture.visible.size(), shown.size());
    const QImage whole = wholeDecode(path).copy(shown);
    QCOMPARE(picture.visible.convertToFormat(QImage::Format_RGB32),
             whole.convertToFormat(QImage::Format_RGB32));
}

void TestPictureLoader::pictureOverTheReadersDefaultLimitIsShown()
{
    const QString path = m_dir.filePath(QStringLiteral("huge.jpg"));
    const QSize size(7000, 5000);
    QVERIFY(testdata::writeJpeg(path, size, 7));

    const LoadedPicture picture = LoadPicture(path, kVisibleArea);
    QVERIFY2(!picture.isNull(), qPrintable(picture.errorString));
    QCOMPARE(picture.fullSize, size);
    QCOMPARE(picture.visible.size(), kVisibleArea);
}

void TestPictureLoader::goesByContentNotByName_data()
{
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<QSize>("size");

    const auto encoded = [](const char *format) {
        QBuffer buffer;
        buffer.open(QIODevice::WriteOnly);
        QImageWriter(&buffer, format).write(testdata::photoLike(QSize(900, 300), 3));
        return buffer.data();
    };
    // Qt writes no GIF; this is a complete one-pixel GIF.
    const QByteArray gif("GIF89a\x01\x00\x01\x00\x80\x00\x00\xff\xff\xff\x00\x00\x00"
                         "!\xf9\x04\x01\x00\x00\x00\x00,\x00\x00\x00\x00\x01\x00\x01\x00"
                         "\x00\x02\x02\x44\x01\x00;",
                         43);
    QTest::newRow("PNG named .jpg") << encoded("png") << QSize(900, 300);
    QTest::newRow("BMP named .jpg") << encoded("bmp") << QSize(900, 300);
    QTest::newRow("GIF named .jpg") << gif << QSize(1, 1);
}

void TestPictureLoader::goesByContentNotByName()
{
    QFETCH(QByteArray, bytes);
    QFETCH(QSize, size);
    const QString path = m_dir.filePath(QStringLiteral("other.jpg"));
    QVERIFY(testdata::writeBytes(path, bytes));

    const LoadedPicture picture = LoadPicture(path, kVisibleArea);
    QVERIFY2(!picture.isNull(), qPrintable(picture.errorString));
    QCOMPARE(picture.fullSize, size);
    QCOMPARE(picture.visible.size(), size.boundedTo(kVisibleArea));
}

void TestPictureLoader::failures_data()
{
    QTest::addColumn<QString>("kind");
    QTest::newRow("missing") << "missing";
    QTest::newRow("zero bytes") << "empty";
    QTest::newRow("random bytes") << "random";
    QTest::newRow("text") << "text";
    QTest::newRow("folder named .jpg") << "folder";
    QTest::newRow("link loop") << "loop";
    QTest::newRow("header only") << "header";
}

void TestPictureLoader::failures()
{
    QFETCH(QString, kind);
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("2.jpg"));
    if (kind == u"empty") {
        QVERIFY(testdata::writeBytes(path, {}));
    } else if (kind == u"random") {
        QByteArray noise(4096, Qt::Uninitialized);
        QRandomGenerator random(5);
        for (char &c : noise)
            c = char(random.bounded(256));
        QVERIFY(testdata::writeBytes(path, noise));
    } else if (kind == u"text") {
        QVERIFY(testdata::writeBytes(path, "This is not a picture.\r\n"));
    } else if (kind == u"folder") {
        QVERIFY(QDir(dir.path()).mkdir(QStringLiteral("2.jpg")));
    } else if (kind == u"loop") {
#ifndef Q_OS_UNIX
        QSKIP("QFile::link makes shortcuts here, not links");
#endif
        QVERIFY(QFile::link(dir.filePath(QStringLiteral("3.jpg")), path));
        QVERIFY(QFile::link(path, dir.filePath(QStringLiteral("3.jpg"))));
    } else if (kind == u"header") {
        QBuffer buffer;
        buffer.open(QIODevice::WriteOnly);
        QImageWriter(&buffer, "jpeg").write(testdata::photoLike(QSize(400, 300), 1));
        QVERIFY(testdata::writeBytes(path, buffer.data().left(200)));
    }
    const LoadedPicture picture = LoadPicture(path, kVisibleArea);
    QVERIFY(picture.isNull());
    QVERIFY(!picture.errorString.isEmpty());
}

QTEST_GUILESS_MAIN(TestPictureLoader)
#include "tst_pictureloader.moc"
