#include "MainWindowFixture.h"
#include "draw/AbsenceRecord.h"
#include "draw/InterruptedDraw.h"
#include "draw/RecordVerification.h"
#include "settings/TextCodec.h"
#include "support/TestSupport.h"
#include "ui/common/Fonts.h"
#include "ui/common/WidgetColours.h"
#include "ui/main/RandomInputDialog.h"
#include "ui/reveal/ColourFlash.h"
#include "ui/stage/StageView.h"
#include "ui/stage/StageWindow.h"

#include <QApplication>
#include <QDir>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QScreen>
#include <QTest>
#include <QTextBlock>
#include <QTextDocument>
#include <QTextLayout>
#include <QTimer>

using namespace Qt::StringLiterals;
using namespace MainWindowFixture;
using Kind = ScriptedMessageBoxes::Kind;
using Wait = WaitRecorder::Wait;

namespace {

const QString heading = u"☆★☆★ 号榜 ☆★☆★\n=========================="_s;
const QString closingText = u"**** 谢谢参与! ****"_s;
const QColor panelColour(0x80, 0x80, 0xFF), rowColour(0x00, 0xC0, 0x00);

QString resultName(const QTime &time)
{
    return u"出号结果20240315_"_s + time.toString(u"HHmmss"_s) + u".txt"_s;
}

// Winner list text for the draw order's first count entries, numbered.
QString listText(const QList<int> &order, int count)
{
    QString text = heading;
    for (int i = 1; i <= count; ++i)
        text += u"\n[%1]   A%2 名%2 部%2"_s.arg(i).arg(order[i - 1]);
    return text;
}

QByteArray resultBytes(const QList<int> &order, int first, int last)
{
    QString text;
    for (int i = first; i <= last; ++i)
        text += entryLine(order[i - 1]) + u"\r\n"_s;
    return TestSupport::gbk(text);
}

QStringList resultFiles(const ProgramDir &dir)
{
    return QDir(dir.path()).entryList({u"出号结果*"_s}, QDir::AllEntries, QDir::Name);
}

// The window is shown and active, the panel confirmed for count winners of a 12-entry list.
void prepare(Window &w, ProgramDir &dir, int count)
{
    dir.writeEntries(listFile, 1, 12);
    QVERIFY(w.showActive());
    confirm(w, QString::number(count));
    QCOMPARE(w.messages.texts(), QStringList{u"设置完成！"_s});
    QCOMPARE(QApplication::focusWidget(), w.control(u"winnerListBox"_s));
}

// A second view of the run that keeps what it was told as the main window's display shows it.
struct MirrorView : DrawView {
    explicit MirrorView(const RunData &run) : run(run) {}
    void rollingEntry(int entry) override { row1 = run.entryTable.column(entry, 1).toString(); }
    void winnerFlash(const QColor &c) override { panel = c.isValid() ? c : panelColour; }
    void winnerRecorded(int winner) override { listed = winner; }
    void closingText(const QString &) override { row1.clear(); }
    void closingFlash(const QColor &c) override { closing = c.isValid() ? c : rowColour; }
    QString shown() const { return u"%1 %2 %3 %4"_s.arg(row1, panel.name(), closing.name()).arg(listed); }

    const RunData &run;
    QString row1;
    QColor panel = panelColour, closing = rowColour;
    int listed = 0;
};

// What the stage shows, in the mirror's terms.
QString stageShows(MainWindow &form)
{
    const StageView &stage = form.stageWindow().view();
    const QColor panel = stage.panelFrameColour(), closing = stage.closingTextColour();
    return u"%1 %2 %3 %4"_s.arg(stage.rollingEntry().column1, (panel.isValid() ? panel : panelColour).name(),
                               (closing.isValid() ? closing : rowColour).name()).arg(stage.winnerCount());
}

// Sends one press and release of key to whichever control has the focus.
void pressKey(Qt::Key key)
{
    QTest::keyClick(QApplication::focusWidget(), key);
}

} // namespace

class TestDrawRun : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();

    void wholeEvent_data();
    void wholeEvent();
    void waitsOfAReveal_data();
    void waitsOfAReveal();
    void rollCountBetweenTheBounds();
    void keyRoutes_data();
    void keyRoutes();
    void keysDoNothingWhileStartDisabled();
    void noOverlapDuringRun();
    void closingTheWindowDuringRun_data();
    void closingTheWindowDuringRun();
    void resultFileFailure_data();
    void resultFileFailure();
    void closingWithWaitingLines_data();
    void closingWithWaitingLines();
    void absentWinnerRedrawn_data();
    void absentWinnerRedrawn();
    void verifiableDraw();
    void dialogsOverTheStageOnOneScreen();
    void verifiableDrawContinued_data();
    void verifiableDrawContinued();
    void digestDigitsBreakInHalves_data();
    void digestDigitsBreakInHalves();
};

void TestDrawRun::initTestCase()
{
    Fonts::installSubstitutions();
    QApplication::setStyle(u"Fusion"_s);
}

void TestDrawRun::wholeEvent_data()
{
    QTest::addColumn<int>("onePerPress");
    QTest::addColumn<int>("presses");
    QTest::addColumn<int>("key");
    QTest::addColumn<int>("clockStep");
    QTest::addColumn<QStringList>("captions");
    QTest::addColumn<QList<int>>("fileSeconds"); // result files, by the second they are named after

    const QStringList continuous = {u"开始"_s, u"正在摇号(1/3)..."_s, u"正在摇号(2/3)..."_s,
                                    u"正在摇号(3/3)..."_s, u"摇号结束"_s};
    const QStringList perPress = {u"开始"_s, u"正在摇号(1/3)..."_s, u"继续"_s,
                                  u"正在摇号(2/3)..."_s, u"继续"_s,
                                  u"正在摇号(3/3)..."_s, u"摇号结束"_s};
    QTest::newRow("continuous, Space") << 0 << 1 << int(Qt::Key_Space) << 1 << continuous << QList<int>{7};
    QTest::newRow("continuous, Enter") << 0 << 1 << int(Qt::Key_Return) << 1 << continuous << QList<int>{7};
    QTest::newRow("one per press, a second apart")
        << 1 << 3 << int(Qt::Key_Space) << 1 << perPress << QList<int>{7, 8, 9};
    QTest::newRow("one per press, keypad Enter, same second")
        << 1 << 3 << int(Qt::Key_Enter) << 0 << perPress << QList<int>{7};
}

void TestDrawRun::wholeEvent()
{
    QFETCH(int, onePerPress);
    QFETCH(int, presses);
    QFETCH(int, key);
    QFETCH(int, clockStep);
    QFETCH(QStringList, captions);
    QFETCH(QList<int>, fileSeconds);
    ProgramDir dir({{u"每点一次出一号标志"_s, QString::number(onePerPress)}});
    Window w(dir.path());
    w.clockStep = clockStep;
    prepare(w, dir, 3);
    QVERIFY(w.control<QTimer>(u"rollListTimer"_s)->isActive());
    const QList<int> order = w.run.drawOrder;

    WaitRecorder waits(w);
    waits.note();
    const bool grabbing = onePerPress == 0 && key == Qt::Key_Space;
    int rollingSeen = 0;
    bool flashGrabbed = false;
    waits.atWait = [&](int i) {
        // Pictures of the second reveal: rolling, then the panel flashing.
        const Wait &now = waits.waits[i];
        if (!grabbing || now.caption != u"正在摇号(2/3)..."_s)
            return;
        if (now.panel == panelColour && ++rollingSeen == 10)
            grab(w.form, u"reveal-rolling"_s);
        if (now.panel == ColourFlash::colourTable()[1] && !flashGrabbed) {
            flashGrabbed = true;
            grab(w.form, u"reveal-flash"_s);
        }
    };
    for (int press = 1; press <= presses; ++press) {
        pressKey(Qt::Key(key));
        waits.note();
        QCOMPARE(w.run.winnerList.size(), onePerPress ? press : 3);
        QCOMPARE(w.control<QPlainTextEdit>(u"winnerListBox"_s)->toPlainText(), listText(order, int(w.run.winnerList.size())));
    }
    if (grabbing)
        grab(w.form, u"closing-text"_s);

    QCOMPARE(waits.captions(), captions);
    QVERIFY(!w.control(u"startButton"_s)->isEnabled());
    QCOMPARE(w.label(u"statusLabel(2)"_s)->text(), u"已出结果:3/3"_s);
    QCOMPARE(w.label(u"statusLabel(0)"_s)->text(), u"数据文件:名单.txt"_s);
    QCOMPARE(w.control<QLineEdit>(u"drawCountBox"_s)->text(), u"3"_s);
    QCOMPARE(w.label(u"rollingRow(1)"_s)->text(), QString());
    QCOMPARE(w.label(u"rollingRow(2)"_s)->text(), closingText);
    QCOMPARE(w.label(u"rollingRow(3)"_s)->text(), QString());
    QCOMPARE(WidgetColours::foreColor(w.label(u"rollingRow(2)"_s)), rowColour);
    QCOMPARE(WidgetColours::backColor(w.label(u"flashPanel"_s)), panelColour);
    QVERIFY(!w.control<QTimer>(u"rollListTimer"_s)->isActive());
    QVERIFY(w.label(u"rollList"_s)->isHidden());
    QCOMPARE(w.messages.texts(), QStringList{u"设置完成！"_s});

    QStringList names;
    for (int s : fileSeconds)
        names.append(resultName(QTime(9, 30, s)));
    QCOMPARE(resultFiles(dir), names);
    if (names.size() == 1) {
        QCOMPARE(TestSupport::readBytes(dir.filePath(names[0])), resultBytes(order, 1, 3));
    } else {
        for (int i = 1; i <= 3; ++i)
            QCOMPARE(TestSupport::readBytes(dir.filePath(names[i - 1])), resultBytes(order, i, i));
    }

    // Finished: further keys do nothing.
    const qsizetype waited = waits.waits.size();
    pressKey(Qt::Key(key));
    QCOMPARE(waits.waits.size(), waited);
    QCOMPARE(w.run.winnerList.size(), 3);
}

void TestDrawRun::waitsOfAReveal_data()
{
    QTest::addColumn<int>("rollCount");
    QTest::addColumn<int>("speed");
    QTest::addColumn<int>("pause");
    QTest::newRow("roll count 5/5, speed 1") << 5 << 1 << 5;
    QTest::newRow("roll count 5/5, speed 3") << 5 << 3 << 2;
    QTest::newRow("roll count 0") << 0 << 1 << 5;
    QTest::newRow("speed 0, pause 0") << 5 << 0 << 0;
}

void TestDrawRun::waitsOfAReveal()
{
    QFETCH(int, rollCount);
    QFETCH(int, speed);
    QFETCH(int, pause);
    ProgramDir dir({{u"滚动个数随机小"_s, QString::number(rollCount)},
                    {u"滚动个数随机大"_s, QString::number(rollCount)},
                    {u"滚动速度"_s, QString::number(speed)},
                    {u"一次性摇出延时"_s, QString::number(pause)}});
    Window w(dir.path());
    prepare(w, dir, 2);
    const QList<int> order = w.run.drawOrder;
    // Every rolling step that shows a new entry, and what it shows.
    QList<QString> steps;
    QString shown;
    WaitRecorder waits(w);
    MirrorView mirror(w.run);
    w.form.drawProcedure().addView(&mirror);
    w.form.toggleStage();
    w.form.activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(&w.form));
    QStringList mirrored, staged, windowShown;
    waits.atWait = [&](int i) {
        const Wait &now = waits.waits[i];
        mirrored.append(mirror.shown());
        staged.append(stageShows(w.form));
        windowShown.append(u"%1 %2 %3 %4"_s.arg(now.row1, now.panel.name(), now.closing.name()).arg(now.listed));
    };
    pressKey(Qt::Key_Space);
    QCOMPARE(mirrored, windowShown);
    QCOMPARE(staged, windowShown);

    // Each winner: its rolling steps, the flash of 2 x 8 steps of 100 ms, the pause; then the
    // closing text's 8 x 7 steps of 50 ms.
    const int rolling = rollCount * speed, flash = 160;
    int i = 0;
    for (int p = 1; p <= 2; ++p) {
        const QString winner = u"A%1"_s.arg(order[p - 1]);
        // Recorded, listed and counted in this order: after the flash, before the pause, after it.
        auto order3 = [&](int recorded, int listed, int counted) {
            QCOMPARE(waits.waits[i].recorded, recorded);
            QCOMPARE(waits.waits[i].listed, listed);
            QCOMPARE(waits.waits[i].status, u"已出结果:%1/2"_s.arg(counted));
        };
        for (int r = 0; r < rolling; ++r, ++i) {
            QCOMPARE(waits.waits[i].milliseconds, 10);
            QCOMPARE(waits.waits[i].panel, panelColour);
            order3(p - 1, p - 1, p - 1);
            QCOMPARE(waits.waits[i].caption, u"正在摇号(%1/2)..."_s.arg(p));
            QVERIFY(!waits.waits[i].startEnabled);
            if (r % speed == 0)
                steps.append(waits.waits[i].row1);
        }
        if (rolling > 0)
            QCOMPARE(waits.waits[i - 1].row1, winner);
        for (int f = 0; f < flash; ++f, ++i) {
            QCOMPARE(waits.waits[i].milliseconds, 10);
            const int step = f / 10 % 8;
            QCOMPARE(waits.waits[i].panel, step < 7 ? ColourFlash::colourTable()[step] : panelColour);
            // Without rolling steps the rows keep what they showed: empty after the preparation.
            QCOMPARE(waits.waits[i].row1, rollCount > 0 ? winner : QString());
            order3(p - 1, p - 1, p - 1);
        }
        for (int t = 0; t < pause; ++t, ++i) {
            QCOMPARE(waits.waits[i].milliseconds, 100);
            QCOMPARE(waits.waits[i].panel, panelColour);
            order3(p, p, p - 1);
        }
    }
    for (int c = 0; c < 280; ++c, ++i) {
        QCOMPARE(waits.waits[i].milliseconds, 10);
        QCOMPARE(waits.waits[i].closing, ColourFlash::colourTable()[c / 5 % 7]);
    }
    QCOMPARE(waits.waits.size(), i);
    QCOMPARE(w.label(u"statusLabel(2)"_s)->text(), u"已出结果:2/2"_s);
    if (speed > 0)
        QCOMPARE(steps.size(), 2 * rollCount);
    QCOMPARE(w.run.winnerList.size(), 2);
    QCOMPARE(TestSupport::readBytes(dir.filePath(resultName(QTime(9, 30, 7)))), resultBytes(order, 1, 2));
}

// With two bounds the roll count takes each value from the lower to one below the upper.
void TestDrawRun::rollCountBetweenTheBounds()
{
    ProgramDir dir({{u"滚动个数随机小"_s, u"5"_s}, {u"滚动个数随机大"_s, u"8"_s}, {u"滚动速度"_s, u"1"_s},
                    {u"一次性摇出延时"_s, u"0"_s}});
    Window w(dir.path());
    prepare(w, dir, 12);
    WaitRecorder waits(w);
    pressKey(Qt::Key_Space);
    // A reveal's rolling waits are those before its flash, one each at speed 1.
    QMap<int, int> counts; // roll count: reveals
    QString caption;
    int rolling = -1;
    for (const Wait &wait : std::as_const(waits.waits)) {
        if (wait.caption != caption) {
            caption = wait.caption;
            rolling = 0;
        }
        if (rolling < 0)
            continue;
        if (wait.panel == panelColour) {
            ++rolling;
        } else {
            ++counts[rolling];
            rolling = -1;
        }
    }
    QCOMPARE(counts.keys(), (QList<int>{5, 6, 7}));
}

void TestDrawRun::keyRoutes_data()
{
    QTest::addColumn<QString>("focus"); // the control with the focus; empty: none, the window
    QTest::addColumn<int>("key");
    QTest::addColumn<int>("starts");
    QTest::newRow("winner list, Space") << u"winnerListBox"_s << int(Qt::Key_Space) << 1;
    QTest::newRow("winner list, Enter") << u"winnerListBox"_s << int(Qt::Key_Return) << 1;
    QTest::newRow("start button, Space") << u"startButton"_s << int(Qt::Key_Space) << 1;
    QTest::newRow("start button, Enter") << u"startButton"_s << int(Qt::Key_Enter) << 1;
    QTest::newRow("window, Space") << QString() << int(Qt::Key_Space) << 1;
    QTest::newRow("window, Enter") << QString() << int(Qt::Key_Return) << 1;
    QTest::newRow("winner list, other key") << u"winnerListBox"_s << int(Qt::Key_A) << 0;
    QTest::newRow("start button, other key") << u"startButton"_s << int(Qt::Key_Tab) << 0;
    QTest::newRow("draw count box, Enter") << u"drawCountBox"_s << int(Qt::Key_Return) << 0;
    QTest::newRow("confirm button, Enter") << u"confirmButton"_s << int(Qt::Key_Return) << 0;
    // A clicker's keys, and the stage covering the only screen.
    QTest::newRow("winner list, PageDown") << u"winnerListBox"_s << int(Qt::Key_PageDown) << 1;
    QTest::newRow("start button, Right") << u"startButton"_s << int(Qt::Key_Right) << 1;
    QTest::newRow("window, PageDown") << QString() << int(Qt::Key_PageDown) << 1;
    QTest::newRow("stage, PageDown") << u"stage"_s << int(Qt::Key_PageDown) << 1;
    QTest::newRow("stage, Space") << u"stage"_s << int(Qt::Key_Space) << 1;
    QTest::newRow("winner list, PageUp") << u"winnerListBox"_s << int(Qt::Key_PageUp) << 0;
    QTest::newRow("draw count box, Right") << u"drawCountBox"_s << int(Qt::Key_Right) << 0;
}

void TestDrawRun::keyRoutes()
{
    QFETCH(QString, focus);
    QFETCH(int, key);
    QFETCH(int, starts);
    ProgramDir dir({{u"每点一次出一号标志"_s, u"1"_s}});
    Window w(dir.path());
    prepare(w, dir, 3);
    QTest::mouseClick(w.label(u"openPanelTab"_s), Qt::LeftButton); // every control can take the focus
    QWidget *stage = &w.form.stageWindow().view();
    if (focus == u"stage"_s) {
        QTest::keyClick(&w.form, Qt::Key_F5);
        QVERIFY(QTest::qWaitForWindowActive(stage));
        QCOMPARE(stage->geometry(), w.form.screen()->geometry()); // one screen: covered
    } else if (focus.isEmpty()) {
        QApplication::focusWidget()->clearFocus();
    } else {
        w.control(focus)->setFocus();
    }
    QWidget *target = focus == u"stage"_s ? stage : focus.isEmpty() ? &w.form : w.control(focus);
    if (target != stage)
        QCOMPARE(w.form.focusWidget(), focus.isEmpty() ? nullptr : target);

    WaitRecorder waits(w);
    QTest::keyClick(target, Qt::Key(key));
    QCOMPARE(w.run.pressCount, starts);
    QCOMPARE(w.run.winnerList.size(), starts);
    if (starts == 0)
        return;

    // A held key repeats its press, and is still one press.
    const QString text = key == Qt::Key_Space ? u" "_s : u"\r"_s;
    QKeyEvent repeat(QEvent::KeyPress, key, Qt::NoModifier, text, true);
    QApplication::sendEvent(QApplication::focusWidget() ? QApplication::focusWidget() : &w.form, &repeat);
    QCOMPARE(w.run.pressCount, 1);
    pressKey(Qt::Key(key));
    QCOMPARE(w.run.pressCount, 2);
    if (target == stage) {
        QCOMPARE(w.form.stageWindow().view().winnerCount(), 2);
        QTest::keyClick(stage, Qt::Key_Escape);
        QVERIFY(!w.form.stageWindow().isOpen() && stage->isHidden());
    }
}

void TestDrawRun::keysDoNothingWhileStartDisabled()
{
    ProgramDir dir;
    dir.writeEntries(listFile, 1, 12);
    Window w(dir.path());
    QVERIFY(w.showActive());
    WaitRecorder waits(w);
    // Before any preparation: disabled, and not even "未设置摇奖参数！" shows.
    for (const QString &name : {u"winnerListBox"_s, u"startButton"_s, u"drawCountBox"_s}) {
        QTest::keyClick(w.control(name), Qt::Key_Space);
        QTest::keyClick(w.control(name), Qt::Key_Return);
    }
    QTest::keyClick(&w.form, Qt::Key_Space);
    QTest::mouseClick(w.control(u"startButton"_s), Qt::LeftButton);
    QVERIFY(w.messages.shown.isEmpty());
    QVERIFY(waits.waits.isEmpty());
    // Called some other way, the start refuses an empty table.
    w.form.startDraw();
    QCOMPARE(w.messages.texts(), QStringList{u"未设置摇奖参数！"_s});
    w.messages.shown.clear();

    confirm(w, u"3"_s);
    // During the run the keys reach a disabled button.
    int tries = 0;
    waits.atWait = [&](int i) {
        if (i % 50 != 3)
            return;
        ++tries;
        pressKey(Qt::Key_Space);
        QTest::keyClick(w.control(u"winnerListBox"_s), Qt::Key_Return);
        QTest::keyClick(w.control(u"startButton"_s), Qt::Key_Space);
        QTest::keyClick(&w.form, Qt::Key_Space);
        QTest::mouseClick(w.control(u"startButton"_s), Qt::LeftButton);
        w.form.startDraw();
    };
    pressKey(Qt::Key_Space);
    waits.note();
    QVERIFY(tries > 3);
    QCOMPARE(w.run.winnerList.size(), 3);
    QCOMPARE(waits.captions().last(), u"摇号结束"_s);
    QCOMPARE(TestSupport::readBytes(dir.filePath(resultName(QTime(9, 30, 7)))),
             resultBytes(w.run.drawOrder, 1, 3));
}

void TestDrawRun::noOverlapDuringRun()
{
    ProgramDir dir;
    Window w(dir.path());
    int settingsOpened = 0;
    w.form.setAdvancedSettingsHandler([&] { ++settingsOpened; });
    prepare(w, dir, 3);
    const QList<int> order = w.run.drawOrder;
    const QByteArray settingsBefore = dir.settingsBytes();
    bool tried = false;
    WaitRecorder waits(w);
    waits.atWait = [&](int i) {
        if (tried || w.run.winnerList.size() != 1 || waits.waits[i].milliseconds != 100)
            return;
        tried = true;
        QVERIFY(w.form.isRunning());
        QTest::mouseClick(w.label(u"openPanelTab"_s), Qt::LeftButton);
        QVERIFY(!w.control(u"quickSettingsPanel"_s)->isHidden());
        w.control<QLineEdit>(u"drawCountBox"_s)->setText(u"1"_s);
        QTest::mouseClick(w.control(u"confirmButton"_s), Qt::LeftButton);
        QTest::mouseClick(w.label(u"advancedSettingsLink"_s), Qt::LeftButton);
        w.form.startDraw();
    };
    pressKey(Qt::Key_Space);
    waits.note();
    QVERIFY(tried);
    QCOMPARE(settingsOpened, 0);
    QCOMPARE(w.messages.texts(), QStringList{u"设置完成！"_s});
    QCOMPARE(dir.settingsBytes(), settingsBefore);
    QCOMPARE(w.settings.drawCount, 3);
    QCOMPARE(w.run.drawOrder, order);
    QCOMPARE(w.run.winnerList.size(), 3);
    QCOMPARE(waits.captions(), (QStringList{u"正在摇号(1/3)..."_s, u"正在摇号(2/3)..."_s,
                                            u"正在摇号(3/3)..."_s, u"摇号结束"_s}));
    QCOMPARE(TestSupport::readBytes(dir.filePath(resultName(QTime(9, 30, 7)))), resultBytes(order, 1, 3));

    // Once the run is over, both work again.
    QTest::mouseClick(w.label(u"advancedSettingsLink"_s), Qt::LeftButton);
    QCOMPARE(settingsOpened, 1);
    w.messages.answers = {MessageBoxes::Answer::Yes};
    QTest::mouseClick(w.control(u"confirmButton"_s), Qt::LeftButton);
    // The shipped settings keep the run's winners out of the next one.
    QCOMPARE(w.messages.texts().last(), u"设置完成！\r\n本次活动已中奖的 3 人不再参与。"_s);
    QCOMPARE(w.run.drawOrder.size(), 3);
    for (int e : order)
        QVERIFY(!w.run.drawOrder.contains(e));
}

void TestDrawRun::closingTheWindowDuringRun_data()
{
    // Each winner: 5 rolling waits, 160 of the flash, 5 of the pause; then 280 of the closing text.
    QTest::addColumn<int>("onePerPress");
    QTest::addColumn<int>("closeAt");
    QTest::addColumn<int>("recorded");
    QTest::newRow("rolling the second winner") << 0 << 170 + 2 << 1;
    QTest::newRow("flashing the second winner") << 0 << 170 + 5 + 30 << 2;
    QTest::newRow("pause after the second winner") << 0 << 170 + 165 + 1 << 2;
    QTest::newRow("closing text") << 0 << 3 * 170 + 10 << 3;
    QTest::newRow("one per press, rolling the first") << 1 << 3 << 0;
}

void TestDrawRun::closingTheWindowDuringRun()
{
    QFETCH(int, onePerPress);
    QFETCH(int, closeAt);
    QFETCH(int, recorded);
    ProgramDir dir({{u"滚动个数随机小"_s, u"5"_s}, {u"滚动个数随机大"_s, u"5"_s}, {u"滚动速度"_s, u"1"_s},
                    {u"每点一次出一号标志"_s, QString::number(onePerPress)}});
    Window w(dir.path());
    prepare(w, dir, 3);
    const QList<int> order = w.run.drawOrder;
    bool closed = true;
    WaitRecorder waits(w);
    waits.atWait = [&](int i) {
        if (i == closeAt)
            closed = w.form.close();
    };
    pressKey(Qt::Key_Space);
    // The close waited for the run, which passed its remaining steps without a wait.
    QVERIFY(!closed);
    QCOMPARE(waits.waits.size(), closeAt + 1);
    QVERIFY(!w.form.isVisible());
    QVERIFY(!w.form.isRunning());
    QVERIFY(!DrawWaits::waitsCancelled());
    QVERIFY(!w.control(u"startButton"_s)->isEnabled());
    QCOMPARE(w.run.winnerList.size(), recorded);
    QCOMPARE(w.control<QPlainTextEdit>(u"winnerListBox"_s)->toPlainText(), listText(order, recorded));
    QCOMPARE(TestSupport::readBytes(dir.filePath(resultName(QTime(9, 30, 7)))), resultBytes(order, 1, recorded));
    QCOMPARE(resultFiles(dir).size(), recorded > 0 ? 1 : 0);
}

void TestDrawRun::resultFileFailure_data()
{
    QTest::addColumn<int>("onePerPress");
    QTest::addColumn<int>("presses");
    QTest::newRow("continuous") << 0 << 1;
    QTest::newRow("one per press") << 1 << 3;
}

void TestDrawRun::resultFileFailure()
{
    QFETCH(int, onePerPress);
    QFETCH(int, presses);
    ProgramDir dir({{u"每点一次出一号标志"_s, QString::number(onePerPress)}});
    Window w(dir.path());
    prepare(w, dir, 3);
    const QList<int> order = w.run.drawOrder;
    // A folder where the result file should be.
    const QString blocked = dir.filePath(resultName(QTime(9, 30, 7)));
    QVERIFY(QDir().mkdir(blocked));
    WaitRecorder waits(w);
    for (int p = 0; p < presses; ++p)
        pressKey(Qt::Key_Space);
    waits.note();

    QCOMPARE(w.messages.shown.size(), 2);
    QCOMPARE(w.messages.shown[1].kind, Kind::Error);
    QVERIFY2(w.messages.shown[1].text.contains(QDir::toNativeSeparators(blocked)),
             qPrintable(w.messages.shown[1].text));
    // The run went on and every winner stays shown.
    QCOMPARE(w.run.winnerList.size(), 3);
    QCOMPARE(w.control<QPlainTextEdit>(u"winnerListBox"_s)->toPlainText(), listText(order, 3));
    QCOMPARE(waits.captions().last(), u"摇号结束"_s);
    QCOMPARE(w.run.unwrittenResultLines.size(), 3);

    // The next run, once the folder is gone, writes the kept lines to their own file.
    QVERIFY(QDir().rmdir(blocked));
    w.now = QDateTime(QDate(2024, 3, 15), QTime(9, 45, 0));
    w.messages.answers = {MessageBoxes::Answer::Yes};
    confirm(w, u"2"_s);
    const QList<int> next = w.run.drawOrder;
    for (int p = 0; p < (onePerPress ? 2 : 1); ++p)
        pressKey(Qt::Key_Space);
    QCOMPARE(w.messages.shown.size(), 4); // the question and 设置完成！, no new error
    QCOMPARE(TestSupport::readBytes(blocked), resultBytes(order, 1, 3));
    QCOMPARE(TestSupport::readBytes(dir.filePath(resultName(QTime(9, 45, 0)))), resultBytes(next, 1, 2));
    QVERIFY(w.run.unwrittenResultLines.isEmpty());
}

void TestDrawRun::closingWithWaitingLines_data()
{
    QTest::addColumn<QList<int>>("choices"); // 重试, 另存为…, 不保存，直接关闭, 取消
    QTest::addColumn<bool>("unblocked");    // the folder in the way is gone before the choice
    QTest::addColumn<QString>("savedAs");   // "" when the save dialog is cancelled
    QTest::addColumn<bool>("closes");
    QTest::newRow("Esc keeps the window") << QList<int>{3} << false << QString() << false;
    QTest::newRow("retried once the file can be written") << QList<int>{0} << true << QString() << true;
    QTest::newRow("retried in vain, then closed without") << QList<int>{0, 2} << false << QString() << true;
    QTest::newRow("saved where the organiser chose") << QList<int>{1} << false << u"另存.txt"_s << true;
    QTest::newRow("save dialog cancelled, then 取消") << QList<int>{1, 3} << false << QString() << false;
}

// Three winners whose result file cannot be written; the window is closed.
void TestDrawRun::closingWithWaitingLines()
{
    QFETCH(QList<int>, choices);
    QFETCH(bool, unblocked);
    QFETCH(QString, savedAs);
    QFETCH(bool, closes);
    ProgramDir dir;
    Window w(dir.path());
    prepare(w, dir, 3);
    const QList<int> order = w.run.drawOrder;
    const QString blocked = dir.filePath(resultName(QTime(9, 30, 7)));
    QVERIFY(QDir().mkdir(blocked));
    WaitRecorder waits(w);
    pressKey(Qt::Key_Space);
    QCOMPARE(w.run.unwrittenResultLines.size(), 3);
    if (unblocked)
        QVERIFY(QDir().rmdir(blocked));
    w.messages.shown.clear();
    w.messages.choices = choices;
    w.form.closingCheck().chooseFile = [&](QWidget *, const QString &) {
        return savedAs.isEmpty() ? QString() : dir.filePath(savedAs);
    };

    QCOMPARE(w.form.close(), closes);
    QCOMPARE(w.messages.shown.size(), choices.size());
    QCOMPARE(w.messages.shown.first().kind, Kind::Choice);
    QCOMPARE(w.messages.shown.first().text, u"还有 3 名中奖者未能写入结果文件“%1”，关闭程序将丢失这些结果。"_s
                                                .arg(QDir::toNativeSeparators(blocked)));
    if (unblocked)
        QCOMPARE(TestSupport::readBytes(blocked), resultBytes(order, 1, 3));
    if (!savedAs.isEmpty()) {
        QString saved;
        for (int i = 0; i < 3; ++i)
            saved += resultName(QTime(9, 30, 7)) + u'\t' + entryLine(order[i]) + u"\r\n"_s;
        QCOMPARE(TestSupport::readBytes(dir.filePath(savedAs)), TestSupport::gbk(saved));
    }
}

void TestDrawRun::absentWinnerRedrawn_data()
{
    QTest::addColumn<int>("entries");
    QTest::addColumn<int>("presses"); // of a one-per-press run of 3
    QTest::addColumn<bool>("yes");
    QTest::addColumn<QString>("said"); // after the question; empty when nothing is asked
    QTest::addColumn<bool>("redrawn");

    const QString question = u"A%1 名%1 部%1 不在场，为其补抽一名？"_s;
    QTest::newRow("finished, Yes") << 12 << 3 << true << question << true;
    QTest::newRow("finished, No") << 12 << 3 << false << question << false;
    QTest::newRow("nobody left") << 3 << 3 << true << question + u"|已没有可以补抽的人。"_s << false;
    QTest::newRow("run not finished") << 12 << 2 << true << QString() << false;
}

// A double-click on the second winner's line after a run of three in one-per-press mode; the
// fourth entry won in an earlier run of the event.
void TestDrawRun::absentWinnerRedrawn()
{
    QFETCH(int, entries);
    QFETCH(int, presses);
    QFETCH(bool, yes);
    QFETCH(QString, said);
    QFETCH(bool, redrawn);
    ProgramDir dir({{u"每点一次出一号标志"_s, u"1"_s}, {u"中奖者不再参与"_s, u"0"_s}});
    Window w(dir.path());
    prepare(w, dir, 3);
    dir.writeEntries(listFile, 1, entries);
    confirm(w, u"3"_s);
    const QList<int> order = w.run.drawOrder;
    TestSupport::writeBytes(dir.filePath(u"出号结果20240101_120000.txt"_s), TestSupport::gbk(entryLine(4) + u"\r\n"_s));
    WaitRecorder waits(w);
    for (int p = 0; p < presses; ++p)
        pressKey(Qt::Key_Space);
    auto *list = w.control<QPlainTextEdit>(u"winnerListBox"_s);
    const QString listBefore = list->toPlainText();
    const QByteArray fileBefore = TestSupport::readBytes(dir.filePath(resultName(QTime(9, 30, 7))));
    w.form.toggleStage(); // opened after the run: it catches up
    QCOMPARE(w.form.stageWindow().view().winnerCount(), presses);
    w.messages.shown.clear();
    w.messages.answers = {yes ? MessageBoxes::Answer::Yes : MessageBoxes::Answer::No};
    const qsizetype waitsBefore = waits.waits.size();

    QTextCursor line(list->document()->findBlockByNumber(3)); // heading, heading, winner 1, winner 2
    QTest::mouseDClick(list->viewport(), Qt::LeftButton, {}, list->cursorRect(line).center());
    QCOMPARE(w.messages.texts().join(u'|'), said.isEmpty() ? QString() : said.arg(order[1]));
    // A stray double-click and Enter redraws nothing.
    if (!said.isEmpty())
        QCOMPARE(w.messages.shown.first().defaultAnswer, MessageBoxes::Answer::No);
    QCOMPARE(w.run.winnerList.size(), presses + (redrawn ? 1 : 0));
    if (!redrawn) {
        QCOMPARE(list->toPlainText(), listBefore);
        QCOMPARE(TestSupport::readBytes(dir.filePath(resultName(QTime(9, 30, 7)))), fileBefore);
        QVERIFY(w.run.absentWinners.isEmpty());
        return;
    }
    // Never an earlier winner of the event nor one of this run, the absent one included.
    const EntryRecord replacement = w.run.winnerList.last();
    for (int e : {4, order[0], order[1], order[2]})
        QVERIFY(replacement.column1 != u"A%1"_s.arg(e));
    QCOMPARE(TestSupport::readBytes(dir.filePath(resultName(QTime(9, 30, 7)))),
             fileBefore + TestSupport::gbk(replacement.column1 + u'\t' + replacement.column2 + u'\t'
                                           + replacement.column3 + u"\r\n"_s));
    const QStringList lines = listText(order, 3).split(u'\n');
    QCOMPARE(list->toPlainText(), (lines.mid(0, 3) + QStringList{lines[3] + u" （缺席）"_s, lines[4],
                                   u"[4]   "_s + replacement.column1 + u' ' + replacement.column2 + u' '
                                       + replacement.column3}).join(u'\n'));
    QCOMPARE(w.label(u"statusLabel(2)"_s)->text(), u"已出结果:3/3"_s);
    QCOMPARE(w.form.stageWindow().view().winnerCount(), 4);
    QCOMPARE(w.form.stageWindow().view().absentCount(), 1);
    // Asked over the stage, which covers the only screen.
    for (const auto &box : std::as_const(w.messages.shown))
        QCOMPARE(box.parent, &w.form.stageWindow().view());
    // On disk as well: the file's second line was absent, its fourth took the prize.
    const QString file = resultName(QTime(9, 30, 7));
    QCOMPARE(readAbsences(dir.path()), (QList<Absence>{{file, 2, file, 4}}));
    grab(w.form, u"absent-winner"_s);
    // Rolled and flashed like any winner.
    QVERIFY(waits.waits.size() - waitsBefore >= w.settings.rollCountMin + 2 * 8);
    // Marked once: the line cannot be redrawn a second time.
    w.messages.shown.clear();
    w.form.drawProcedure().redrawAbsentWinner(2);
    QVERIFY(w.messages.shown.isEmpty());
}

// A verifiable draw of 3 of 25 with the random numbers of RFC 3797's example: refused while the
// VIP list names anyone; the numbers cancelled, then given after a restart on the same record;
// an absent winner replaced by the next selection; the record checks out.
void TestDrawRun::verifiableDraw()
{
    ProgramDir dir({{u"可验证摇号"_s, u"1"_s}});
    dir.writeEntries(listFile, 1, 25);
    const QString vip = dir.filePath(u"GoodLuck.txt"_s);
    TestSupport::writeBytes(vip, TestSupport::gbk(u"1#*#A3\t名3\t部3\r\n"_s));
    QString record;
    {
        Window w(dir.path());
        QVERIFY(w.showActive());
        confirm(w, u"3"_s);
        QCOMPARE(w.messages.texts(), QStringList{u"可验证摇号不能预先安排中奖者，请先清空VIP名单（%1 中有 1 行）。"_s
                                                     .arg(QDir::toNativeSeparators(vip))});
        QVERIFY(!w.control<QPushButton>(u"startButton"_s)->isEnabled());
        TestSupport::writeBytes(vip, "");
        w.messages.shown.clear();
        confirm(w, u"3"_s);
        record = w.run.verifiable.recordFile();
        QVERIFY(w.messages.texts().value(0).contains(w.run.verifiable.poolSha256().mid(32, 4)));
        grab(w.form, u"verifiable-confirmed"_s);
        w.form.setRandomInputHandler([] { return std::nullopt; });
        pressKey(Qt::Key_Space);
        QVERIFY(w.run.winnerList.isEmpty());
    }
    Window w(dir.path());
    QVERIFY(w.showActive());
    w.messages.answers = {MessageBoxes::Answer::Yes};
    confirm(w, u"3"_s);
    QCOMPARE(w.run.verifiable.recordFile(), record);
    w.form.setRandomInputHandler([] { return QStringList{u"9319"_s, u"2 5 12 8 10"_s, u"9 18 26 34 41 45"_s}; });
    WaitRecorder waits(w);
    pressKey(Qt::Key_Space);
    w.messages.answers = {MessageBoxes::Answer::Yes};
    w.form.drawProcedure().redrawAbsentWinner(2);
    QStringList shown;
    for (const EntryRecord &r : std::as_const(w.run.winnerList))
        shown.append(r.column1);
    QCOMPARE(shown, (QStringList{u"A17"_s, u"A7"_s, u"A2"_s, u"A16"_s}));
    const VerificationResult check = verifyRecord(record);
    QCOMPARE(check.status, 0);
    QVERIFY(check.lines.contains(u"2\t7\t"_s + entryLine(7) + u"\t（缺席）"_s));
}

void TestDrawRun::verifiableDrawContinued_data()
{
    using A = MessageBoxes::Answer;
    QTest::addColumn<QList<A>>("answers");
    QTest::addColumn<QString>("listFile"); // what happens to the list file after the crash
    QTest::addColumn<QString>("asked");    // in the first question
    QTest::addColumn<int>("records");      // after the confirmation; 0: the start stays disabled

    QTest::newRow("continued") << QList<A>{A::Yes} << QString() << u"已揭晓 1 个"_s << 1;
    QTest::newRow("declined, no new draw") << QList<A>{A::No, A::No} << QString() << u"已揭晓 1 个"_s << 0;
    QTest::newRow("declined, a new draw") << QList<A>{A::No, A::Yes} << QString() << u"已揭晓 1 个"_s << 2;
    QTest::newRow("list file gone") << QList<A>{} << u"removed"_s << u"不存在"_s << 0;
    QTest::newRow("list file changed") << QList<A>{A::Yes} << u"edited"_s << u"SHA256不一致"_s << 2;
}

// One press of a verifiable draw of 3 showed A17; the program died while rolling towards the
// second winner, whose 中奖2 line was written. After a restart the confirmation offers to go on.
void TestDrawRun::verifiableDrawContinued()
{
    QFETCH(QList<MessageBoxes::Answer>, answers);
    QFETCH(QString, listFile);
    QFETCH(QString, asked);
    QFETCH(int, records);

    ProgramDir dir({{u"可验证摇号"_s, u"1"_s}, {u"每点一次出一号标志"_s, u"1"_s}});
    dir.writeEntries(MainWindowFixture::listFile, 1, 25);
    const QStringList sources{u"9319"_s, u"2 5 12 8 10"_s, u"9 18 26 34 41 45"_s};
    QString record, pool;
    {
        Window w(dir.path());
        QVERIFY(w.showActive());
        confirm(w, u"3"_s);
        w.form.setRandomInputHandler([&] { return sources; });
        pressKey(Qt::Key_Space);
        QCOMPARE(w.run.winnerList.size(), 1);
        QCOMPARE(w.run.verifiable.selectNext(), 7);
        record = w.run.verifiable.recordFile();
        pool = w.run.verifiable.poolFile();
    }
    if (listFile == u"removed"_s)
        QVERIFY(QFile::remove(pool));
    else if (listFile == u"edited"_s)
        TestSupport::writeBytes(pool, TestSupport::readBytes(pool).replace("A9\t", "A99\t"));
    const QByteArray recordBefore = TestSupport::readBytes(record);

    Window w(dir.path());
    w.now = w.now.addSecs(600);
    QVERIFY(w.showActive());
    w.messages.answers = answers;
    confirm(w, u"5"_s);
    QVERIFY2(w.messages.texts().value(0).contains(asked), qPrintable(w.messages.texts().value(0)));
    // Yes goes on with the same draw; a new draw in its place is only ever a deliberate No, Yes.
    const auto defaults = [&] {
        QList<MessageBoxes::Answer> d;
        for (const auto &box : std::as_const(w.messages.shown))
            d.append(box.defaultAnswer);
        return d;
    }();
    QCOMPARE(defaults.value(0), listFile.isEmpty() ? MessageBoxes::Answer::Yes : MessageBoxes::Answer::No);
    if (answers.value(0) == MessageBoxes::Answer::No)
        QCOMPARE(defaults.value(1), MessageBoxes::Answer::No);
    QCOMPARE(QDir(dir.path()).entryList({u"摇号记录*"_s}).size(), records == 0 ? 1 : records);
    QCOMPARE(w.control<QPushButton>(u"startButton"_s)->isEnabled(), records > 0);
    if (records != 1) {
        QCOMPARE(TestSupport::readBytes(record), recordBefore);
        return;
    }

    // The recorded second winner first, then the third of the sequence; nothing typed again.
    QCOMPARE(w.control<QLineEdit>(u"drawCountBox"_s)->text(), u"2"_s);
    w.form.setRandomInputHandler([] { return std::nullopt; });
    pressKey(Qt::Key_Space);
    pressKey(Qt::Key_Space);
    QStringList shown;
    for (const EntryRecord &r : std::as_const(w.run.winnerList))
        shown.append(r.column1);
    QCOMPARE(shown, (QStringList{u"A7"_s, u"A2"_s}));
    QStringList onDisk;
    for (const QString &name : resultFiles(dir))
        onDisk += TextCodec::decode(TestSupport::readBytes(dir.filePath(name))).text.split(u"\r\n"_s, Qt::SkipEmptyParts);
    QCOMPARE(onDisk, (QStringList{entryLine(17), entryLine(7), entryLine(2)}));
    QCOMPARE(verifyRecord(record).status, 0);
    QVERIFY(!findInterruptedDraw(dir.path() + u'/', u"\t"_s));
}

void TestDrawRun::digestDigitsBreakInHalves_data()
{
    QTest::addColumn<QString>("family");
    QTest::addColumn<int>("width");
    for (const QString &family : {u"黑体"_s, u"DejaVu Sans Mono"_s, u"DejaVu Serif"_s}) {
        for (int width : {280, 420, 560, 900})
            QTest::addRow("%s, %d px", qPrintable(family), width) << family << width;
    }
}

// The large digits read out at confirmation wrap only between their two halves, whatever the
// face's digit widths and the room the message box gives them.
void TestDrawRun::digestDigitsBreakInHalves()
{
    QFETCH(QString, family);
    QFETCH(int, width);
    const QString digest = u"0123456789abcdef0123456789abcdef0123456789abcdef0123456789abcdef"_s;
    QTextDocument document;
    document.setDefaultFont(QFont(family, 9));
    document.setHtml(poolFixedMessage(25, 3, digest, u"摇号名单.txt"_s));
    document.setTextWidth(width);
    QVERIFY(document.size().width() > 0); // lays the text out
    QTextBlock block = document.begin();
    while (block.isValid() && !block.text().startsWith(u"0123"_s))
        block = block.next();
    QVERIFY(block.isValid());
    QStringList lines;
    for (int i = 0; i < block.layout()->lineCount(); ++i) {
        const QTextLine line = block.layout()->lineAt(i);
        lines.append(block.text().mid(line.textStart(), line.textLength()).replace(QChar::Nbsp, u' ').trimmed());
    }
    const QStringList whole{u"0123 4567 89ab cdef"_s}, halves{u"0123 4567"_s, u"89ab cdef"_s};
    QVERIFY2(lines == whole || lines == halves, qPrintable(lines.join(u" | "_s)));
}

// The stage covers the only screen: the random-number dialog and the questions of the draw open
// over it, and afterwards the stage, not the main window, is in front.
void TestDrawRun::dialogsOverTheStageOnOneScreen()
{
    ProgramDir dir({{u"可验证摇号"_s, u"1"_s}});
    dir.writeEntries(listFile, 1, 25);
    Window w(dir.path());
    QVERIFY(w.showActive());
    confirm(w, u"3"_s);
    QWidget *stage = &w.form.stageWindow().view();
    pressKey(Qt::Key_F5);
    QVERIFY(QTest::qWaitForWindowActive(stage));
    QWidget *dialogParent = nullptr;
    QTimer::singleShot(0, [&] {
        QWidget *dialog = QApplication::activeModalWidget();
        QVERIFY(dialog);
        dialogParent = dialog->parentWidget();
        dialog->findChild<QPlainTextEdit *>(u"numbersBox"_s)->setPlainText(u"9319\n2 5 12 8 10\n9 18 26 34 41 45"_s);
        QTest::mouseClick(dialog->findChild<QPushButton *>(u"okButton"_s), Qt::LeftButton);
    });
    WaitRecorder waits(w);
    QTest::keyClick(stage, Qt::Key_Space);
    QCOMPARE(dialogParent, stage);
    QCOMPARE(w.run.winnerList.size(), 3);
    QTRY_COMPARE(QApplication::activeWindow(), stage);

    // The main window coming forward goes behind the stage again.
    w.form.activateWindow();
    QTRY_COMPARE(QApplication::activeWindow(), stage);
    w.messages.answers = {MessageBoxes::Answer::No};
    w.form.drawProcedure().redrawAbsentWinner(2);
    QCOMPARE(w.messages.shown.last().parent, stage);
    // Closed, the stage gives the dialogs back to the main window.
    QTest::keyClick(stage, Qt::Key_Escape);
    w.messages.answers = {MessageBoxes::Answer::No};
    w.form.drawProcedure().redrawAbsentWinner(2);
    QCOMPARE(w.messages.shown.last().parent, &w.form);
}

ZOP_MAIN_WINDOW_TEST_MAIN(TestDrawRun)
#include "tst_DrawRun.moc"
