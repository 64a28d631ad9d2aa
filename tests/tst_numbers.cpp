#include "numbers.h"

#include <QLocale>
#include <QTest>
#include <cmath>
#include <limits>

class TestNumbers : public QObject
{
    Q_OBJECT

private slots:
    void val_data();
    void val();
    void valIgnoresTheLocale();
    void numberTexts_data();
    void numberTexts();
    void looseNumbers();
};

void TestNumbers::val_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<double>("expected");
    const double inf = std::numeric_limits<double>::infinity();

    QTest::newRow("whole") << "3" << 3.0;
    QTest::newRow("negative") << "-1" << -1.0;
    QTest::newRow("number then words") << "2 apples" << 2.0;
    QTest::newRow("letters") << "abc" << 0.0;
    QTest::newRow("empty") << "" << 0.0;
    QTest::newRow("fraction") << "1.5" << 1.5;
    QTest::newRow("point first") << ".5" << 0.5;
    QTest::newRow("leading blanks") << "  7" << 7.0;
    QTest::newRow("leading tab") << "\t4" << 4.0;
    QTest::newRow("plus sign") << "+6" << 6.0;
    QTest::newRow("exponent") << "2e3" << 2000.0;
    QTest::newRow("exponent without digits") << "2e" << 2.0;
    QTest::newRow("exponent sign without digits") << "2e+x" << 2.0;
    QTest::newRow("beyond a double") << "1e400" << inf;
    QTest::newRow("below a double") << "-1e400" << -inf;
    QTest::newRow("too small to tell from zero") << "1e-400" << 0.0;
    QTest::newRow("nan") << "nan" << 0.0;
    QTest::newRow("inf") << "inf" << 0.0;
    QTest::newRow("infinity") << "infinity" << 0.0;
    QTest::newRow("hex is a zero then words") << "0x10" << 0.0;
    QTest::newRow("comma ends the number") << "1,5" << 1.0;
    QTest::newRow("minus zero") << "-0" << 0.0;
    QTest::newRow("beyond exact integers") << "9007199254740993" << 9007199254740992.0;
    QTest::newRow("sign alone") << "-" << 0.0;
    QTest::newRow("point alone") << "." << 0.0;
    QTest::newRow("million digits") << QString(1'000'000, u'9') << inf;
    QTest::newRow("million zeros then 1")
        << (QStringLiteral("0.") + QString(1'000'000, u'0') + u'1') << 0.0;
}

void TestNumbers::val()
{
    QFETCH(QString, text);
    QFETCH(double, expected);
    QCOMPARE(Val(text), expected);
}

void TestNumbers::valIgnoresTheLocale()
{
    const QLocale before;
    QLocale::setDefault(QLocale(QLocale::German, QLocale::Germany));
    std::setlocale(LC_ALL, "de_DE.UTF-8");
    QCOMPARE(Val(u"1.5"), 1.5);
    QCOMPARE(Val(u"1,5"), 1.0);
    QCOMPARE(numberText(1.5), QStringLiteral("1.5"));
    std::setlocale(LC_ALL, "C");
    QLocale::setDefault(before);
}

void TestNumbers::numberTexts_data()
{
    QTest::addColumn<double>("value");
    QTest::addColumn<QString>("expected");

    QTest::newRow("one") << 1.0 << "1";
    QTest::newRow("zero") << 0.0 << "0";
    QTest::newRow("minus zero") << -0.0 << "0";
    QTest::newRow("negative") << -1.0 << "-1";
    QTest::newRow("half") << 0.5 << "0.5";
    QTest::newRow("one and a half") << 1.5 << "1.5";
    QTest::newRow("sum of tenths") << 0.1 + 0.2 << "0.3";
    QTest::newRow("largest plain") << 999999999999999.0 << "999999999999999";
    QTest::newRow("exponent") << 1e15 << "1E+15";
    QTest::newRow("large exponent") << 1.5e300 << "1.5E+300";
    QTest::newRow("small exponent") << 1e-20 << "1E-20";
    QTest::newRow("beyond exact integers") << 9007199254740992.0 << "9.00719925474099E+15";
}

void TestNumbers::numberTexts()
{
    QFETCH(double, value);
    QFETCH(QString, expected);
    QCOMPARE(numberText(value), expected);
}

void TestNumbers::looseNumbers()
{
    const LooseNumber empty;
    QVERIFY(empty.isEmpty());
    QCOMPARE(empty.toDouble(), 0.0);
    // Empty counts as 0 in comparisons, whatever kind the other side is.
    QVERIFY(empty == LooseNumber::single(0.0f));
    QVERIFY(LooseNumber::integer(1) == LooseNumber::real(1.0));
    QVERIFY(!(LooseNumber::single(3.0f) == LooseNumber::single(4.0f)));
    QCOMPARE(LooseNumber::integer(1).kind(), LooseNumber::Kind::Integer);
}

QTEST_APPLESS_MAIN(TestNumbers)
#include "tst_numbers.moc"
