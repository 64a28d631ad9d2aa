#include "collection.h"
#include "controls.h"
#include "form1.h"
#include "tabstrip.h"

#include <QPushButton>
#include <QRandomGenerator>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <cmath>
#include <deque>
#include <memory>

namespace {

// Hands out the draws a test scripts, then falls back to a seeded generator.
class ScriptedRandom
{
public:
    std::deque<float> script;
    QRandomGenerator generator{1234};
    int draws = 0;

    float operator()()
    {
        ++draws;
        if (!script.empty()) {
            const float r = script.front();
            script.pop_front();
            return r;
        }
        return float(generator.bounded(1u << 24)) / float(1u << 24);
    }
};

} // namespace

class TestSlideshow : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup();

    void startAndStop();
    void interval_data();
    void interval();
    void ticks_data();
    void ticks();
    void tenThousandTicks();
    void pickSurvivesStopAndRestart();
    void drawThatRoundsUpStaysOnTheLastPage();
    void tickStepsThePickedTopic();
    void realTimerHopsPages();

private:
    QPushButton *button(const char *name) const
    {
        return m_form->findChild<QPushButton *>(QString::fromLatin1(name));
    }

    std::unique_ptr<QTemporaryDir> m_dir;
    std::shared_ptr<ScriptedRandom> m_random;
    std::unique_ptr<Form1> m_form;
};

void TestSlideshow::init()
{
    m_dir = std::make_unique<QTemporaryDir>();
    testdata::makeCollection(m_dir->path(), 3);
    m_random = std::make_shared<ScriptedRandom>();
    m_form = std::make_unique<Form1>([random = m_random] { return (*random)(); });
    m_form->Form_Load(m_dir->path());
    m_form->show();
}

void TestSlideshow::cleanup()
{
    m_form.reset();
    m_dir.reset();
}

void TestSlideshow::startAndStop()
{
    const int picksBefore = m_random->draws;
    button("Command9")->click();
    QVERIFY(m_form->Timer1()->isActive());
    QVERIFY(button("Command10")->isVisible());
    QVERIFY(button("Command13")->isVisible());
    QVERIFY(button("Command9")->isVisible());
    QCOMPARE(button("Command9")->text(), QStringLiteral("Auto On/ Off"));

    button("Command9")->click();
    QVERIFY(!m_form->Timer1()->isActive());
    QVERIFY(!button("Command10")->isVisible());
    QVERIFY(!button("Command13")->isVisible());
    // Neither direction draws, picks or changes the interval.
    QCOMPARE(m_form->Timer1()->interval(), 3000);
    QCOMPARE(m_random->draws, picksBefore);
    QVERIFY(m_form->slideshow().HopPick().isEmpty());
    QCOMPARE(m_form->SSTab1()->Tab(), 0);
}

void TestSlideshow::interval_data()
{
    QTest::addColumn<QString>("presses");
    QTest::addColumn<QList<int>>("intervals");

    QTest::newRow("shorter") << "---" << QList<int>{2000, 1000, 1000};
    QTest::newRow("longer") << "++++++++"
                            << QList<int>{4000, 5000, 6000, 7000, 8000, 9000, 10000, 10000};
    QTest::newRow("both ways") << "+-+--" << QList<int>{4000, 3000, 4000, 3000, 2000};
    QTest::newRow("from the bottom") << "----+" << QList<int>{2000, 1000, 1000, 1000, 2000};
}

void TestSlideshow::interval()
{
    QFETCH(QString, presses);
    QFETCH(QList<int>, intervals);
    button("Command9")->click();
    for (qsizetype i = 0; i < presses.size(); ++i) {
        button(presses[i] == u'-' ? "Command10" : "Command13")->click();
        QCOMPARE(m_form->Timer1()->interval(), intervals[i]);
        QCOMPARE(m_form->library().state().SlideInterval.toDouble(), double(intervals[i]));
    }
    // The interval outlives a stop and is where the next start begins.
    button("Command9")->click();
    button("Command9")->click();
    QCOMPARE(m_form->Timer1()->interval(), intervals.last());
}

void TestSlideshow::ticks_data()
{
    QTest::addColumn<QList<float>>("draws");
    QTest::addColumn<QList<int>>("pages"); // selected after each tick

    QTest::newRow("first tick never picks page 0")
        << QList<float>{0.05f, 0.0f, 0.31f} << QList<int>{3};
    QTest::newRow("repeat is drawn again") << QList<float>{0.42f, 0.45f, 0.99f} << QList<int>{4, 9};
    QTest::newRow("page 0 later is fine") << QList<float>{0.7f, 0.0f} << QList<int>{7, 0};
    QTest::newRow("edges of the range") << QList<float>{0.1f, 0.0999f, 0.9f} << QList<int>{1, 0, 9};
}

void TestSlideshow::ticks()
{
    QFETCH(QList<float>, draws);
    QFETCH(QList<int>, pages);
    m_random->script.assign(draws.begin(), draws.end());
    for (int expected : pages) {
        m_form->slideshow().Timer1_Timer();
        QCOMPARE(m_form->SSTab1()->Tab(), expected);
        QCOMPARE(m_form->slideshow().HopPick().kind(), LooseNumber::Kind::Single);
    }
    QVERIFY(m_random->script.empty());
}

void TestSlideshow::tenThousandTicks()
{
    std::array<int, 10> counts{};
    int previous = -1;
    for (int i = 0; i < 10000; ++i) {
        m_form->slideshow().Timer1_Timer();
        const int tab = m_form->SSTab1()->Tab();
        QVERIFY(tab >= 0 && tab <= 9);
        if (i == 0)
            QVERIFY(tab != 0);
        QVERIFY(tab != previous);
        ++counts[std::size_t(tab)];
        previous = tab;
    }
    // Each page is the pick of about a tenth of the ticks; far off would mean a biased pick.
    for (int count : counts)
        QVERIFY2(count > 850 && count < 1150, qPrintable(QString::number(count)));
}

void TestSlideshow::pickSurvivesStopAndRestart()
{
    m_random->script = {0.5f, 0.5f, 0.5f, 0.2f};
    button("Command9")->click();
    m_form->slideshow().Timer1_Timer();
    QCOMPARE(m_form->SSTab1()->Tab(), 5);
    button("Command9")->click();
    m_form->SSTab1()->setTab(1); // the user moves on by hand
    button("Command9")->click();
    m_form->slideshow().Timer1_Timer();
    // The first hop after the restart still differs from the last one before it.
    QCOMPARE(m_form->SSTab1()->Tab(), 2);
    QCOMPARE(m_form->slideshow().PreviousHopPick().toDouble(), 5.0);
}

void TestSlideshow::drawThatRoundsUpStaysOnTheLastPage()
{
    // A draw made in double precision and stored as a single rounds up to exactly 1.
    const float roundedUp = float(0.99999999);
    QCOMPARE(roundedUp, 1.0f);
    m_random->script = {roundedUp};
    m_form->slideshow().Timer1_Timer();
    QCOMPARE(m_form->SSTab1()->Tab(), 9);
    QCOMPARE(m_form->slideshow().HopPick().toDouble(), 9.0);
}

void TestSlideshow::tickStepsThePickedTopic()
{
    m_random->script = {0.6f, 0.3f, 0.6f};
    const TopicRow &fish = m_form->topics().row(6);
    m_form->slideshow().Timer1_Timer();
    QCOMPARE(fish.picture->width() - 121, 1);
    QCOMPARE(fish.description->Text(),
             QString::fromLatin1(testdata::descriptionBytes(QStringLiteral("Fish"), 1)));
    m_form->slideshow().Timer1_Timer();
    m_form->slideshow().Timer1_Timer();
    QCOMPARE(fish.picture->width() - 121, 2);
    QCOMPARE(m_form->library().state().CurrentFolder, m_dir->path() + QStringLiteral("/Fish"));
    QCOMPARE(m_form->library().state().CurrentNumberText, QStringLiteral("2"));
}

void TestSlideshow::realTimerHopsPages()
{
    QSignalSpy pageChanges(m_form->SSTab1(), &TabStrip::Click);
    button("Command9")->click();
    m_form->Timer1()->setInterval(20);
    QTRY_VERIFY_WITH_TIMEOUT(pageChanges.size() >= 3, 10000);
    button("Command9")->click();
    const qsizetype afterStop = pageChanges.size();
    QTest::qWait(100);
    QCOMPARE(pageChanges.size(), afterStop);
}

QTEST_MAIN(TestSlideshow)
#include "tst_slideshow.moc"
