#include "collection.h"
#include "controls.h"
#include "form1.h"
#include "tabstrip.h"

#include <QDir>
#include <QFile>
#include <QLineEdit>
#include <QLocale>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QTest>
#include <memory>

namespace {

// Test pictures are 121 + N pixels wide, so the width on display names the picture.
int shownNumber(const TopicRow &topic)
{
    return topic.picture->width() - 121;
}

QString descriptionText(const QString &folder, int number)
{
    return QString::fromLatin1(testdata::descriptionBytes(folder, number));
}

} // namespace

class TestStepping : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup();

    void startUp();
    void steps_data();
    void steps();
    void everyForwardButtonStepsItsOwnTopic();
    void descriptionKeepsItsExactText_data();
    void descriptionKeepsItsExactText();
    void numberTextIgnoresTheLocale();
    void topicWithoutPictureOneGoesOn_data();
    void topicWithoutPictureOneGoesOn();
    void descriptionOfPictureOneMissing();
    void noPictureOneAtStartUp();
    void folderEndingInASeparator();

private:
    void open();
    TopicRow &maps() { return m_form->topics().row(0); }
    void run(const QString &script);

    std::unique_ptr<QTemporaryDir> m_dir;
    std::unique_ptr<Form1> m_form;
};

void TestStepping::init()
{
    m_dir = std::make_unique<QTemporaryDir>();
    testdata::makeCollection(m_dir->path(), 5);
}

void TestStepping::cleanup()
{
    m_form.reset();
    m_dir.reset();
}

void TestStepping::open()
{
    m_form = std::make_unique<Form1>();
    m_form->Form_Load(m_dir->path());
}

// "F" and "B" press ">" and "<" of the first topic; "S:text" types text into its step box.
void TestStepping::run(const QString &script)
{
    for (const QString &action : script.split(u' ', Qt::SkipEmptyParts)) {
        if (action == u"F")
            maps().forward->click();
        else if (action == u"B")
            maps().back->click();
        else if (action.startsWith(u"S:"))
            maps().stepBox->setText(action.mid(2).replace(u'_', u' '));
    }
}

void TestStepping::startUp()
{
    open();
    const SharedState &state = m_form->library().state();
    QCOMPARE(state.BaseDir, m_dir->path() + u'/');
    QCOMPARE(state.CurrentFolder, m_dir->path() + QStringLiteral("/Maps"));
    QCOMPARE(state.CurrentNumberText, QStringLiteral("1"));
    QCOMPARE(state.PictureNumber[0].kind(), LooseNumber::Kind::Double);
    QCOMPARE(state.PictureNumber[0].toDouble(), 1.0);
    // Only the first topic was stepped: the initial page selection raised no Click.
    for (std::size_t slot = 1; slot < state.PictureNumber.size(); ++slot)
        QVERIFY(state.PictureNumber[slot].isEmpty());
    QCOMPARE(QDir::currentPath(), QDir(m_dir->path()).canonicalPath());
    QCOMPARE(m_form->SSTab1()->Tab(), 0);
    QCOMPARE(m_form->SSTab1()->Caption(), QStringLiteral("Maps, Aerials"));
    QCOMPARE(shownNumber(maps()), 1);
    QCOMPARE(maps().description->Text(), descriptionText(QStringLiteral("Maps"), 1));
    QCOMPARE(m_form->windowTitle(), QStringLiteral("Images of the Tarvel Archipelago"));
    // Other pages keep their initial contents until they are visited.
    QCOMPARE(m_form->topics().row(1).description->Text(), QStringLiteral("Text1"));
}

void TestStepping::steps_data()
{
    QTest::addColumn<QString>("setup");
    QTest::addColumn<QString>("script");
    QTest::addColumn<int>("picture");
    QTest::addColumn<double>("entry");
    QTest::addColumn<QString>("numberText");

    // clang-format off
    QTest::newRow("forward") << "" << "F" << 2 << 2.0 << "2";
    QTest::newRow("forward past the last") << "" << "F F F F F" << 1 << 1.0 << "1";
    QTest::newRow("back from 1 does not wrap") << "" << "B" << 1 << 1.0 << "1";
    QTest::newRow("back") << "" << "F F B" << 2 << 2.0 << "2";
    QTest::newRow("amount 3 from 4 falls back to 1") << "" << "F F F S:3 F" << 1 << 1.0 << "1";
    QTest::newRow("amount 3 from 1") << "" << "S:3 F" << 4 << 4.0 << "4";
    QTest::newRow("amount -1 reverses") << "" << "F F S:-1 F" << 2 << 2.0 << "2";
    QTest::newRow("amount -1 back moves forward") << "" << "S:-1 B" << 2 << 2.0 << "2";
    QTest::newRow("amount 0 stays") << "" << "F S:0 F" << 2 << 2.0 << "2";
    QTest::newRow("letters are 0") << "" << "F S:abc B" << 2 << 2.0 << "2";
    QTest::newRow("number then words") << "" << "S:2_apples F" << 3 << 3.0 << "3";
    QTest::newRow("half tries 1.5") << "" << "S:0.5 F" << 1 << 1.0 << "1";
    QTest::newRow("after a fallback steps on from 1") << "" << "S:9 F S:1 F" << 2 << 2.0 << "2";
    QTest::newRow("gap falls back") << "gap3" << "F F" << 1 << 1.0 << "1";
    QTest::newRow("gap jumped") << "gap3" << "F S:2 F" << 4 << 4.0 << "4";
    QTest::newRow("0.jpg is shown") << "zero" << "B" << 0 << 0.0 << "0";
    QTest::newRow("-1.jpg is shown") << "minusOne" << "S:2 B" << -1 << -1.0 << "-1";
    QTest::newRow("description without picture") << "onlyText6" << "F F F F F" << 1 << 1.0 << "1";
    QTest::newRow("picture without description") << "noText3" << "F F" << 1 << 1.0 << "1";
    QTest::newRow("corrupt picture") << "corrupt3" << "F F" << 1 << 1.0 << "1";
    QTest::newRow("beyond a double") << "" << "S:1e400 F" << 1 << 1.0 << "1";
    QTest::newRow("huge but finite") << "" << "S:1e300 F" << 1 << 1.0 << "1";
    // clang-format on
}

void TestStepping::steps()
{
    QFETCH(QString, setup);
    QFETCH(QString, script);
    QFETCH(int, picture);
    QFETCH(double, entry);
    QFETCH(QString, numberText);

    const QString maps = m_dir->filePath(QStringLiteral("Maps/"));
    if (setup == u"gap3") {
        QFile::remove(maps + QStringLiteral("3.jpg"));
        QFile::remove(maps + QStringLiteral("3.txt"));
    } else if (setup == u"zero") {
        testdata::makeTopic(m_dir->path(), QStringLiteral("Maps"), 0, 0);
    } else if (setup == u"minusOne") {
        testdata::makeTopic(m_dir->path(), QStringLiteral("Maps"), -1, -1);
    } else if (setup == u"onlyText6") {
        testdata::writeBytes(maps + QStringLiteral("6.txt"), "never read\r\n");
    } else if (setup == u"noText3") {
        QFile::remove(maps + QStringLiteral("3.txt"));
    } else if (setup == u"corrupt3") {
        testdata::writeBytes(maps + QStringLiteral("3.jpg"), QByteArray(1000, 'x'));
    }
    open();
    run(script);

    const SharedState &state = m_form->library().state();
    QCOMPARE(shownNumber(this->maps()), picture);
    QCOMPARE(state.PictureNumber[0].toDouble(), entry);
    QCOMPARE(state.CurrentNumberText, numberText);
    QCOMPARE(this->maps().description->Text(), descriptionText(QStringLiteral("Maps"), picture));
    // A fallback stores the whole number 1; a step stores what the sum gave.
    const bool fellBack = state.PictureNumber[0].kind() == LooseNumber::Kind::Integer;
    QCOMPARE(fellBack, picture == 1);
}

void TestStepping::everyForwardButtonStepsItsOwnTopic()
{
    open();
    for (TopicRow &topic : m_form->topics()) {
        // The folder follows the selected page, so each topic is stepped from its own page.
        m_form->SSTab1()->setTab(topic.names->tab);
        const double before = m_form->library().state().PictureNumber[topic.slot()].toDouble();
        topic.forward->click();
        QCOMPARE(m_form->library().state().PictureNumber[topic.slot()].toDouble(), before + 1);
        QCOMPARE(shownNumber(topic), int(before + 1));
        QCOMPARE(topic.description->Text(),
                 descriptionText(folderName(topic.caption), int(before + 1)));
    }
}

void TestStepping::descriptionKeepsItsExactText_data()
{
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<QString>("text");
    QTest::addColumn<int>("form");

    QTest::newRow("CR LF lines") << QByteArray("one\r\ntwo\r\n") << "one\r\ntwo\r\n"
                                 << int(TextForm::Windows1252);
    QTest::newRow("LF lines") << QByteArray("one\ntwo") << "one\ntwo" << int(TextForm::Windows1252);
    QTest::newRow("Windows-1252") << QByteArray("Cape L\xe9rat\r\n") << "Cape Lérat\r\n"
                                  << int(TextForm::Windows1252);
    QTest::newRow("UTF-8") << QByteArray("Cape L\xc3\xa9rat\r\n") << "Cape Lérat\r\n"
                           << int(TextForm::Utf8);
    QTest::newRow("empty file") << QByteArray() << "" << int(TextForm::Windows1252);
}

void TestStepping::descriptionKeepsItsExactText()
{
    QFETCH(QByteArray, bytes);
    QFETCH(QString, text);
    QFETCH(int, form);
    QVERIFY(testdata::writeBytes(m_dir->filePath(QStringLiteral("Maps/2.txt")), bytes));
    open();
    maps().forward->click();
    QCOMPARE(maps().description->Text(), text);
    QCOMPARE(int(maps().description->textForm()), form);
    // The widget shows lines, not the carriage returns.
    QVERIFY(!maps().description->toPlainText().contains(u'\r'));
    QCOMPARE(maps().description->document()->blockCount(), int(text.count(u'\n')) + 1);
}

void TestStepping::numberTextIgnoresTheLocale()
{
    testdata::makeTopic(m_dir->path(), QStringLiteral("Maps"), 9, 9);
    QFile::rename(m_dir->filePath(QStringLiteral("Maps/9.jpg")),
                  m_dir->filePath(QStringLiteral("Maps/1.5.jpg")));
    QFile::rename(m_dir->filePath(QStringLiteral("Maps/9.txt")),
                  m_dir->filePath(QStringLiteral("Maps/1.5.txt")));
    const QLocale before;
    QLocale::setDefault(QLocale(QLocale::German, QLocale::Germany));
    open();
    run(QStringLiteral("S:0,5 F S:0.5 F"));
    QLocale::setDefault(before);
    QCOMPARE(m_form->library().state().PictureNumber[0].toDouble(), 1.5);
    QCOMPARE(m_form->library().state().CurrentNumberText, QStringLiteral("1.5"));
    QCOMPARE(shownNumber(maps()), 9);
    QCOMPARE(maps().description->Text(), descriptionText(QStringLiteral("Maps"), 9));
}

void TestStepping::topicWithoutPictureOneGoesOn_data()
{
    QTest::addColumn<QString>("kind");
    QTest::addColumn<QString>("description");
    QTest::addColumn<bool>("laterPictureShown"); // picture 2 is there to step on to

    QTest::newRow("folder missing") << "noFolder"
                                    << "" << false;
    QTest::newRow("no 1.jpg") << "noPicture" << descriptionText(QStringLiteral("Bird"), 1) << true;
    QTest::newRow("1.jpg corrupt")
        << "corrupt" << descriptionText(QStringLiteral("Bird"), 1) << true;
    QTest::newRow("folder is a file") << "fileFolder"
                                      << "" << false;
}

void TestStepping::topicWithoutPictureOneGoesOn()
{
    QFETCH(QString, kind);
    QFETCH(QString, description);
    QFETCH(bool, laterPictureShown);
    const QString bird = m_dir->filePath(QStringLiteral("Bird"));
    if (kind == u"noFolder" || kind == u"fileFolder")
        QVERIFY(QDir(bird).removeRecursively());
    if (kind == u"fileFolder")
        QVERIFY(testdata::writeBytes(bird, "not a folder"));
    if (kind == u"noPicture")
        QVERIFY(QFile::remove(bird + QStringLiteral("/1.jpg")));
    if (kind == u"corrupt")
        QVERIFY(testdata::writeBytes(bird + QStringLiteral("/1.jpg"), "\xff\xd8\xff garbage"));
    open();

    QTest::ignoreMessage(QtWarningMsg,
                         QRegularExpression(QStringLiteral("Cannot show picture .*Bird.1\\.jpg")));
    m_form->SSTab1()->setTab(5);
    TopicRow &birds = m_form->topics().row(5);
    QVERIFY(birds.picture->Picture().isNull());
    QVERIFY(birds.picture->notice().contains(QStringLiteral("Bird/1.jpg")));
    QCOMPARE(m_form->library().state().PictureNumber[birds.slot()].toDouble(), 1.0);
    QCOMPARE(m_form->library().state().CurrentNumberText, QStringLiteral("1"));
    QCOMPARE(birds.description->Text(), description);

    // The rest of the program is unaffected, and the topic goes on where it has pictures.
    m_form->SSTab1()->setTab(6);
    QCOMPARE(shownNumber(m_form->topics().row(6)), 1);
    m_form->SSTab1()->setTab(5);
    QCOMPARE(birds.picture->Picture().isNull(), !laterPictureShown);
    if (laterPictureShown)
        QCOMPARE(shownNumber(birds), 2);
}

void TestStepping::descriptionOfPictureOneMissing()
{
    QVERIFY(QFile::remove(m_dir->filePath(QStringLiteral("Maps/1.txt"))));
    QTest::ignoreMessage(QtWarningMsg,
                         QRegularExpression(QStringLiteral("Cannot read description .*1\\.txt")));
    open();
    QCOMPARE(shownNumber(maps()), 1);
    QCOMPARE(maps().description->Text(), QString());
    // Stepping on still works.
    maps().forward->click();
    QCOMPARE(shownNumber(maps()), 2);
    QCOMPARE(maps().description->Text(), descriptionText(QStringLiteral("Maps"), 2));
}

void TestStepping::noPictureOneAtStartUp()
{
    QVERIFY(QDir(m_dir->filePath(QStringLiteral("Maps"))).removeRecursively());
    open();
    QVERIFY(maps().picture->notice().contains(QStringLiteral("Maps/1.jpg")));
    QCOMPARE(maps().description->Text(), QString());
    QCOMPARE(m_form->library().state().CurrentNumberText, QStringLiteral("1"));
}

void TestStepping::folderEndingInASeparator()
{
    // A program folder at a drive root ends in a separator already; the doubled one still works.
    m_form = std::make_unique<Form1>();
    m_form->Form_Load(m_dir->path() + u'/');
    QCOMPARE(m_form->library().state().BaseDir, m_dir->path() + QStringLiteral("//"));
    QCOMPARE(shownNumber(maps()), 1);
    m_form->SSTab1()->setTab(8);
    QCOMPARE(shownNumber(m_form->topics().row(8)), 1);
    QCOMPARE(m_form->topics().row(8).description->Text(),
             descriptionText(QStringLiteral("Scie"), 1));
}

QTEST_MAIN(TestStepping)
#include "tst_stepping.moc"
