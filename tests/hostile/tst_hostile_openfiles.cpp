#include "collection.h"
#include "controls.h"
#include "form1.h"
#include "hostilefiles.h"
#include "tabstrip.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>
#include <QTest>
#include <memory>

namespace {

// Every open file descriptor of this process and what it refers to, from the kernel's own
// list. The listing's own descriptor is left out.
QStringList openFiles()
{
    QStringList result;
    const QString fdDir = QStringLiteral("/proc/self/fd");
    const QString ownListing = QFileInfo(fdDir).canonicalFilePath();
    const QStringList fds =
        QDir(fdDir).entryList(QDir::AllEntries | QDir::System | QDir::NoDotAndDotDot);
    for (const QString &fd : fds) {
        const QString target = QFile::symLinkTarget(fdDir + u'/' + fd);
        if (target.isEmpty() || target == ownListing)
            continue;
        result << fd + QStringLiteral(" -> ") + target;
    }
    result.sort();
    return result;
}

QStringList openFilesUnder(const QString &root)
{
    const QString canonical = QFileInfo(root).canonicalFilePath();
    QStringList under;
    for (const QString &entry : openFiles()) {
        const QString target = entry.section(QStringLiteral(" -> "), 1);
        if (target.startsWith(root) || target.startsWith(canonical))
            under << entry;
    }
    return under;
}

} // namespace

class TestOpenFiles : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void init();
    void cleanup();
    void noFileLeftOpen_data();
    void noFileLeftOpen();

private:
    QString maps(const QString &name) const
    {
        return m_dir->filePath(QStringLiteral("Maps/") + name);
    }
    TopicRow &mapsRow() { return m_form->topics().row(0); }

    std::unique_ptr<QTemporaryDir> m_dir;
    std::unique_ptr<Form1> m_form;
};

void TestOpenFiles::initTestCase()
{
    if (!QFileInfo(QStringLiteral("/proc/self/fd")).isDir())
        QSKIP("Needs the kernel's list of open files in /proc/self/fd");
}

void TestOpenFiles::init()
{
    m_dir = std::make_unique<QTemporaryDir>();
    QVERIFY(m_dir->isValid());
    testdata::makeCollection(m_dir->path(), 3);
}

void TestOpenFiles::cleanup()
{
    m_form.reset();
    m_dir.reset();
}

void TestOpenFiles::noFileLeftOpen_data()
{
    QTest::addColumn<QString>("scenario");
    QTest::addColumn<QString>("action"); // "step": ">" from picture 1; "save": its description
    QTest::addColumn<bool>("saves");     // what a save reports

    QTest::newRow("picture fails") << "randomPicture"
                                   << "step" << false;
    QTest::newRow("picture cut off half way") << "truncatedPicture"
                                              << "step" << false;
    QTest::newRow("picture too large to decode") << "hugePng"
                                                 << "step" << false;
    QTest::newRow("picture is a link to itself") << "loopPicture"
                                                 << "step" << false;
    QTest::newRow("description is a folder") << "folderDescription"
                                             << "step" << false;
    QTest::newRow("description is a link to itself") << "loopDescription"
                                                     << "step" << false;
    QTest::newRow("fallback picture 1 fails too") << "randomBothPictures"
                                                  << "step" << false;
    QTest::newRow("fallback description 1 fails too") << "folderBothDescriptions"
                                                      << "step" << false;
    QTest::newRow("save: topic folder is a file") << "topicBecomesFile"
                                                  << "save" << false;
    QTest::newRow("save: target is a folder") << "targetBecomesFolder"
                                              << "save" << false;
    QTest::newRow("save succeeds") << ""
                                   << "save" << true;
}

void TestOpenFiles::noFileLeftOpen()
{
    QFETCH(QString, scenario);
    QFETCH(QString, action);
    QFETCH(bool, saves);

    if (scenario == u"randomPicture" || scenario == u"randomBothPictures")
        QVERIFY(
            testdata::writeBytes(maps(QStringLiteral("2.jpg")), hostile::randomBytes(4096, 11)));
    if (scenario == u"randomBothPictures")
        QVERIFY(
            testdata::writeBytes(maps(QStringLiteral("1.jpg")), hostile::randomBytes(4096, 12)));
    if (scenario == u"truncatedPicture") {
        const QByteArray jpeg = hostile::jpegBytes({123, 90}, 9);
        QVERIFY(testdata::writeBytes(maps(QStringLiteral("2.jpg")), jpeg.left(jpeg.size() / 2)));
    }
    if (scenario == u"hugePng")
        QVERIFY(hostile::writeBlackPng(maps(QStringLiteral("2.jpg")), {20000, 20000}));
    if (scenario == u"loopPicture") {
        hostile::clear(maps(QStringLiteral("2.jpg")));
        QVERIFY(QFile::link(QStringLiteral("2.jpg"), maps(QStringLiteral("2.jpg"))));
    }
    if (scenario == u"loopDescription") {
        hostile::clear(maps(QStringLiteral("2.txt")));
        QVERIFY(QFile::link(QStringLiteral("2.txt"), maps(QStringLiteral("2.txt"))));
    }
    if (scenario == u"folderDescription" || scenario == u"folderBothDescriptions") {
        hostile::clear(maps(QStringLiteral("2.txt")));
        QVERIFY(QDir().mkpath(maps(QStringLiteral("2.txt"))));
    }
    if (scenario == u"folderBothDescriptions") {
        hostile::clear(maps(QStringLiteral("1.txt")));
        QVERIFY(QDir().mkpath(maps(QStringLiteral("1.txt"))));
    }

    m_form = std::make_unique<Form1>();
    m_form->Form_Load(m_dir->path());
    m_form->show();
    QVERIFY(QTest::qWaitForWindowExposed(m_form.get()));

    if (scenario == u"topicBecomesFile") {
        const QString folder = m_dir->filePath(QStringLiteral("Maps"));
        QVERIFY(QDir(folder).removeRecursively());
        QVERIFY(testdata::writeBytes(folder, "not a folder any more"));
    }
    if (scenario == u"targetBecomesFolder") {
        mapsRow().forward->click();
        QCOMPARE(m_form->library().state().CurrentNumberText, QStringLiteral("2"));
        hostile::clear(maps(QStringLiteral("2.txt")));
        QVERIFY(QDir().mkpath(maps(QStringLiteral("2.txt"))));
    }
    const hostile::Snapshot before = hostile::snapshot(m_dir->path());

    const auto act = [&] {
        if (action == u"save") {
            QCOMPARE(m_form->library().saveDescription(), saves);
        } else {
            mapsRow().forward->click();
            // Back to 1, by the fallback or by "<", so that the next press tries again.
            if (m_form->library().state().PictureNumber[0].toDouble() != 1.0)
                mapsRow().back->click();
            QCOMPARE(m_form->library().state().PictureNumber[0].toDouble(), 1.0);
        }
        QCoreApplication::processEvents();
        QVERIFY(!m_form->grab().isNull());
    };

    // Once first, so that what the toolkit opens for good on first use (plugins, fonts) is
    // already there; then the list must stay exactly as it is.
    act();
    const QStringList warmedUp = openFiles();
    for (int i = 0; i < 5; ++i) {
        act();
        const QStringList ours = openFilesUnder(m_dir->path());
        QVERIFY2(ours.isEmpty(), qPrintable(ours.join(u'\n')));
    }
    QCOMPARE(openFiles(), warmedUp);

    if (!saves) {
        // A failed save leaves no temporary file behind and the old file as it was.
        const QStringList changed = hostile::differences(before, hostile::snapshot(m_dir->path()));
        QVERIFY2(changed.isEmpty(), qPrintable(changed.join(u'\n')));
    }
}

QTEST_MAIN(TestOpenFiles)
#include "tst_hostile_openfiles.moc"
