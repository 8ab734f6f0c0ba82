#include "MainWindowFixture.h"

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>
#include <QTimer>

using namespace Qt::StringLiterals;
using namespace MainWindowFixture;

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
    QVERIFY(w.control(u"startButton"_s)->isEnabled());
    {
        WaitRecorder waits(w);
        QTest::mouseClick(w.control(u"startButton"_s), Qt::LeftButton);
    }

    answerDialog([](QWidget &d) {
        d.findChild<QLineEdit *>(u"titleBox"_s)->setText(u"年会\\n抽奖"_s);
        d.findChild<QComboBox *>(u"titleFontBox"_s)->setCurrentText(u"30"_s);
        d.findChild<QComboBox *>(u"rowFontBox(1)"_s)->setCurrentText(u"20"_s);
        d.findChild<QCheckBox *>(u"showRowBox(2)"_s)->setChecked(false);
    }, u"saveButton"_s);
    w.form.openAdvancedSettings();

    auto *start = w.control<QPushButton>(u"startButton"_s);
    // Fonts, texts and columns leave the finished run as it was: counted, and redrawn on request.
    QVERIFY(!start->isEnabled());
    QCOMPARE(start->text(), u"摇号结束"_s);
    QCOMPARE(w.label(u"statusLabel(1)"_s)->text(), u"记录条数:30"_s);
    QCOMPARE(w.label(u"statusLabel(2)"_s)->text(), u"已出结果:3/3"_s);
    QVERIFY(w.form.drawProcedure().canRedraw(3));
    QCOMPARE(w.label(u"titleLabel(0)"_s)->text(), u"年会\r\n抽奖"_s);
    QCOMPARE(w.label(u"titleLabel(1)"_s)->text(), u"年会\r\n抽奖"_s);
    QCOMPARE(w.label(u"titleLabel(0)"_s)->font().pointSizeF(), 30.0);
    QCOMPARE(w.label(u"rollingRow(1)"_s)->font().pointSizeF(), 20.0);
    QVERIFY(w.label(u"rollingRow(1)"_s)->isVisibleTo(&w.form));
    QVERIFY(!w.label(u"rollingRow(2)"_s)->isVisibleTo(&w.form));
    QVERIFY(!w.label(u"rollList"_s)->isVisibleTo(&w.form));

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
    answerDialog([](QWidget &d) { d.findChild<QLineEdit *>(u"titleBox"_s)->setText(u"不保存"_s); },
                 u"cancelButton"_s);
    w.form.openAdvancedSettings();
    QCOMPARE(dir.settingsBytes(), before);
    QVERIFY(w.control(u"startButton"_s)->isEnabled());
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
        w.form.startDraw();
    }
    w.messages.answers = {MessageBoxes::Answer::Yes, MessageBoxes::Answer::Yes};
    if (prepared)
        confirm(w, u"2"_s); // the list is cleared: Yes
    QVERIFY(prepared ? w.control(u"startButton"_s)->isEnabled() : w.form.drawProcedure().canRedraw(1));
    w.messages.answers = {MessageBoxes::Answer::Yes};
    answerDialog([](QWidget &d) { QTest::mouseClick(d.findChild<QPushButton *>(u"newEventButton"_s), Qt::LeftButton); },
                 u"cancelButton"_s);
    w.form.openAdvancedSettings();

    QVERIFY(QDir(dir.path()).entryList({u"出号结果*"_s}).isEmpty());
    QVERIFY(!w.control(u"startButton"_s)->isEnabled() && !w.form.drawProcedure().canRedraw(1));
    w.messages.shown.clear();
    w.form.startDraw(); // as after start-up
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
        w.form.openAdvancedSettings();
    };
    QTest::mouseClick(w.control(u"startButton"_s), Qt::LeftButton);
    QCOMPARE(dialogsSeen, 0);
    QCOMPARE(w.run.winnerList.size(), 2);
}

ZOP_MAIN_WINDOW_TEST_MAIN(TestAdvancedSettingsLink)
#include "tst_AdvancedSettingsLink.moc"
