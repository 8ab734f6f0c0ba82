#include "Form1Fixture.h"

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>
#include <QTimer>

using namespace Qt::StringLiterals;
using namespace Form1Fixture;

// The "高级设置" link of the quick settings panel and what the main window shows after a save.
class TestAdvancedSettingsLink : public QObject
{
    Q_OBJECT

private slots:
    void saveRefreshesTheMainWindow();
    void cancelChangesNothing();
    void newEventEndsTheOldOne_data();
    void newEventEndsTheOldOne();
    void linkIsInertDuringARun();
};

namespace {

// Runs edit on the settings dialog once it is open, then presses the named button in it.
void answerDialog(const std::function<void(QWidget &)> &edit, const QString &button)
{
    QTimer::singleShot(0, [edit, button] {
        QWidget *dialog = QApplication::activeModalWidget();
        QVERIFY(dialog);
        QCOMPARE(dialog->windowTitle(), u"ZOP摇号（高级设置）"_s);
        edit(*dialog);
        QTest::mouseClick(dialog->findChild<QPushButton *>(button), Qt::LeftButton);
    });
}

} // namespace

void TestAdvancedSettingsLink::saveRefreshesTheMainWindow()
{
    ProgramDir dir;
    dir.writeEntries(listFile, 1, 30);
    Window w(dir.path());
    confirm(w, u"3"_s);
    QVERIFY(w.control(u"Command1"_s)->isEnabled());
    {
        WaitRecorder waits(w);
        QTest::mouseClick(w.control(u"Command1"_s), Qt::LeftButton);
    }

    answerDialog([](QWidget &d) {
        d.findChild<QLineEdit *>(u"Text1(0)"_s)->setText(u"年会\\n抽奖"_s);
        d.findChild<QComboBox *>(u"Combo1(2)"_s)->setCurrentText(u"30"_s);
        d.findChild<QComboBox *>(u"Combo2(1)"_s)->setCurrentText(u"20"_s);
        d.findChild<QCheckBox *>(u"Check3(2)"_s)->setChecked(false);
    }, u"Command2(1)"_s);
    w.form.Label8_Click();

    auto *start = w.control<QPushButton>(u"Command1"_s);
    // Fonts, texts and columns leave the finished run as it was: counted, and redrawn on request.
    QVERIFY(!start->isEnabled());
    QCOMPARE(start->text(), u"摇号结束"_s);
    QCOMPARE(w.label(u"Label3(1)"_s)->text(), u"记录条数:30"_s);
    QCOMPARE(w.label(u"Label3(2)"_s)->text(), u"已出结果:3/3"_s);
    QVERIFY(w.form.drawProcedure().canRedraw(3));
    QCOMPARE(w.label(u"Label2(0)"_s)->text(), u"年会\r\n抽奖"_s);
    QCOMPARE(w.label(u"Label2(1)"_s)->text(), u"年会\r\n抽奖"_s);
    QCOMPARE(w.label(u"Label2(0)"_s)->font().pointSizeF(), 30.0);
    QCOMPARE(w.label(u"Label1(1)"_s)->font().pointSizeF(), 20.0);
    QVERIFY(w.label(u"Label1(1)"_s)->isVisibleTo(&w.form));
    QVERIFY(!w.label(u"Label1(2)"_s)->isVisibleTo(&w.form));
    QVERIFY(!w.label(u"LabelData"_s)->isVisibleTo(&w.form));

    w.messages.answers = {MessageBoxes::Answer::Yes};
    confirm(w, u"3"_s);
    QVERIFY(start->isEnabled());
}

void TestAdvancedSettingsLink::cancelChangesNothing()
{
    ProgramDir dir;
    dir.writeEntries(listFile, 1, 30);
    Window w(dir.path());
    confirm(w, u"3"_s);
    const QByteArray before = dir.settingsBytes();
    answerDialog([](QWidget &d) { d.findChild<QLineEdit *>(u"Text1(0)"_s)->setText(u"不保存"_s); },
                 u"Command2(0)"_s);
    w.form.Label8_Click();
    QCOMPARE(dir.settingsBytes(), before);
    QVERIFY(w.control(u"Command1"_s)->isEnabled());
    QCOMPARE(w.run.entryTable.entryCount(), 30);
}

void TestAdvancedSettingsLink::newEventEndsTheOldOne_data()
{
    QTest::addColumn<bool>("prepared");
    QTest::newRow("a finished run is not redrawn") << false;
    QTest::newRow("the next round's prepared draw is discarded") << true;
}

// A round drawn (and the next one prepared); 新活动… and 取消: nothing of the old event is left.
void TestAdvancedSettingsLink::newEventEndsTheOldOne()
{
    QFETCH(bool, prepared);
    ProgramDir dir({{u"中奖者不再参与"_s, u"1"_s}});
    dir.writeEntries(listFile, 1, 5);
    Window w(dir.path());
    confirm(w, u"3"_s);
    {
        WaitRecorder noWaits(w);
        w.form.Command1_Click();
    }
    w.messages.answers = {MessageBoxes::Answer::Yes, MessageBoxes::Answer::Yes};
    if (prepared)
        confirm(w, u"2"_s); // the list is cleared: Yes
    QVERIFY(prepared ? w.control(u"Command1"_s)->isEnabled() : w.form.drawProcedure().canRedraw(1));
    w.messages.answers = {MessageBoxes::Answer::Yes};
    answerDialog([](QWidget &d) { QTest::mouseClick(d.findChild<QPushButton *>(u"Command3"_s), Qt::LeftButton); },
                 u"Command2(0)"_s);
    w.form.Label8_Click();

    QVERIFY(QDir(dir.path()).entryList({u"出号结果*"_s}).isEmpty());
    QVERIFY(!w.control(u"Command1"_s)->isEnabled() && !w.form.drawProcedure().canRedraw(1));
    w.messages.shown.clear();
    w.form.Command1_Click(); // as after start-up
    QCOMPARE(w.messages.texts(), QStringList{u"未设置摇奖参数！"_s});
    QVERIFY(w.run.drawOrder.isEmpty() && w.run.earlierWinners.isEmpty());
}

void TestAdvancedSettingsLink::linkIsInertDuringARun()
{
    ProgramDir dir;
    dir.writeEntries(listFile, 1, 30);
    Window w(dir.path());
    confirm(w, u"2"_s);
    WaitRecorder waits(w);
    int dialogsSeen = 0;
    waits.atWait = [&](int i) {
        if (i != 3)
            return;
        // A dialog opened here would block the run; the link must return at once.
        QTimer::singleShot(0, [&] {
            if (QApplication::activeModalWidget()) {
                ++dialogsSeen;
                QApplication::activeModalWidget()->close();
            }
        });
        w.form.Label8_Click();
    };
    QTest::mouseClick(w.control(u"Command1"_s), Qt::LeftButton);
    QCOMPARE(dialogsSeen, 0);
    QCOMPARE(w.run.winnerList.size(), 2);
}

ZOP_FORM1_TEST_MAIN(TestAdvancedSettingsLink)
#include "tst_AdvancedSettingsLink.moc"
