#include "MainWindowFixture.h"
#include "draw/DrawRandom.h"
#include "draw/RunData.h"
#include "settings/Settings.h"
#include "support/ScriptedMessageBoxes.h"
#include "support/TestSupport.h"
#include "ui/common/CaptionLabel.h"
#include "ui/common/Fonts.h"
#include "ui/common/PictureBox.h"
#include "ui/common/Twips.h"
#include "ui/common/WidgetColours.h"
#include "ui/main/MainWindow.h"

#include <QApplication>
#include <QDir>
#include <QGroupBox>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRegularExpression>
#include <QScreen>
#include <QStringDecoder>
#include <QTemporaryDir>
#include <QTextBlock>
#include <QTest>
#include <QTimer>

using namespace Qt::StringLiterals;
using namespace MainWindowFixture;

namespace {

void fillTable(EntryTable &table, int count)
{
    table.clear();
    for (int i = 1; i <= count; ++i)
        table.append(u"A%1"_s.arg(i), u"名%1"_s.arg(i), u"部%1"_s.arg(i));
}

QStringList rollLines(CaptionLabel *list)
{
    QStringList lines = list->text().split(u"\r\n"_s);
    if (!lines.isEmpty() && lines.last().isEmpty())
        lines.removeLast();
    return lines;
}

QList<int> entryNumbers(CaptionLabel *list)
{
    QList<int> numbers;
    for (const QString &line : rollLines(list))
        numbers.append(line.section(u' ', 0, 0).mid(1).toInt());
    return numbers;
}

QList<int> expectedNumbers(int first, int count)
{
    QList<int> numbers;
    for (int k = 0; k < 20; ++k)
        numbers.append((first - 1 + k) % count + 1);
    return numbers;
}

} // namespace

class TestMainWindow : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();

    void startUpState();
    void missingSettingsFile_data();
    void missingSettingsFile();
    void statusLineFollowsTheData();
    void columnVisibility_data();
    void columnVisibility();
    void stackingAndPlaces_data();
    void stackingAndPlaces();
    void tabOrderSkipsDisabledButton();
    void collapseAndExpand();

    void fontSizesApplied_data();
    void fontSizesApplied();
    void captionsFitTheirLabels();

    void rollListRunsThroughFiveEntries();
    void rollListOfOneEntry();
    void rollListOfEmptyTableKeepsLabel();
    void rollListCounterResetsAfterReloadWithFewerEntries();
    void rollListStartsAndStops_data();
    void rollListStartsAndStops();

    void winnerListInTheBox_data();
    void winnerListInTheBox();
    void winnerListOfADozen_data();
    void winnerListOfADozen();
    void rollingEntryShownInRows();
};

void TestMainWindow::initTestCase()
{
    Fonts::installSubstitutions();
    QApplication::setStyle(u"Fusion"_s);
}

void TestMainWindow::startUpState()
{
    ProgramDir dir;
    Window w(dir.path());
    grab(w.form, u"startup"_s);

    QCOMPARE(w.form.windowTitle(), u"ZOP摇号 V:1.22"_s);
    QCOMPARE(w.form.size(), QSize(948, 629)); // 14220 x 9435 twips
    QCOMPARE(w.messages.shown.size(), 0);
    QVERIFY(!w.form.windowIcon().isNull());

    auto *start = w.control<QPushButton>(u"startButton"_s);
    QVERIFY(!start->isEnabled());
    QCOMPARE(start->text(), u"开始"_s);
    QCOMPARE(start->toolTip(), u"空格键开始"_s);

    // The panel is open and covers its tab.
    QVERIFY(!w.control(u"quickSettingsPanel"_s)->isHidden());
    QVERIFY(!w.label(u"openPanelTab"_s)->isHidden());
    QVERIFY(w.control(u"quickSettingsPanel"_s)->isAncestorOf(w.at(240 + 187, 7080 + 667)));

    QCOMPARE(w.label(u"statusLabel(0)"_s)->text(), u"数据文件:测试数据.txt"_s);
    QCOMPARE(w.label(u"statusLabel(1)"_s)->text(), u"记录条数:0"_s);
    QCOMPARE(w.label(u"statusLabel(2)"_s)->text(), u"已出结果:0/5"_s);
    QCOMPARE(w.control<QLineEdit>(u"drawCountBox"_s)->text(), u"5"_s);
    QCOMPARE(w.control<QLineEdit>(u"dataFileBox"_s)->text(), u"测试数据.txt"_s);

    QCOMPARE(w.label(u"titleLabel(0)"_s)->text(), u"欢迎使用ZOP摇号工具"_s);
    QCOMPARE(w.label(u"titleLabel(1)"_s)->text(), u"欢迎使用ZOP摇号工具"_s);
    QVERIFY(w.control<QPlainTextEdit>(u"winnerListBox"_s)->toPlainText().isEmpty());
    QVERIFY(w.control<QPlainTextEdit>(u"winnerListBox"_s)->isReadOnly());
    QVERIFY(!w.control<QTimer>(u"rollListTimer"_s)->isActive());
    QVERIFY(w.label(u"rollList"_s)->isHidden());
    for (int k = 1; k <= 3; ++k)
        QVERIFY(w.label(u"rollingRow(%1)"_s.arg(k))->text().isEmpty());
    QVERIFY(!w.control(u"widthHandle(0)"_s)->isHidden());
    QVERIFY(w.control(u"widthHandle(1)"_s)->isHidden());
    QCOMPARE(w.form.focusWidget(), w.control(u"drawCountBox"_s));
    QCOMPARE(w.run.entryTable.entryCount(), 0);

    for (const QString &name : {u"openPanelTab"_s, u"closePanelTab"_s, u"advancedSettingsLink"_s, u"widthHandle(0)"_s, u"widthHandle(1)"_s})
        QCOMPARE(w.control(name)->cursor().shape(), Qt::PointingHandCursor);
    const QPoint screenCentre = w.form.screen()->availableGeometry().center();
    QVERIFY((w.form.geometry().center() - screenCentre).manhattanLength() <= 2);
}

void TestMainWindow::statusLineFollowsTheData()
{
    ProgramDir dir;
    Window w(dir.path());
    fillTable(w.run.entryTable, 320);
    for (int i = 1; i <= 3; ++i)
        w.run.winnerList.append({u"A%1"_s.arg(i), u"名"_s, u"部"_s});
    w.settings.dataFile = u"名单.txt"_s;
    w.control<QLineEdit>(u"drawCountBox"_s)->setText(u"99"_s); // typed, not confirmed
    w.control<QLineEdit>(u"dataFileBox"_s)->setText(u"other.txt"_s);
    w.form.refreshStatus();
    QCOMPARE(w.label(u"statusLabel(0)"_s)->text(), u"数据文件:名单.txt"_s);
    QCOMPARE(w.label(u"statusLabel(1)"_s)->text(), u"记录条数:320"_s);
    QCOMPARE(w.label(u"statusLabel(2)"_s)->text(), u"已出结果:3/5"_s);
    QCOMPARE(w.control<QLineEdit>(u"drawCountBox"_s)->text(), u"5"_s);
    QCOMPARE(w.control<QLineEdit>(u"dataFileBox"_s)->text(), u"名单.txt"_s);
}

void TestMainWindow::missingSettingsFile_data()
{
    QTest::addColumn<bool>("folder");
    QTest::addColumn<QString>("message"); // %1: the settings file
    QTest::newRow("missing") << false << u"找不到设置文件，已使用默认设置。"_s;
    QTest::newRow("a folder of that name")
        << true << u"设置文件“%1”是一个文件夹，已使用默认设置。"_s;
}

void TestMainWindow::missingSettingsFile()
{
    QFETCH(bool, folder);
    QFETCH(QString, message);
    QTemporaryDir empty;
    const QString file = empty.filePath(u"ZOP摇号设置.ini"_s);
    if (folder)
        QVERIFY(QDir().mkdir(file));
    Window w(empty.path());
    QCOMPARE(w.messages.shown.size(), 1);
    QCOMPARE(w.messages.shown[0].kind, ScriptedMessageBoxes::Kind::Error);
    if (folder)
        message = message.arg(QDir::toNativeSeparators(file));
    QCOMPARE(w.messages.shown[0].text, message);
    QCOMPARE(w.label(u"titleLabel(0)"_s)->text(), u"欢迎使用ZOP摇号工具"_s);
    QCOMPARE(w.label(u"statusLabel(2)"_s)->text(), u"已出结果:0/5"_s);
    QCOMPARE(w.settings.fieldSeparator, u"\t"_s);
    QCOMPARE(TestSupport::folderEntries(empty.path()),
             folder ? QStringList{u"ZOP摇号设置.ini"_s} : QStringList());
}

void TestMainWindow::columnVisibility_data()
{
    QTest::addColumn<QString>("a");
    QTest::addColumn<QString>("b");
    QTest::addColumn<QString>("c");
    QTest::addColumn<QList<bool>>("shown");
    QTest::newRow("all three") << u"1"_s << u"1"_s << u"1"_s << QList<bool>{true, true, true};
    QTest::newRow("second off") << u"1"_s << u"0"_s << u"1"_s << QList<bool>{true, false, true};
    QTest::newRow("2 is not 1") << u"2"_s << u"1"_s << u"1"_s << QList<bool>{false, true, true};
    QTest::newRow("-1 and text") << u"1"_s << u"-1"_s << u"yes"_s << QList<bool>{true, false, true};
    QTest::newRow("none") << u"0"_s << u"0"_s << u"0"_s << QList<bool>{false, false, false};
}

void TestMainWindow::columnVisibility()
{
    QFETCH(QString, a);
    QFETCH(QString, b);
    QFETCH(QString, c);
    QFETCH(QList<bool>, shown);
    ProgramDir dir({{u"项A显示"_s, a}, {u"项B显示"_s, b}, {u"项C显示"_s, c}});
    Window w(dir.path());
    for (int k = 1; k <= 3; ++k)
        QCOMPARE(!w.label(u"rollingRow(%1)"_s.arg(k))->isHidden(), shown[k - 1]);

    // Changed settings take effect at the next call, and only the rows change.
    w.settings.showItemA = w.settings.showItemB = w.settings.showItemC = 1;
    w.control(u"quickSettingsPanel"_s)->hide();
    w.form.applyRowVisibility();
    for (int k = 1; k <= 3; ++k)
        QVERIFY(!w.label(u"rollingRow(%1)"_s.arg(k))->isHidden());
    QVERIFY(w.control(u"quickSettingsPanel"_s)->isHidden());
}

void TestMainWindow::stackingAndPlaces_data()
{
    QTest::addColumn<int>("left");
    QTest::addColumn<int>("top");
    QTest::addColumn<QString>("control"); // the control, or the frame holding what is there
    QTest::newRow("panel in front of the start button") << 3000 << 8000 << u"quickSettingsPanel"_s;
    QTest::newRow("start button right of the panel") << 7000 << 8000 << u"startButton"_s;
    QTest::newRow("coloured border around the display") << 180 << 3000 << u"flashPanel"_s;
    QTest::newRow("first rolling row over the backdrop") << 4000 << 1080 + 600 << u"rollingRow(1)"_s;
    QTest::newRow("third rolling row") << 4000 << 1080 + 4000 << u"rollingRow(3)"_s;
    QTest::newRow("backdrop at the display's edge") << 300 << 1200 << u"backdrop"_s;
    QTest::newRow("title in front of its shadow") << 7000 << 600 << u"titleLabel(0)"_s;
    QTest::newRow("collapse handle") << 8400 << 7600 << u"widthHandle(0)"_s;
    QTest::newRow("winner list") << 11000 << 5000 << u"winnerListBox"_s;
    QTest::newRow("status line") << 6000 << 9100 << u"statusLabel(2)"_s;
    QTest::newRow("panel's draw count box") << 240 + 2000 << 6840 + 450 << u"drawCountBox"_s;
    QTest::newRow("panel's close tab") << 240 + 100 << 6840 + 800 << u"closePanelTab"_s;
}

void TestMainWindow::stackingAndPlaces()
{
    QFETCH(int, left);
    QFETCH(int, top);
    QFETCH(QString, control);
    ProgramDir dir;
    Window w(dir.path());
    QWidget *found = w.at(left, top);
    QVERIFY(found);
    QWidget *expected = w.control(control);
    QVERIFY2(found == expected || expected->isAncestorOf(found),
             qPrintable(found->objectName() + u" / "_s + QString::fromLatin1(found->metaObject()->className())));
}

void TestMainWindow::tabOrderSkipsDisabledButton()
{
    ProgramDir dir;
    Window w(dir.path());
    w.form.show();
    w.form.activateWindow();
    QTRY_VERIFY(w.form.isActiveWindow());
    QTRY_COMPARE(QApplication::focusWidget(), w.control(u"drawCountBox"_s));

    const QStringList order = {u"dataFileBox"_s, u"confirmButton"_s, u"winnerListBox"_s, u"drawCountBox"_s};
    for (const QString &name : order) {
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
        QCOMPARE(QApplication::focusWidget()->objectName(), name);
    }
    w.control(u"startButton"_s)->setEnabled(true);
    w.control(u"confirmButton"_s)->setFocus();
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
    QCOMPARE(QApplication::focusWidget()->objectName(), u"startButton"_s);
}

void TestMainWindow::collapseAndExpand()
{
    ProgramDir dir;
    Window w(dir.path());
    w.form.show();
    auto titleWidths = [&] {
        return QList<int>{w.label(u"titleLabel(0)"_s)->width(), w.label(u"titleLabel(1)"_s)->width()};
    };
    QCOMPARE(w.form.width(), Twips::toPixels(14310 - 90));
    QCOMPARE(titleWidths(), QList<int>(2, Twips::toPixels(14310)));
    const QRect listFrame = w.control(u"winnerListFrame"_s)->geometry();

    QTest::mouseClick(w.control(u"widthHandle(0)"_s), Qt::LeftButton);
    QCOMPARE(w.form.width(), Twips::toPixels(8745 - 90));
    QCOMPARE(titleWidths(), QList<int>(2, Twips::toPixels(8415)));
    QVERIFY(w.control(u"widthHandle(0)"_s)->isHidden());
    QVERIFY(!w.control(u"widthHandle(1)"_s)->isHidden());
    // The winner list is cut off, not hidden or moved, and keeps up while out of sight.
    QVERIFY(!w.control(u"winnerListFrame"_s)->isHidden());
    QCOMPARE(w.control(u"winnerListFrame"_s)->geometry(), listFrame);
    w.run.winnerList.append({u"A1"_s, u"名1"_s, u"部1"_s});
    w.form.showWinnerList();
    grab(w.form, u"collapsed"_s);

    QTest::mouseClick(w.control(u"widthHandle(1)"_s), Qt::LeftButton);
    QCOMPARE(w.form.width(), Twips::toPixels(14310 - 90));
    QCOMPARE(titleWidths(), QList<int>(2, Twips::toPixels(14055)));
    QVERIFY(!w.control(u"widthHandle(0)"_s)->isHidden());
    QVERIFY(w.control(u"widthHandle(1)"_s)->isHidden());
    QVERIFY(w.control<QPlainTextEdit>(u"winnerListBox"_s)->toPlainText().endsWith(u"A1 名1 部1"_s));

    // A press that leaves the handle is no click.
    QTest::mousePress(w.control(u"widthHandle(0)"_s), Qt::LeftButton);
    QTest::mouseRelease(w.control(u"widthHandle(0)"_s), Qt::LeftButton, {}, QPoint(-5, -5));
    QCOMPARE(w.form.width(), Twips::toPixels(14310 - 90));
}

void TestMainWindow::fontSizesApplied_data()
{
    QTest::addColumn<int>("a");
    QTest::addColumn<int>("b");
    QTest::addColumn<int>("c");
    QTest::newRow("20 36 48") << 20 << 36 << 48;
    QTest::newRow("48 20 36") << 48 << 20 << 36;
    QTest::newRow("smallest") << 6 << 6 << 6;
}

void TestMainWindow::fontSizesApplied()
{
    QFETCH(int, a);
    QFETCH(int, b);
    QFETCH(int, c);
    ProgramDir dir({{u"字号A"_s, QString::number(a)}, {u"字号B"_s, QString::number(b)},
                    {u"字号C"_s, QString::number(c)}, {u"标题字号"_s, u"30"_s},
                    {u"结果字号"_s, u"20"_s}});
    Window w(dir.path());
    const int sizes[3] = {a, b, c};
    for (int k = 1; k <= 3; ++k) {
        CaptionLabel *row = w.label(u"rollingRow(%1)"_s.arg(k));
        QCOMPARE(row->font().pointSizeF(), double(sizes[k - 1]));
        QVERIFY(row->font().bold());
        QVERIFY2(QFontInfo(row->font()).family().contains(u"CJK"_s),
                 qPrintable(QFontInfo(row->font()).family()));
    }
    QCOMPARE(QFontInfo(w.label(u"rollingRow(1)"_s)->font()).family(), u"Noto Sans Mono CJK SC"_s);
    QCOMPARE(QFontInfo(w.label(u"rollingRow(2)"_s)->font()).family(), u"Noto Serif CJK SC"_s);
    QCOMPARE(w.label(u"titleLabel(0)"_s)->font().pointSizeF(), 30.0);
    QCOMPARE(w.label(u"titleLabel(1)"_s)->font().pointSizeF(), 30.0);
    QCOMPARE(w.control(u"winnerListBox"_s)->font().pointSizeF(), 20.0);

    // A typical entry shows whole in each row at these sizes.
    w.run.entryTable.append(u"A0123"_s, u"欧阳晓明"_s, u"市场营销部"_s);
    w.form.showRollingEntry(1);
    for (int k = 1; k <= 3; ++k)
        QVERIFY(w.label(u"rollingRow(%1)"_s.arg(k))->textFits());
    grab(w.form, u"fonts-%1-%2-%3"_s.arg(a).arg(b).arg(c));
}

void TestMainWindow::captionsFitTheirLabels()
{
    // The layout was measured for faces whose lines are one em apart; the multi-line
    // captions and the twenty-line roll list must still show whole.
    ProgramDir dir;
    Window w(dir.path());
    fillTable(w.run.entryTable, 300);
    w.run.entryTable.replace(7, {u"A0007"_s, u"司马相如"_s, u"人力资源部"_s});
    w.form.runRollList(1);
    w.form.fillRollList(0);
    w.form.runRollList(0);
    w.label(u"rollList"_s)->show();
    QCOMPARE(rollLines(w.label(u"rollList"_s)).size(), 20);
    const QStringList names = {u"openPanelTab"_s, u"closePanelTab"_s, u"advancedSettingsLink"_s, u"panelCaption(0)"_s,
                               u"panelCaption(1)"_s, u"statusLabel(0)"_s, u"statusLabel(1)"_s, u"statusLabel(2)"_s,
                               u"titleLabel(0)"_s, u"rollList"_s};
    QCOMPARE(w.label(u"closePanelTab"_s)->font().pointSizeF(), 8.0);
    // Scaled for a small screen or a projector as well.
    for (double factor : {1.0, 0.75, 0.9, 1.25, 1.5}) {
        w.form.applyLayout(factor);
        for (const QString &name : names)
            QVERIFY2(w.label(name)->textFits(), qPrintable(name + u' ' + QString::number(factor)));
    }
    w.form.applyLayout(1.0);
    w.label(u"closePanelTab"_s)->parentWidget()->hide();
    grab(w.form, u"rolllist"_s);
}

void TestMainWindow::rollListRunsThroughFiveEntries()
{
    ProgramDir dir;
    Window w(dir.path());
    fillTable(w.run.entryTable, 5);
    w.form.runRollList(1);
    CaptionLabel *list = w.label(u"rollList"_s);
    for (int tick = 1; tick <= 11; ++tick) {
        w.form.advanceRollList();
        QCOMPARE(entryNumbers(list), expectedNumbers(tick % 5 + 1, 5));
    }
    QCOMPARE(rollLines(list).first(), u"A2 名2 部2"_s);
    QVERIFY(list->text().endsWith(u"A1 名1 部1\r\n"_s));
    QCOMPARE(list->text().count(u"\r\n"_s), 20);
}

void TestMainWindow::rollListOfOneEntry()
{
    ProgramDir dir;
    Window w(dir.path());
    fillTable(w.run.entryTable, 1);
    w.form.runRollList(1);
    for (int tick = 0; tick < 3; ++tick) {
        w.form.advanceRollList();
        QCOMPARE(rollLines(w.label(u"rollList"_s)), QStringList(20, u"A1 名1 部1"_s));
    }
}

void TestMainWindow::rollListOfEmptyTableKeepsLabel()
{
    ProgramDir dir;
    Window w(dir.path());
    fillTable(w.run.entryTable, 3);
    w.form.fillRollList(0);
    const QString before = w.label(u"rollList"_s)->text();
    w.run.entryTable.clear();
    w.form.advanceRollList();
    w.form.fillRollList(5);
    QCOMPARE(w.label(u"rollList"_s)->text(), before);
}

void TestMainWindow::rollListCounterResetsAfterReloadWithFewerEntries()
{
    ProgramDir dir;
    Window w(dir.path());
    fillTable(w.run.entryTable, 10);
    w.form.runRollList(1);
    for (int tick = 0; tick < 7; ++tick)
        w.form.advanceRollList();
    QCOMPARE(entryNumbers(w.label(u"rollList"_s)), expectedNumbers(8, 10));

    fillTable(w.run.entryTable, 3);
    w.form.advanceRollList(); // the counter (8) is past the table: the list wraps, the counter resets
    QCOMPARE(entryNumbers(w.label(u"rollList"_s)), expectedNumbers(1, 3));
    w.form.advanceRollList();
    QCOMPARE(entryNumbers(w.label(u"rollList"_s)), expectedNumbers(2, 3));
}

void TestMainWindow::rollListStartsAndStops_data()
{
    QTest::addColumn<int>("stopWith");
    QTest::newRow("0 stops") << 0;
    QTest::newRow("2 stops as well") << 2;
}

void TestMainWindow::rollListStartsAndStops()
{
    QFETCH(int, stopWith);
    ProgramDir dir;
    Window w(dir.path());
    fillTable(w.run.entryTable, 5);
    w.form.runRollList(1);
    QVERIFY(w.control<QTimer>(u"rollListTimer"_s)->isActive());
    QCOMPARE(w.control<QTimer>(u"rollListTimer"_s)->interval(), 100);
    QVERIFY(!w.label(u"rollList"_s)->isHidden());
    // The timer drives the list.
    QTRY_VERIFY(!w.label(u"rollList"_s)->text().isEmpty());

    w.form.runRollList(stopWith);
    QVERIFY(!w.control<QTimer>(u"rollListTimer"_s)->isActive());
    QVERIFY(w.label(u"rollList"_s)->isHidden());
}

void TestMainWindow::winnerListInTheBox_data()
{
    QTest::addColumn<QString>("heading");
    QTest::addColumn<int>("winners");
    QTest::addColumn<int>("caret"); // in the box, where a line break is one character
    QTest::newRow("two-line heading, no winner") << u"号榜\r\n====="_s << 0 << 3;
    QTest::newRow("two-line heading, 3 winners") << u"号榜\r\n====="_s << 3 << 9 + 2 * 15;
    QTest::newRow("one-line heading, no winner") << u"号榜"_s << 0 << 1;
    QTest::newRow("empty heading, no winner") << QString() << 0 << 0;
    QTest::newRow("empty heading, 1 winner") << QString() << 1 << 1;
}

void TestMainWindow::winnerListInTheBox()
{
    QFETCH(QString, heading);
    QFETCH(int, winners);
    QFETCH(int, caret);
    ProgramDir dir;
    Window w(dir.path());
    w.settings.resultTitle = heading;
    w.settings.winnerShowIndex = 1;
    w.settings.winnerColumns = 0;
    for (int i = 1; i <= winners; ++i)
        w.run.winnerList.append({u"A%1"_s.arg(i), u"名%1"_s.arg(i), u"部%1"_s.arg(i)});
    auto *box = w.control<QPlainTextEdit>(u"winnerListBox"_s);
    box->setPlainText(u"old text"_s);
    w.form.showWinnerList();

    QStringList lines = heading.split(u"\r\n"_s);
    for (int i = 1; i <= winners; ++i)
        lines.append(u"[%1]   A%1 名%1 部%1"_s.arg(i));
    QCOMPARE(box->toPlainText(), lines.join(u'\n'));
    QCOMPARE(box->textCursor().position(), caret);
    QVERIFY(!box->textCursor().hasSelection());
    QCOMPARE(w.form.focusWidget(), box);

    // The box takes no typing.
    const QString shown = box->toPlainText();
    QTest::keyClicks(box, u"xyz"_s);
    QTest::keyClick(box, Qt::Key_Backspace);
    QCOMPARE(box->toPlainText(), shown);
}

void TestMainWindow::winnerListOfADozen_data()
{
    QTest::addColumn<int>("showIndex");
    QTest::addColumn<QString>("line12");
    QTest::newRow("numbered") << 1 << u"[12]  A0012 欧阳晓明 市场营销部"_s;
    QTest::newRow("not numbered") << 0 << u"A0012 欧阳晓明 市场营销部"_s;
}

void TestMainWindow::winnerListOfADozen()
{
    QFETCH(int, showIndex);
    QFETCH(QString, line12);
    ProgramDir dir({{u"中奖名单是否显示序号"_s, QString::number(showIndex)}});
    Window w(dir.path());
    const QStringList names = {u"张伟"_s, u"王芳"_s, u"李娜"_s, u"刘洋"_s, u"陈静"_s, u"杨帆"_s,
                               u"赵磊"_s, u"黄敏"_s, u"周杰"_s, u"吴婷"_s, u"徐强"_s, u"欧阳晓明"_s};
    for (int i = 1; i <= 12; ++i)
        w.run.winnerList.append({u"A%1"_s.arg(i, 4, 10, QChar(u'0')), names[i - 1],
                                 i == 12 ? u"市场营销部"_s : u"销售部"_s});
    w.form.showWinnerList();
    auto *box = w.control<QPlainTextEdit>(u"winnerListBox"_s);
    const QStringList lines = box->toPlainText().split(u'\n');
    QCOMPARE(lines.size(), 14);
    QCOMPARE(lines[0], u"☆★☆★ 号榜 ☆★☆★"_s);
    QCOMPARE(lines[13], line12);
    QCOMPARE(box->textCursor().block().text(), line12);
    QCOMPARE(box->textCursor().positionInBlock(), 0);
    grab(w.form, u"winners-%1"_s.arg(showIndex));
}

void TestMainWindow::rollingEntryShownInRows()
{
    ProgramDir dir;
    Window w(dir.path());
    fillTable(w.run.entryTable, 4);
    w.form.showRollingEntry(4);
    QCOMPARE(w.label(u"rollingRow(1)"_s)->text(), u"A4"_s);
    QCOMPARE(w.label(u"rollingRow(2)"_s)->text(), u"名4"_s);
    QCOMPARE(w.label(u"rollingRow(3)"_s)->text(), u"部4"_s);
    w.form.showRollingEntry(5);
    w.form.showRollingEntry(0);
    QCOMPARE(w.label(u"rollingRow(1)"_s)->text(), u"A4"_s);
}

ZOP_MAIN_WINDOW_TEST_MAIN(TestMainWindow)
#include "tst_MainWindow.moc"
