#include "numbers.h"
#include "textfile.h"

#include <QTest>

// The number and text rules every step and save relies on.
class TestPlatform : public QObject
{
    Q_OBJECT

private slots:
    void leadingNumber_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<double>("value");
        const double inf = qInf();
        QTest::newRow("blanks, sign") << " \t\r\n-12" << -12.0;
        QTest::newRow("words after") << "2 apples" << 2.0;
        QTest::newRow("fraction") << "0.5" << 0.5;
        QTest::newRow("point first") << "-.25x" << -0.25;
        QTest::newRow("point last") << "7." << 7.0;
        QTest::newRow("comma is no point") << "1,5" << 1.0;
        QTest::newRow("signed exponent") << "+1.5e3" << 1500.0;
        QTest::newRow("D exponent, signed") << "25D-1" << 2.5;
        QTest::newRow("E without digits") << "2e+" << 2.0;
        QTest::newRow("letters") << "abc" << 0.0;
        QTest::newRow("empty") << "" << 0.0;
        QTest::newRow("sign alone") << "-" << 0.0;
        QTest::newRow("point alone") << ".e5" << 0.0;
        QTest::newRow("nan, inf, hex") << "nan inf 0x10" << 0.0;
        QTest::newRow("past the range") << "1e400" << inf;
        QTest::newRow("past the range, negative") << "-1e400" << -inf;
        QTest::newRow("a million digits") << QString(1'000'000, u'9') << inf;
        QTest::newRow("below the range") << "1e-400" << 0.0;
    }

    void leadingNumber()
    {
        QFETCH(QString, text);
        QFETCH(double, value);
        QCOMPARE(::leadingNumber(text), value);
    }

    void numberText_data()
    {
        QTest::addColumn<double>("value");
        QTest::addColumn<QString>("text");
        QTest::newRow("whole") << 12.0 << "12";
        QTest::newRow("negative") << -3.0 << "-3";
        QTest::newRow("minus zero") << -0.0 << "0";
        QTest::newRow("fraction") << 1.5 << "1.5";
        QTest::newRow("largest plain") << 999999999999999.0 << "999999999999999";
        QTest::newRow("large") << 1e15 << "1E+15";
        QTest::newRow("long large") << -123456789012345678.0 << "-1.23456789012346E+17";
        QTest::newRow("small") << 1e-5 << "1E-5";
        QTest::newRow("infinite") << -qInf() << "-Inf";
        QTest::newRow("not a number") << qQNaN() << "NaN";
    }

    void numberText()
    {
        QFETCH(double, value);
        QFETCH(QString, text);
        QCOMPARE(::numberText(value), text);
    }

    void textKeepsEveryByte_data()
    {
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<QString>("text");
        QTest::addColumn<TextForm>("form");
        QByteArray everyByte;
        for (int b = 0; b < 256; ++b)
            everyByte += char(b);
        QTest::newRow("ASCII with CR LF") << QByteArray("a\r\nb\r\n") << "a\r\nb\r\n"
                                          << TextForm::Windows1252;
        QTest::newRow("Windows-1252")
            << QByteArray("M\xf3r \x80\x81\x9f") << u"Mór €\u0081Ÿ"_qs << TextForm::Windows1252;
        QTest::newRow("UTF-8") << QByteArray("M\xc3\xb3r \xe2\x82\xac") << u"Mór €"_qs
                               << TextForm::Utf8;
        QTest::newRow("UTF-8 with a mark")
            << QByteArray("\xef\xbb\xbfK\xc3\xa9") << u"\uFEFFKé"_qs << TextForm::Utf8;
        QTest::newRow("UTF-8 gone bad")
            << QByteArray("\xc3\xa9\xe9") << u"Ã©é"_qs << TextForm::Windows1252;
        QTest::newRow("overlong UTF-8")
            << QByteArray("\xc0\xaf") << u"À¯"_qs << TextForm::Windows1252;
        QTest::newRow("every byte") << everyByte << QString() << TextForm::Windows1252;
    }

    // Whatever a file holds comes back byte for byte when saved unchanged.
    void textKeepsEveryByte()
    {
        QFETCH(QByteArray, bytes);
        QFETCH(QString, text);
        QFETCH(TextForm, form);
        const DecodedText decoded = decodeText(bytes);
        if (!text.isEmpty())
            QCOMPARE(decoded.text, text);
        QCOMPARE(decoded.text.size(), text.isEmpty() ? bytes.size() : text.size());
        QCOMPARE(decoded.form, form);
        QCOMPARE(encodeText(decoded.text, decoded.form), bytes);
    }
};

QTEST_GUILESS_MAIN(TestPlatform)
#include "tst_platform.moc"
