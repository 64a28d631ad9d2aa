#include "controls.h"
#include "form1.h"
#include "resizing.h"
#include "tabstrip.h"

#include <QTest>
#include <memory>

class TestResizing : public QObject
{
    Q_OBJECT

private slots:
    void init() { m_form = std::make_unique<Form1>(); }
    void cleanup() { m_form.reset(); }

    void clicks_data();
    void clicks();
    void exactly600DoesNotShrink();
    void pagesAreIndependentAndKeepTheirSize();
    void endlessGrowthStopsAtTheLimit();

private:
    DescriptionBox &box(int tab) { return *m_form->topics().row(tab).description; }
    void click(ClickLabel *label) { QTest::mouseClick(label, Qt::LeftButton); }

    std::unique_ptr<Form1> m_form;
};

void TestResizing::clicks_data()
{
    QTest::addColumn<QString>("labels"); // '^' and 'v' clicked in order
    QTest::addColumn<float>("top");
    QTest::addColumn<float>("height");

    QTest::newRow("none") << "" << 7920.0f << 615.0f;
    QTest::newRow("one v") << "v" << 8220.0f << 315.0f;
    QTest::newRow("no further") << "vv" << 8220.0f << 315.0f;
    QTest::newRow("^ then v") << "^v" << 7920.0f << 615.0f;
    QTest::newRow("v then ^") << "v^" << 7920.0f << 615.0f;
    QTest::newRow("26 ^") << QString(26, u'^') << 120.0f << 8415.0f;
    QTest::newRow("27 ^ passes the top") << QString(27, u'^') << -180.0f << 8715.0f;
    QTest::newRow("mixed") << "^^^v^vvvvvv" << 8220.0f << 315.0f;
}

void TestResizing::clicks()
{
    QFETCH(QString, labels);
    QFETCH(float, top);
    QFETCH(float, height);
    const TopicRow &topic = m_form->topics().row(2);
    for (QChar label : labels)
        click(label == u'^' ? topic.grow : topic.shrink);
    QCOMPARE(box(2).Top(), top);
    QCOMPARE(box(2).Height(), height);
    QCOMPARE(box(2).Top() + box(2).Height(), 8535.0f);
    QCOMPARE(box(2).geometry(), QRect(48, int(top) / 15, 681, int(height) / 15));
}

void TestResizing::exactly600DoesNotShrink()
{
    box(0).setHeight(600.0f);
    QVERIFY(!shrinkDescription(box(0)));
    QCOMPARE(box(0).Height(), 600.0f);
    box(0).setHeight(601.0f);
    QVERIFY(shrinkDescription(box(0)));
    QCOMPARE(box(0).Height(), 301.0f);
}

void TestResizing::pagesAreIndependentAndKeepTheirSize()
{
    const TopicRow &fish = m_form->topics().row(6);
    click(fish.grow);
    click(fish.grow);
    for (int tab = 0; tab < 10; ++tab) {
        QCOMPARE(box(tab).Height(), tab == 6 ? 1215.0f : 615.0f);
    }
    m_form->SSTab1()->setTab(6);
    m_form->SSTab1()->setTab(2);
    m_form->SSTab1()->setTab(6);
    QCOMPARE(box(6).Top(), 7320.0f);
    QCOMPARE(box(6).Height(), 1215.0f);
}

void TestResizing::endlessGrowthStopsAtTheLimit()
{
    DescriptionBox &grown = box(1);
    int clicks = 0;
    while (growDescription(grown))
        ++clicks;
    // The box grew a long way, then stopped without wrapping round or losing its bottom edge.
    QVERIFY(clicks > 50000);
    QVERIFY(grown.Height() > 16'000'000.0f);
    QCOMPARE(grown.Top() + grown.Height(), 8535.0f);
    const float height = grown.Height();
    QVERIFY(!growDescription(grown));
    QCOMPARE(grown.Height(), height);
    QVERIFY(grown.geometry().height() > 1'000'000);
    QVERIFY(shrinkDescription(grown));
    QCOMPARE(grown.Top() + grown.Height(), 8535.0f);
}

QTEST_MAIN(TestResizing)
#include "tst_resizing.moc"
