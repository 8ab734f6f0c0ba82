#include "ui/reveal/WinnerListText.h"

#include <QTest>

using namespace Qt::StringLiterals;
using namespace WinnerListText;

class TestWinnerListText : public QObject
{
    Q_OBJECT

private slots:
    void padding_data();
    void padding();
    void lines_data();
    void lines();
    void wholeText_data();
    void wholeText();
    void caret_data();
    void caret();
};

void TestWinnerListText::padding_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<int>("width");
    QTest::addColumn<int>("flag");
    QTest::addColumn<QString>("padded");
    QTest::newRow("[9] gets three") << u"[9]"_s << 5 << 0 << u"[9]  "_s;
    QTest::newRow("[10] gets one") << u"[10]"_s << 5 << 0 << u"[10] "_s;
    QTest::newRow("[100] is full") << u"[100]"_s << 5 << 0 << u"[100]"_s;
    QTest::newRow("[1000] is never cut") << u"[1000]"_s << 5 << 0 << u"[1000]"_s;
    QTest::newRow("other flag fills before") << u"ab"_s << 5 << 1 << u"   ab"_s;
    QTest::newRow("negative flag fills before") << u"ab"_s << 4 << -1 << u"  ab"_s;
    QTest::newRow("Chinese counts two") << u"中文"_s << 6 << 0 << u"中文  "_s;
    QTest::newRow("mixed") << u"A中"_s << 4 << 0 << u"A中 "_s;
    QTest::newRow("Chinese already wide") << u"中文字"_s << 5 << 0 << u"中文字"_s;
    QTest::newRow("empty") << QString() << 3 << 0 << u"   "_s;
    QTest::newRow("zero width") << u"x"_s << 0 << 0 << u"x"_s;
    QTest::newRow("negative width") << u"x"_s << -4 << 1 << u"x"_s;
}

void TestWinnerListText::padding()
{
    QFETCH(QString, text);
    QFETCH(int, width);
    QFETCH(int, flag);
    QFETCH(QString, padded);
    QCOMPARE(padToWidth(text, width, flag), padded);
}

void TestWinnerListText::lines_data()
{
    QTest::addColumn<int>("number");
    QTest::addColumn<int>("showIndex");
    QTest::addColumn<int>("code");
    QTest::addColumn<QString>("line");
    const QString num = u"[7]   "_s;
    QTest::newRow("code 0") << 7 << 1 << 0 << num + u"A7 张三 销售部"_s;
    QTest::newRow("code 1") << 7 << 1 << 1 << num + u"A7"_s;
    QTest::newRow("code 2") << 7 << 1 << 2 << num + u"张三"_s;
    QTest::newRow("code 3") << 7 << 1 << 3 << num + u"销售部"_s;
    QTest::newRow("code 4") << 7 << 1 << 4 << num + u"A7 张三"_s;
    QTest::newRow("code 5, number 12") << 12 << 1 << 5 << u"[12]  A7 销售部"_s;
    QTest::newRow("code 6") << 7 << 1 << 6 << num + u"张三 销售部"_s;
    QTest::newRow("code 9 shows all") << 7 << 1 << 9 << num + u"A7 张三 销售部"_s;
    QTest::newRow("code -1 shows all") << 7 << 1 << -1 << num + u"A7 张三 销售部"_s;
    QTest::newRow("not numbered, code 1") << 7 << 0 << 1 << u"A7"_s;
    QTest::newRow("index 2 is not numbered") << 7 << 2 << 0 << u"A7 张三 销售部"_s;
    QTest::newRow("number 9") << 9 << 1 << 1 << u"[9]   A7"_s;
    QTest::newRow("number 10") << 10 << 1 << 1 << u"[10]  A7"_s;
    QTest::newRow("number 100") << 100 << 1 << 1 << u"[100] A7"_s;
    QTest::newRow("number 12345") << 12345 << 1 << 1 << u"[12345] A7"_s;
}

void TestWinnerListText::lines()
{
    QFETCH(int, number);
    QFETCH(int, showIndex);
    QFETCH(int, code);
    QFETCH(QString, line);
    QCOMPARE(winnerLine(number, {u"A7"_s, u"张三"_s, u"销售部"_s}, showIndex, code), line);
}

void TestWinnerListText::wholeText_data()
{
    QTest::addColumn<QString>("heading");
    QTest::addColumn<QList<EntryRecord>>("winners");
    QTest::addColumn<int>("showIndex");
    QTest::addColumn<int>("code");
    QTest::addColumn<QString>("text");
    const QList<EntryRecord> two = {{u"A1"_s, u"甲"_s, u"一部"_s}, {u"A2"_s, u"乙"_s, u"二部"_s}};
    QTest::newRow("no winners: the heading alone") << u"号榜"_s << QList<EntryRecord>() << 1 << 0
                                                   << u"号榜"_s;
    QTest::newRow("two-line heading")
        << u"号榜\r\n===="_s << two << 1 << 0
        << u"号榜\r\n====\r\n[1]   A1 甲 一部\r\n[2]   A2 乙 二部"_s;
    QTest::newRow("empty heading starts with a break")
        << QString() << two << 0 << 1 << u"\r\nA1\r\nA2"_s;
    QTest::newRow("empty middle column is kept")
        << u"H"_s << QList<EntryRecord>{{u"A1"_s, QString(), u"一部"_s}} << 0 << 0
        << u"H\r\nA1  一部"_s;
    QTest::newRow("empty heading, no winners") << QString() << QList<EntryRecord>() << 1 << 0
                                               << QString();
}

void TestWinnerListText::wholeText()
{
    QFETCH(QString, heading);
    QFETCH(QList<EntryRecord>, winners);
    QFETCH(int, showIndex);
    QFETCH(int, code);
    QFETCH(QString, text);
    QCOMPARE(WinnerListText::text(heading, winners, showIndex, code), text);
}

void TestWinnerListText::caret_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<qsizetype>("position");
    QTest::newRow("start of the last line") << u"ab\r\ncd\r\nef"_s << qsizetype(8);
    QTest::newRow("text ending in a break") << u"ab\r\n"_s << qsizetype(4);
    QTest::newRow("no break: index 1") << u"heading"_s << qsizetype(1);
    QTest::newRow("empty text") << QString() << qsizetype(0);
    QTest::newRow("lone LF is no break") << u"ab\ncd"_s << qsizetype(1);
}

void TestWinnerListText::caret()
{
    QFETCH(QString, text);
    QFETCH(qsizetype, position);
    QCOMPARE(caretPosition(text), position);
}

QTEST_APPLESS_MAIN(TestWinnerListText)
#include "tst_WinnerListText.moc"
