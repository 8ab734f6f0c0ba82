#include "settings/ValueText.h"

#include <QTest>

using namespace Qt::StringLiterals;
using namespace ValueText;

class TestValueText : public QObject
{
    Q_OBJECT

private slots:
    void valInRange_data();
    void valInRange();
    void toInteger_data();
    void toInteger();
    void strOrDefault();
    void escapes_data();
    void escapes();
};

void TestValueText::valInRange_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<int>("min");
    QTest::addColumn<int>("max");
    QTest::addColumn<int>("fallback");
    QTest::addColumn<int>("expected");

    QTest::newRow("upper bound") << u"48"_s << 6 << 48 << 36 << 48;
    QTest::newRow("above") << u"49"_s << 6 << 48 << 36 << 36;
    QTest::newRow("lower bound") << u"5"_s << 5 << 999 << 20 << 5;
    QTest::newRow("empty, 0 outside") << u""_s << 1 << 99999 << 5 << 5;
    QTest::newRow("empty, 0 inside") << u""_s << 0 << 6 << 3 << 0;
    QTest::newRow("letters") << u"abc"_s << 1 << 99999 << 5 << 5;
    QTest::newRow("number then letters") << u"12abc"_s << 1 << 99999 << 5 << 12;
    QTest::newRow("blank inside") << u"1 2"_s << 1 << 99999 << 5 << 12;
    QTest::newRow("tab and line feed") << u"\t1\n3 "_s << 1 << 99999 << 5 << 13;
    QTest::newRow("7.5 to even") << u"7.5"_s << 1 << 99 << 5 << 8;
    QTest::newRow("6.5 to even") << u"6.5"_s << 1 << 99 << 5 << 6;
    QTest::newRow("2.5 to even") << u"2.5"_s << 1 << 99 << 5 << 2;
    QTest::newRow("0.5 to 0") << u".5"_s << 0 << 99 << 5 << 0;
    QTest::newRow("negative") << u"-3"_s << -10 << 10 << 5 << -3;
    QTest::newRow("sign with blank") << u"- 3"_s << -10 << 10 << 5 << -3;
    QTest::newRow("plus") << u"+7"_s << 1 << 10 << 5 << 7;
    QTest::newRow("exponent") << u"1.5e1"_s << 1 << 99 << 5 << 15;
    QTest::newRow("negative exponent") << u"250E-1"_s << 1 << 99 << 5 << 25;
    QTest::newRow("exponent without digits") << u"3e"_s << 1 << 99 << 5 << 3;
    QTest::newRow("second point stops") << u"1.2.3"_s << 0 << 99 << 5 << 1;
    QTest::newRow("hex") << u"&H1F"_s << 1 << 99 << 5 << 31;
    QTest::newRow("hex lower case") << u"&hff"_s << 1 << 999 << 5 << 255;
    QTest::newRow("octal") << u"&O17"_s << 1 << 99 << 5 << 15;
    QTest::newRow("octal stops at 8") << u"&O18"_s << 0 << 99 << 5 << 1;
    QTest::newRow("bare &H") << u"&H"_s << 1 << 99 << 5 << 5;
    QTest::newRow("beyond 32 bits") << u"99999999999"_s << INT_MIN << INT_MAX << 7 << 7;
    QTest::newRow("huge exponent") << u"1e400"_s << INT_MIN << INT_MAX << 7 << 7;
    QTest::newRow("int max") << u"2147483647"_s << INT_MIN << INT_MAX << 7 << INT_MAX;
    QTest::newRow("int min") << u"-2147483648"_s << INT_MIN << INT_MAX << 7 << INT_MIN;
    QTest::newRow("full-width digits are not digits") << u"１２"_s << 1 << 99 << 5 << 5;
}

void TestValueText::valInRange()
{
    QFETCH(QString, text);
    QFETCH(int, min);
    QFETCH(int, max);
    QFETCH(int, fallback);
    QFETCH(int, expected);
    QCOMPARE(ValueText::valInRange(text, min, max, fallback), expected);
}

void TestValueText::toInteger_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<int>("expected"); // -999 for no value

    QTest::newRow("blanks around") << u" 12 "_s << 12;
    QTest::newRow("12.5 to even") << u"12.5"_s << 12;
    QTest::newRow("13.5 to even") << u"13.5"_s << 14;
    QTest::newRow("empty") << u""_s << -999;
    QTest::newRow("trailing letters") << u"12abc"_s << -999;
    QTest::newRow("blank inside") << u"1 2"_s << -999;
    QTest::newRow("hex") << u"&H10"_s << 16;
    QTest::newRow("negative") << u"-1"_s << -1;
    QTest::newRow("beyond 32 bits") << u"3000000000"_s << -999;
}

void TestValueText::toInteger()
{
    QFETCH(QString, text);
    QFETCH(int, expected);
    QCOMPARE(ValueText::toInteger(text).value_or(-999), expected);
}

void TestValueText::strOrDefault()
{
    QCOMPARE(ValueText::strOrDefault(u""_s, 1, u"默认"_s), u"默认"_s);
    QCOMPARE(ValueText::strOrDefault(u" "_s, 1, u"默认"_s), u" "_s);
    QCOMPARE(ValueText::strOrDefault(u"ab"_s, 3, u"默认"_s), u"默认"_s);
}

void TestValueText::escapes_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<int>("direction");
    QTest::addColumn<QString>("escapes");
    QTest::addColumn<QString>("lineBreaks");

    QTest::newRow("encode blank and tab") << u"a b\t"_s << 1 << u"a{space}b{tab}"_s << u"a b\t"_s;
    QTest::newRow("decode") << u"a{space}b{tab}"_s << 0 << u"a b\t"_s << u"a{space}b{tab}"_s;
    QTest::newRow("capitals untouched") << u"{TAB}"_s << 0 << u"{TAB}"_s << u"{TAB}"_s;
    QTest::newRow("decode line break") << u"第一行\\n第二行"_s << 0 << u"第一行\r\n第二行"_s
                                       << u"第一行\r\n第二行"_s;
    QTest::newRow("encode CR LF only") << u"a\r\nb\nc\rd"_s << 1 << u"a\\nb\nc\rd"_s << u"a\\nb\nc\rd"_s;
    QTest::newRow("direction 2") << u"a b\\n"_s << 2 << u"a b\\n"_s << u"a b\\n"_s;
    QTest::newRow("decoded tab spells an escape") << u"{ta{space}b}"_s << 0 << u"{ta b}"_s
                                                  << u"{ta{space}b}"_s;
}

void TestValueText::escapes()
{
    QFETCH(QString, text);
    QFETCH(int, direction);
    QFETCH(QString, escapes);
    QFETCH(QString, lineBreaks);
    QCOMPARE(convertEscapes(text, direction), escapes);
    QCOMPARE(convertLineBreaks(text, direction), lineBreaks);
}

QTEST_GUILESS_MAIN(TestValueText)
#include "tst_ValueText.moc"
