#include "slideshow.h"

#include <QSignalSpy>
#include <QTest>

class TestSlideshow : public QObject
{
    Q_OBJECT

private slots:
    void hops_data();
    void hops();
    void interval_data();
    void interval();
    void toggle();
};

void TestSlideshow::hops_data()
{
    QTest::addColumn<QList<float>>("draws");
    QTest::addColumn<int>("ticks");
    QTest::addColumn<QList<int>>("pages");
    QTest::newRow("first hop never to page 0")
        << QList<float>{0.05f, 0.0f, 0.42f} << 1 << QList<int>{4};
    QTest::newRow("never the same page twice")
        << QList<float>{0.3f, 0.35f, 0.0f} << 2 << QList<int>{3, 0};
    QTest::newRow("a draw just below 1") << QList<float>{0.99999994f} << 1 << QList<int>{9};
    QTest::newRow("back to an earlier page")
        << QList<float>{0.7f, 0.1f, 0.7f} << 3 << QList<int>{7, 1, 7};
}

void TestSlideshow::hops()
{
    QFETCH(QList<float>, draws);
    QFETCH(int, ticks);
    QFETCH(QList<int>, pages);
    Slideshow show([&draws] { return draws.takeFirst(); });
    QSignalSpy hopped(&show, &Slideshow::hopped);
    for (int i = 0; i < ticks; ++i)
        show.tick();
    QList<int> seen;
    for (const QList<QVariant> &hop : hopped)
        seen << hop.at(0).toInt();
    QCOMPARE(seen, pages);
    QVERIFY(draws.isEmpty());
}

void TestSlideshow::interval_data()
{
    QTest::addColumn<QString>("presses");
    QTest::addColumn<int>("interval");
    QTest::newRow("at first") << "" << 3000;
    QTest::newRow("shorter") << "-" << 2000;
    QTest::newRow("not below a second") << "---" << 1000;
    QTest::newRow("to ten seconds") << "+++++++" << 10000;
    QTest::newRow("not above ten") << "++++++++" << 10000;
    QTest::newRow("from the bound") << "---+" << 2000;
}

void TestSlideshow::interval()
{
    QFETCH(QString, presses);
    QFETCH(int, interval);
    Slideshow show([] { return 0.5f; });
    for (const QChar press : presses)
        press == u'-' ? show.shorten() : show.lengthen();
    QCOMPARE(show.interval(), interval);
    QCOMPARE(show.timer()->interval(), interval);
}

// Starting and stopping keep the interval and the page hopped to last.
void TestSlideshow::toggle()
{
    QList<float> draws = {0.5f, 0.5f, 0.6f};
    Slideshow show([&draws] { return draws.takeFirst(); });
    QSignalSpy running(&show, &Slideshow::runningChanged);
    show.lengthen();
    show.tick();
    show.toggle();
    QVERIFY(show.isRunning());
    show.toggle();
    QVERIFY(!show.isRunning());
    QCOMPARE(running, (QList<QList<QVariant>>{{true}, {false}}));
    QSignalSpy hopped(&show, &Slideshow::hopped);
    show.tick();
    QCOMPARE(hopped.at(0).at(0).toInt(), 6);
    QCOMPARE(show.interval(), 4000);
}

QTEST_GUILESS_MAIN(TestSlideshow)
#include "tst_slideshow.moc"
