#include "slideshow.h"

#include <QSignalSpy>
#include <QTest>

class TestSlideshow : public QObject
{
    Q_OBJECT

private slots:
    void hops_data()
    {
        QTest::addColumn<QList<float>>("draws");
        QTest::addColumn<QList<int>>("pages");
        QTest::newRow("first never to page 0") << QList<float>{0.05f, 0.0f, 0.42f} << QList{4};
        QTest::newRow("never the same twice") << QList<float>{0.3f, 0.35f, 0.0f} << QList{3, 0};
        QTest::newRow("a draw just below 1") << QList<float>{0.99999994f} << QList{9};
        QTest::newRow("back to an earlier page")
            << QList<float>{0.7f, 0.1f, 0.7f} << QList{7, 1, 7};
    }

    // Each tick takes draws until one differs from the page it hopped to last.
    void hops()
    {
        QFETCH(QList<float>, draws);
        QFETCH(QList<int>, pages);
        Slideshow show([&draws] { return draws.takeFirst(); });
        QSignalSpy hopped(&show, &Slideshow::hopped);
        QList<int> seen;
        while (!draws.isEmpty()) {
            show.tick();
            seen << hopped.takeFirst().at(0).toInt();
        }
        QCOMPARE(seen, pages);
    }

    void interval_data()
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

    void interval()
    {
        QFETCH(QString, presses);
        QFETCH(int, interval);
        Slideshow show([] { return 0.5f; });
        for (const QChar press : presses)
            press == u'-' ? show.shorten() : show.lengthen();
        QCOMPARE(show.timer()->interval(), interval);
    }

    // Stopping keeps the interval and the page hopped to last.
    void toggle()
    {
        QList<float> draws = {0.5f, 0.5f, 0.6f};
        Slideshow show([&draws] { return draws.takeFirst(); });
        QSignalSpy running(&show, &Slideshow::runningChanged);
        QSignalSpy hopped(&show, &Slideshow::hopped);
        show.lengthen();
        show.tick();
        show.toggle();
        QVERIFY(show.timer()->isActive());
        show.toggle();
        show.tick();
        QCOMPARE(running, (QList<QList<QVariant>>{{true}, {false}}));
        QCOMPARE(hopped, (QList<QList<QVariant>>{{5}, {6}}));
        QCOMPARE(show.timer()->interval(), 4000);
    }
};

QTEST_GUILESS_MAIN(TestSlideshow)
#include "tst_slideshow.moc"
