#include "collection.h"
#include "textfile.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>

class TestTextFile : public QObject
{
    Q_OBJECT

private slots:
    void decodeRoundTrips_data();
    void decodeRoundTrips();
    void windows1252Letters();
    void encodeReplacesWhatTheFormCannotHold();
    void readWholeFileFailures_data();
    void readWholeFileFailures();
    void atomicWriteReplacesTheFile();
    void atomicWriteFailureKeepsWhatWasThere_data();
    void atomicWriteFailureKeepsWhatWasThere();
};

void TestTextFile::decodeRoundTrips_data()
{
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<int>("form");
    const int cp1252 = int(TextForm::Windows1252);
    const int utf8 = int(TextForm::Utf8);

    QByteArray everyByte;
    for (int b = 0; b < 256; ++b)
        everyByte += char(b);

    QTest::newRow("empty") << QByteArray() << cp1252;
    QTest::newRow("ascii with CR LF") << QByteArray("Line one\r\nLine two\r\n") << cp1252;
    QTest::newRow("1252 accent") << QByteArray("Cape L\xe9rat\r\n") << cp1252;
    QTest::newRow("every byte value") << everyByte << cp1252;
    QTest::newRow("unassigned 1252 bytes") << QByteArray("\x81\x8d\x8f\x90\x9d") << cp1252;
    QTest::newRow("NUL bytes") << QByteArray("a\0b\0\0c", 6) << cp1252;
    QTest::newRow("utf8 accent") << QByteArray("Cape L\xc3\xa9rat\r\n") << utf8;
    QTest::newRow("utf8 with byte order mark")
        << QByteArray("\xef\xbb\xbfTarvel M\xc3\xb3r") << utf8;
    QTest::newRow("invalid utf8") << QByteArray("caf\xc3\x28") << cp1252;
    QTest::newRow("overlong utf8") << QByteArray("\xc0\xaf") << cp1252;
    QTest::newRow("utf8 surrogate") << QByteArray("\xed\xa0\x80") << cp1252;
    QTest::newRow("truncated utf8") << QByteArray("ab\xe2\x82") << cp1252;
}

void TestTextFile::decodeRoundTrips()
{
    QFETCH(QByteArray, bytes);
    QFETCH(int, form);
    const DecodedText decoded = decodeText(bytes);
    QCOMPARE(int(decoded.form), form);
    QCOMPARE(decoded.text.size() <= bytes.size(), true);
    QCOMPARE(encodeText(decoded.text, decoded.form), bytes);
}

void TestTextFile::windows1252Letters()
{
    QCOMPARE(decodeText("L\xe9rat").text, QStringLiteral("Lérat"));
    QCOMPARE(decodeText("\x80").text, QStringLiteral("€"));
    QCOMPARE(decodeText("\x93quoted\x94").text, QStringLiteral("“quoted”"));
    QCOMPARE(decodeText("L\xc3\xa9rat").text, QStringLiteral("Lérat"));
}

void TestTextFile::encodeReplacesWhatTheFormCannotHold()
{
    QCOMPARE(encodeText(QStringLiteral("Kōbe €"), TextForm::Windows1252), QByteArray("K?be \x80"));
    QCOMPARE(encodeText(QStringLiteral("Kōbe"), TextForm::Utf8),
             QByteArray("K\xc5\x8d"
                        "be"));
}

void TestTextFile::readWholeFileFailures_data()
{
    QTest::addColumn<QString>("kind");
    QTest::newRow("missing") << "missing";
    QTest::newRow("folder") << "folder";
    QTest::newRow("link loop") << "loop";
}

void TestTextFile::readWholeFileFailures()
{
    QFETCH(QString, kind);
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("2.txt"));
    if (kind == u"folder")
        QVERIFY(QDir(dir.path()).mkdir(QStringLiteral("2.txt")));
    if (kind == u"loop") {
#ifndef Q_OS_UNIX
        QSKIP("QFile::link makes shortcuts here, not links");
#endif
        QVERIFY(QFile::link(dir.filePath(QStringLiteral("other")), path));
        QVERIFY(QFile::link(path, dir.filePath(QStringLiteral("other"))));
    }
    QString error;
    QVERIFY(!readWholeFile(path, &error));
    QVERIFY(!error.isEmpty());
}

void TestTextFile::atomicWriteReplacesTheFile()
{
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("1.txt"));
    QVERIFY(testdata::writeBytes(path, "old and longer text\r\n"));
    QVERIFY(writeFileAtomically(path, "new\r\n"));
    QCOMPARE(*readWholeFile(path), QByteArray("new\r\n"));
    QCOMPARE(QDir(dir.path()).entryList(QDir::Files), QStringList{QStringLiteral("1.txt")});
}

void TestTextFile::atomicWriteFailureKeepsWhatWasThere_data()
{
    QTest::addColumn<QString>("kind");
    QTest::newRow("missing folder") << "missing";
    QTest::newRow("folder path is a file") << "fileAsFolder";
    QTest::newRow("target is a folder") << "folderAsTarget";
}

void TestTextFile::atomicWriteFailureKeepsWhatWasThere()
{
    QFETCH(QString, kind);
    QTemporaryDir dir;
    QString path;
    if (kind == u"missing") {
        path = dir.filePath(QStringLiteral("Nowhere/1.txt"));
    } else if (kind == u"fileAsFolder") {
        QVERIFY(testdata::writeBytes(dir.filePath(QStringLiteral("Maps")), "not a folder"));
        path = dir.filePath(QStringLiteral("Maps/1.txt"));
    } else {
        QVERIFY(QDir(dir.path()).mkpath(QStringLiteral("1.txt/inside")));
        path = dir.filePath(QStringLiteral("1.txt"));
    }
    QString error;
    QVERIFY(!writeFileAtomically(path, "text\r\n", &error));
    QVERIFY(!error.isEmpty());
    if (kind == u"fileAsFolder")
        QCOMPARE(*readWholeFile(dir.filePath(QStringLiteral("Maps"))), QByteArray("not a folder"));
    if (kind == u"folderAsTarget")
        QVERIFY(QFileInfo(dir.filePath(QStringLiteral("1.txt/inside"))).isDir());
    // No temporary file is left behind.
    QCOMPARE(QDir(dir.path()).entryList(QDir::Files | QDir::Hidden).size(),
             kind == u"fileAsFolder" ? 1 : 0);
}

QTEST_GUILESS_MAIN(TestTextFile)
#include "tst_textfile.moc"
