#include "collection.h"
#include "controls.h"
#include "form1.h"
#include "tabstrip.h"
#include "textfile.h"

#include <QDir>
#include <QFile>
#include <QLineEdit>
#include <QPushButton>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QTest>
#include <memory>

class TestSaving : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup();

    void saveAfterStartUpWritesMapsOne();
    void unchangedDescriptionSavesByteForByte_data();
    void unchangedDescriptionSavesByteForByte();
    void editedTextKeepsTheFilesLineBreaks_data();
    void editedTextKeepsTheFilesLineBreaks();
    void emptyBoxWritesOneLineBreak();
    void savingTwiceWritesTheSameFile();
    void writesTheSelectedPageAndTheLatestNumber();
    void failureKeepsTheOldFileAndGoesOn_data();
    void failureKeepsTheOldFileAndGoesOn();
    void buttonStaysHidden();

private:
    QByteArray fileBytes(const QString &relative) const
    {
        return readWholeFile(m_dir->filePath(relative)).value_or(QByteArray("<missing>"));
    }

    std::unique_ptr<QTemporaryDir> m_dir;
    std::unique_ptr<Form1> m_form;
};

void TestSaving::init()
{
    m_dir = std::make_unique<QTemporaryDir>();
    testdata::makeCollection(m_dir->path(), 3);
}

void TestSaving::cleanup()
{
    m_form.reset();
    m_dir.reset();
}

void TestSaving::saveAfterStartUpWritesMapsOne()
{
    m_form = std::make_unique<Form1>();
    m_form->Form_Load(m_dir->path());
    m_form->topics().row(0).description->setPlainText(QStringLiteral("A new first line"));
    QVERIFY(m_form->library().saveDescription());
    QCOMPARE(fileBytes(QStringLiteral("Maps/1.txt")), QByteArray("A new first line\r\n"));
    QCOMPARE(fileBytes(QStringLiteral("Maps/2.txt")),
             testdata::descriptionBytes(QStringLiteral("Maps"), 2));
}

void TestSaving::unchangedDescriptionSavesByteForByte_data()
{
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<QByteArray>("saved");

    QByteArray everyByte;
    for (int b = 1; b < 256; ++b)
        everyByte += char(b);
    everyByte += "\r\n";

    QTest::newRow("CR LF text") << QByteArray("First line\r\nSecond line\r\n")
                                << QByteArray("First line\r\nSecond line\r\n");
    QTest::newRow("Windows-1252 accents") << QByteArray("Cape L\xe9rat and Tarvel M\xf3r\r\n")
                                          << QByteArray("Cape L\xe9rat and Tarvel M\xf3r\r\n");
    QTest::newRow("UTF-8 accents")
        << QByteArray("Cape L\xc3\xa9rat\r\n") << QByteArray("Cape L\xc3\xa9rat\r\n");
    QTest::newRow("LF text") << QByteArray("one\ntwo\n") << QByteArray("one\ntwo\n");
    QTest::newRow("every byte value") << everyByte << everyByte;
    QTest::newRow("NUL bytes") << QByteArray("a\0b\r\n", 5) << QByteArray("a\0b\r\n", 5);
    QTest::newRow("no final line break gains one")
        << QByteArray("last words") << QByteArray("last words\r\n");
    QTest::newRow("empty file gains a line break") << QByteArray() << QByteArray("\r\n");
}

void TestSaving::unchangedDescriptionSavesByteForByte()
{
    QFETCH(QByteArray, bytes);
    QFETCH(QByteArray, saved);
    QVERIFY(testdata::writeBytes(m_dir->filePath(QStringLiteral("Maps/1.txt")), bytes));
    m_form = std::make_unique<Form1>();
    m_form->Form_Load(m_dir->path());
    QVERIFY(m_form->library().saveDescription());
    QCOMPARE(fileBytes(QStringLiteral("Maps/1.txt")), saved);
    // A second cycle changes nothing more.
    m_form->topics().row(0).stepBox->setText(QStringLiteral("0"));
    m_form->topics().row(0).forward->click();
    QVERIFY(m_form->library().saveDescription());
    QCOMPARE(fileBytes(QStringLiteral("Maps/1.txt")), saved);
}

void TestSaving::editedTextKeepsTheFilesLineBreaks_data()
{
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<QByteArray>("saved");
    QTest::newRow("CR LF file") << QByteArray("old\r\ntext\r\n") << QByteArray("new\r\nlines\r\n");
    QTest::newRow("LF file") << QByteArray("old\ntext\n") << QByteArray("new\nlines\n");
    QTest::newRow("Windows-1252 file") << QByteArray("Br\xe9") << QByteArray("new\r\nlines\r\n");
}

void TestSaving::editedTextKeepsTheFilesLineBreaks()
{
    QFETCH(QByteArray, bytes);
    QFETCH(QByteArray, saved);
    QVERIFY(testdata::writeBytes(m_dir->filePath(QStringLiteral("Maps/1.txt")), bytes));
    m_form = std::make_unique<Form1>();
    m_form->Form_Load(m_dir->path());
    DescriptionBox *box = m_form->topics().row(0).description;
    box->selectAll();
    box->insertPlainText(QStringLiteral("new\nlines\n"));
    QVERIFY(m_form->library().saveDescription());
    QCOMPARE(fileBytes(QStringLiteral("Maps/1.txt")), saved);
}

void TestSaving::emptyBoxWritesOneLineBreak()
{
    m_form = std::make_unique<Form1>();
    m_form->Form_Load(m_dir->path());
    m_form->topics().row(0).description->clear();
    QVERIFY(m_form->library().saveDescription());
    QCOMPARE(fileBytes(QStringLiteral("Maps/1.txt")), QByteArray("\r\n"));
}

void TestSaving::savingTwiceWritesTheSameFile()
{
    m_form = std::make_unique<Form1>();
    m_form->Form_Load(m_dir->path());
    m_form->topics().row(0).description->setPlainText(QStringLiteral("Twice"));
    QVERIFY(m_form->library().saveDescription());
    QVERIFY(m_form->library().saveDescription());
    QCOMPARE(fileBytes(QStringLiteral("Maps/1.txt")), QByteArray("Twice\r\n"));
}

void TestSaving::writesTheSelectedPageAndTheLatestNumber()
{
    m_form = std::make_unique<Form1>();
    m_form->Form_Load(m_dir->path());
    m_form->topics().row(0).forward->click(); // Maps 2
    m_form->topics().row(0).forward->click(); // Maps 3
    m_form->SSTab1()->setTab(5);              // Birds steps to 1 on arrival
    m_form->topics().row(5).forward->click(); // Birds 2
    m_form->topics().row(5).description->setPlainText(QStringLiteral("Terns"));
    m_form->topics().row(0).description->setPlainText(QStringLiteral("Not this one"));
    QVERIFY(m_form->library().saveDescription());
    QCOMPARE(fileBytes(QStringLiteral("Bird/2.txt")), QByteArray("Terns\r\n"));
    QCOMPARE(fileBytes(QStringLiteral("Maps/3.txt")),
             testdata::descriptionBytes(QStringLiteral("Maps"), 3));
    QCOMPARE(fileBytes(QStringLiteral("Bird/1.txt")),
             testdata::descriptionBytes(QStringLiteral("Bird"), 1));
}

void TestSaving::failureKeepsTheOldFileAndGoesOn_data()
{
    QTest::addColumn<QString>("kind");
    QTest::newRow("folder path is a file") << "fileAsFolder";
    QTest::newRow("target is a folder") << "folderAsTarget";
    QTest::newRow("folder missing") << "missingFolder";
}

void TestSaving::failureKeepsTheOldFileAndGoesOn()
{
    QFETCH(QString, kind);
    m_form = std::make_unique<Form1>();
    m_form->Form_Load(m_dir->path());
    m_form->topics().row(0).description->setPlainText(QStringLiteral("Unsaved"));
    const QString maps = m_dir->filePath(QStringLiteral("Maps"));
    if (kind == u"fileAsFolder" || kind == u"missingFolder") {
        QVERIFY(QDir(maps).removeRecursively());
        if (kind == u"fileAsFolder")
            QVERIFY(testdata::writeBytes(maps, "a file where the folder was"));
    } else {
        QVERIFY(QFile::remove(maps + QStringLiteral("/1.txt")));
        QVERIFY(QDir(maps).mkpath(QStringLiteral("1.txt/kept")));
    }
    QTest::ignoreMessage(
        QtWarningMsg, QRegularExpression(QStringLiteral("Cannot save description .*Maps.1\\.txt")));
    QVERIFY(!m_form->library().saveDescription());

    if (kind == u"fileAsFolder")
        QCOMPARE(fileBytes(QStringLiteral("Maps")), QByteArray("a file where the folder was"));
    if (kind == u"folderAsTarget") {
        QVERIFY(QFileInfo(maps + QStringLiteral("/1.txt/kept")).isDir());
        QCOMPARE(QDir(maps).entryList(QDir::Files | QDir::Hidden).size(), 5); // no temporary left
    }
    if (kind == u"missingFolder")
        QVERIFY(!QFileInfo::exists(maps));
    // The program goes on: the box still holds the user's text and other pages still step.
    QCOMPARE(m_form->topics().row(0).description->Text(), QStringLiteral("Unsaved"));
    m_form->SSTab1()->setTab(3);
    QCOMPARE(m_form->topics().row(3).picture->width() - 121, 1);
}

void TestSaving::buttonStaysHidden()
{
    m_form = std::make_unique<Form1>();
    m_form->Form_Load(m_dir->path());
    m_form->show();
    auto *save = m_form->findChild<QPushButton *>(QStringLiteral("Command31"));
    QVERIFY(save && !save->isVisible());
    m_form->findChild<QPushButton *>(QStringLiteral("Command9"))->click();
    for (int tab = 0; tab < 10; ++tab) {
        m_form->SSTab1()->setTab(tab);
        QVERIFY(!save->isVisible());
    }
}

QTEST_MAIN(TestSaving)
#include "tst_saving.moc"
