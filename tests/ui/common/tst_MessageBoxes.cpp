#include "ui/common/MessageBoxes.h"

#include <QApplication>
#include <QMessageBox>
#include <QTest>
#include <QTimer>

using namespace Qt::StringLiterals;
using Answer = MessageBoxes::Answer;

namespace {

// Presses key on the box once it is up, as the organiser would.
void pressOnBox(Qt::Key key)
{
    QTimer::singleShot(10, [key] {
        if (QWidget *box = QApplication::activeModalWidget())
            QTest::keyClick(box, key);
        else
            pressOnBox(key);
    });
}

} // namespace

class TestMessageBoxes : public QObject
{
    Q_OBJECT

private slots:
    void keysOnTheRealBoxes_data();
    void keysOnTheRealBoxes();
};

void TestMessageBoxes::keysOnTheRealBoxes_data()
{
    QTest::addColumn<Answer>("defaultAnswer"); // of a question; a choice when not
    QTest::addColumn<bool>("choice");
    QTest::addColumn<int>("key");
    QTest::addColumn<int>("answer"); // Answer, or the button index of a choice
    QTest::newRow("Enter on an undoable question") << Answer::Yes << false << int(Qt::Key_Return) << int(Answer::Yes);
    QTest::newRow("Enter on an irreversible question") << Answer::No << false << int(Qt::Key_Return) << int(Answer::No);
    QTest::newRow("Enter on a choice: the first button") << Answer::Yes << true << int(Qt::Key_Return) << 0;
    QTest::newRow("Esc on a choice: the last button") << Answer::Yes << true << int(Qt::Key_Escape) << 2;
}

void TestMessageBoxes::keysOnTheRealBoxes()
{
    QFETCH(Answer, defaultAnswer);
    QFETCH(bool, choice);
    QFETCH(int, key);
    QFETCH(int, answer);
    WidgetMessageBoxes boxes;
    pressOnBox(Qt::Key(key));
    if (choice)
        QCOMPARE(boxes.choose(nullptr, u"还有 2 名中奖者未写入结果文件。"_s, {u"重试"_s, u"另存为…"_s, u"取消"_s}),
                 answer);
    else
        QCOMPARE(int(boxes.question(nullptr, u"A1 不在场，为其补抽一名？"_s, defaultAnswer)), answer);
}

QTEST_MAIN(TestMessageBoxes)
#include "tst_MessageBoxes.moc"
