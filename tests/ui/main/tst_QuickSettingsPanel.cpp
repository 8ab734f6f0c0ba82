#include "MainWindowFixture.h"
#include "settings/IniFile.h"
#include "support/TestSupport.h"
#include "ui/common/Fonts.h"

#include <QApplication>
#include <QComboBox>
#include <QDir>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTest>
#include <QTimer>

#include <algorithm>

using namespace Qt::StringLiterals;
using namespace MainWindowFixture;
using Kind = ScriptedMessageBoxes::Kind;

namespace {

// A whole continuous run of count winners, without waiting.
void runOnce(Window &w, int count)
{
    confirm(w, QString::number(count));
    WaitRecorder waits(w);
    QTest::mouseClick(w.control(u"startButton"_s), Qt::LeftButton);
    QCOMPARE(w.run.winnerList.size(), count);
}

QString stored(const ProgramDir &dir, const QString &key)
{
    return IniFile::iniReadValue(dir.filePath(u"ZOP摇号设置.ini"_s), key);
}

QList<int> sorted(QList<int> numbers)
{
    std::sort(numbers.begin(), numbers.end());
    return numbers;
}

QList<int> range(int first, int last, const QList<int> &without = {})
{
    QList<int> out;
    for (int i = first; i <= last; ++i)
        if (!without.contains(i))
            out.append(i);
    return out;
}

} // namespace

class TestQuickSettingsPanel : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();

    void drawCountAndDataFile_data();
    void drawCountAndDataFile();
    void earlierWinners_data();
    void earlierWinners();
    void closingTextRowHiddenAgain_data();
    void closingTextRowHiddenAgain();
    void rollListOnlyWhenConfigured_data();
    void rollListOnlyWhenConfigured();
    void exclusionListTakesPart();
    void earlierWinnersTakeNoPart_data();
    void earlierWinnersTakeNoPart();
    void dataFileBesideTheProgram();
    void panelOpensAndCloses();
    void prizes();
    void copiesOfResultFilesAreNoWinners();
    void prizePastItsCount_data();
    void prizePastItsCount();
    void repeatedFirstColumnIsSaid();
};

void TestQuickSettingsPanel::initTestCase()
{
    Fonts::installSubstitutions();
    QApplication::setStyle(u"Fusion"_s);
}

void TestQuickSettingsPanel::drawCountAndDataFile_data()
{
    QTest::addColumn<QString>("typed");
    QTest::addColumn<QString>("dataFile");
    QTest::addColumn<int>("drawCount"); // as used and stored
    QTest::addColumn<bool>("accepted");
    QTest::addColumn<bool>("saved"); // false: a folder stands where the settings file was
    QTest::newRow("0 counts as 5") << u"0"_s << listFile << 5 << true << true;
    QTest::newRow("100000 counts as 5") << u"100000"_s << listFile << 5 << true << true;
    QTest::newRow("12abc reads 12") << u"12abc"_s << listFile << 12 << true << true;
    QTest::newRow("equal to the entries") << u"12"_s << listFile << 12 << true << true;
    QTest::newRow("one more than the entries") << u"13"_s << listFile << 1 << false << true;
    QTest::newRow("missing data file") << u"3"_s << u"缺少.txt"_s << 1 << false << true;
    QTest::newRow("settings file not saved") << u"7"_s << listFile << 7 << true << false;
    QTest::newRow("refused, settings file not saved") << u"13"_s << listFile << 1 << false << false;
}

void TestQuickSettingsPanel::drawCountAndDataFile()
{
    QFETCH(QString, typed);
    QFETCH(QString, dataFile);
    QFETCH(int, drawCount);
    QFETCH(bool, accepted);
    QFETCH(bool, saved);
    ProgramDir dir;
    dir.writeEntries(listFile, 1, 12);
    Window w(dir.path());
    auto *start = w.control<QPushButton>(u"startButton"_s);
    // An earlier preparation left the start button enabled.
    confirm(w, u"3"_s);
    QVERIFY(start->isEnabled());
    const QList<int> earlierOrder = w.run.drawOrder;
    w.messages.shown.clear();
    const QString settingsFile = dir.filePath(u"ZOP摇号设置.ini"_s);
    if (!saved)
        QVERIFY(QFile::remove(settingsFile) && QDir().mkdir(settingsFile));

    confirm(w, typed, dataFile);
    QStringList expected{accepted ? u"设置完成！"_s : u"一次性摇出号太多"_s};
    if (!saved)
        expected.prepend(u"设置文件“"_s + QDir::toNativeSeparators(settingsFile)
                         + u"”无法保存，本次设置只在本次运行中有效。"_s);
    QCOMPARE(w.messages.texts(), expected);
    QCOMPARE(w.messages.shown[0].kind, accepted && saved ? Kind::Information : Kind::Error);
    QCOMPARE(w.settings.drawCount, drawCount);
    QCOMPARE(w.settings.dataFile, dataFile);
    if (saved) {
        QCOMPARE(stored(dir, u"一次性摇出个数"_s), QString::number(drawCount));
        QCOMPARE(stored(dir, u"数据文件"_s), dataFile);
    }
    QCOMPARE(w.control<QLineEdit>(u"drawCountBox"_s)->text(), QString::number(drawCount));
    QCOMPARE(start->isEnabled(), accepted);
    QCOMPARE(start->text(), u"开始"_s);
    QCOMPARE(w.control(u"quickSettingsPanel"_s)->isHidden(), accepted);
    QCOMPARE(w.run.entryTable.entryCount(), dataFile == listFile ? 12 : 0);

    if (accepted) {
        QCOMPARE(w.run.drawOrder.size(), drawCount);
        if (drawCount == 12)
            QCOMPARE(sorted(w.run.drawOrder), range(1, 12));
        QCOMPARE(w.label(u"statusLabel(1)"_s)->text(), u"记录条数:12"_s);
        QCOMPARE(w.label(u"statusLabel(2)"_s)->text(), u"已出结果:0/%1"_s.arg(drawCount));
        return;
    }
    // Refused: the draw order and the status line are as they were, and keys start nothing.
    QCOMPARE(w.run.drawOrder, earlierOrder);
    QCOMPARE(w.label(u"statusLabel(2)"_s)->text(), u"已出结果:0/3"_s);
    QTest::keyClick(w.control(u"winnerListBox"_s), Qt::Key_Space);
    QCOMPARE(w.run.winnerList.size(), 0);

    // The box reads 1, so confirming again succeeds when there is an entry.
    w.messages.shown.clear();
    QTest::mouseClick(w.control(u"confirmButton"_s), Qt::LeftButton);
    QCOMPARE(w.messages.texts().last(), dataFile == listFile ? u"设置完成！"_s : u"一次性摇出号太多"_s);
    QCOMPARE(start->isEnabled(), dataFile == listFile);
}

// The same number twice doubles someone's chance: the confirmation names it and the draw goes on.
void TestQuickSettingsPanel::repeatedFirstColumnIsSaid()
{
    ProgramDir dir;
    dir.writeEntries(listFile, 1, 4);
    const QString path = dir.filePath(listFile);
    TestSupport::writeBytes(path, TestSupport::readBytes(path) + TestSupport::gbk(entryLine(2) + u"\r\n"_s));
    Window w(dir.path());
    confirm(w, u"5"_s);
    QCOMPARE(w.messages.texts(), QStringList{u"设置完成！\r\n数据文件第一列有 1 个值重复出现：A2。"_s});
    QVERIFY(w.control<QPushButton>(u"startButton"_s)->isEnabled());
}

void TestQuickSettingsPanel::earlierWinners_data()
{
    QTest::addColumn<int>("winners");
    QTest::addColumn<bool>("yes");
    QTest::newRow("none") << 0 << false;
    QTest::newRow("one, cleared without asking") << 1 << false;
    QTest::newRow("two, Yes") << 2 << true;
    QTest::newRow("two, No") << 2 << false;
    QTest::newRow("three, No") << 3 << false;
}

void TestQuickSettingsPanel::earlierWinners()
{
    QFETCH(int, winners);
    QFETCH(bool, yes);
    ProgramDir dir;
    dir.writeEntries(listFile, 1, 12);
    Window w(dir.path());
    if (winners > 0)
        runOnce(w, winners);
    else
        confirm(w, u"2"_s);
    const bool asked = winners >= 2;
    const bool cleared = !asked || yes;

    // What a No must leave as it is.
    dir.writeEntries(listFile, 1, 20);
    const QByteArray settingsBefore = dir.settingsBytes();
    const QString listBefore = w.control<QPlainTextEdit>(u"winnerListBox"_s)->toPlainText();
    const auto winnersBefore = w.run.winnerList;
    const QList<int> orderBefore = w.run.drawOrder;
    const bool startBefore = w.control(u"startButton"_s)->isEnabled();
    const QString captionBefore = w.control<QPushButton>(u"startButton"_s)->text();
    w.messages.shown.clear();
    w.messages.answers = {yes ? MessageBoxes::Answer::Yes : MessageBoxes::Answer::No};

    confirm(w, u"4"_s);
    QStringList expected;
    if (asked)
        expected.append(u"已有摇奖结果是否清除？"_s);
    // The shipped settings keep the earlier winners out, and the message counts them.
    if (cleared)
        expected.append(winners == 0 ? u"设置完成！"_s : u"设置完成！\r\n本次活动已中奖的 %1 人不再参与。"_s.arg(winners));
    QCOMPARE(w.messages.texts(), expected);
    if (asked)
        QCOMPARE(w.messages.shown[0].kind, Kind::Question);

    if (!cleared) {
        QCOMPARE(w.run.winnerList, winnersBefore);
        QCOMPARE(w.control<QPlainTextEdit>(u"winnerListBox"_s)->toPlainText(), listBefore);
        QCOMPARE(dir.settingsBytes(), settingsBefore);
        QCOMPARE(w.run.entryTable.entryCount(), 12);
        QCOMPARE(w.run.drawOrder, orderBefore);
        QCOMPARE(w.control(u"startButton"_s)->isEnabled(), startBefore);
        QCOMPARE(w.control<QPushButton>(u"startButton"_s)->text(), captionBefore);
        QVERIFY(!w.control(u"quickSettingsPanel"_s)->isHidden());
        return;
    }
    QVERIFY(w.run.winnerList.isEmpty());
    QCOMPARE(w.control<QPlainTextEdit>(u"winnerListBox"_s)->toPlainText(), u"☆★☆★ 号榜 ☆★☆★\n=========================="_s);
    QCOMPARE(w.run.entryTable.entryCount(), 20);
    QCOMPARE(w.run.drawOrder.size(), 4);
    QCOMPARE(w.run.pressCount, 0);
    QVERIFY(w.control(u"startButton"_s)->isEnabled());
    QCOMPARE(w.control<QPushButton>(u"startButton"_s)->text(), u"开始"_s);
    for (int k = 1; k <= 3; ++k)
        QVERIFY(w.label(u"rollingRow(%1)"_s.arg(k))->text().isEmpty());
    QVERIFY(w.control(u"quickSettingsPanel"_s)->isHidden());
    QCOMPARE(w.label(u"statusLabel(2)"_s)->text(), u"已出结果:0/4"_s);
}

void TestQuickSettingsPanel::closingTextRowHiddenAgain_data()
{
    QTest::addColumn<int>("winners");
    QTest::newRow("two winners, Yes") << 2;
    QTest::newRow("one winner, no question") << 1;
}

void TestQuickSettingsPanel::closingTextRowHiddenAgain()
{
    QFETCH(int, winners);
    ProgramDir dir({{u"项B显示"_s, u"0"_s}, {u"结束语"_s, u"谢谢参与\\n再见"_s}});
    dir.writeEntries(listFile, 1, 12);
    Window w(dir.path());
    CaptionLabel *row2 = w.label(u"rollingRow(2)"_s);
    QVERIFY(row2->isHidden());
    runOnce(w, winners);
    // The closing text shows, on two lines, in the row the settings hide.
    QVERIFY(!row2->isHidden());
    QCOMPARE(row2->text(), u"谢谢参与\r\n再见"_s);
    QVERIFY(row2->textFits());

    w.messages.answers = {MessageBoxes::Answer::Yes};
    confirm(w, u"3"_s);
    // Also without the question: the setting, not the last run, decides what the rows show.
    QVERIFY(row2->isHidden());
    QVERIFY(row2->text().isEmpty());
    QVERIFY(!w.label(u"rollingRow(1)"_s)->isHidden());
}

void TestQuickSettingsPanel::rollListOnlyWhenConfigured_data()
{
    QTest::addColumn<QString>("setting");
    QTest::addColumn<bool>("rolling");
    QTest::newRow("显示滚动列表=1") << u"1"_s << true;
    QTest::newRow("显示滚动列表=0") << u"0"_s << false;
}

void TestQuickSettingsPanel::rollListOnlyWhenConfigured()
{
    QFETCH(QString, setting);
    QFETCH(bool, rolling);
    ProgramDir dir({{u"显示滚动列表"_s, setting}});
    dir.writeEntries(listFile, 1, 12);
    Window w(dir.path());
    confirm(w, u"13"_s); // refused: nothing starts
    QVERIFY(!w.control<QTimer>(u"rollListTimer"_s)->isActive());
    confirm(w, u"3"_s);
    QCOMPARE(w.control<QTimer>(u"rollListTimer"_s)->isActive(), rolling);
    QCOMPARE(w.label(u"rollList"_s)->isHidden(), !rolling);
    if (rolling)
        QTRY_VERIFY(w.label(u"rollList"_s)->text().startsWith(u"A"_s));

    // The start of a run stops it for good.
    WaitRecorder waits(w);
    QTest::mouseClick(w.control(u"startButton"_s), Qt::LeftButton);
    QVERIFY(!w.control<QTimer>(u"rollListTimer"_s)->isActive());
    QVERIFY(w.label(u"rollList"_s)->isHidden());
}

void TestQuickSettingsPanel::exclusionListTakesPart()
{
    ProgramDir dir({{u"滚动个数随机小"_s, u"400"_s}, {u"滚动个数随机大"_s, u"400"_s}});
    dir.writeEntries(listFile, 1, 12);
    // Entries 2, 5 and 12 and one the list does not hold.
    QFile::remove(dir.filePath(u"不参与摇号.txt"_s));
    QByteArray excluded;
    for (int i : {2, 5, 12, 99})
        excluded += TestSupport::gbk(entryLine(i) + u"\r\n"_s);
    TestSupport::writeBytes(dir.filePath(u"不参与摇号.txt"_s), excluded);
    Window w(dir.path());

    confirm(w, u"10"_s);
    QCOMPARE(w.messages.texts(), QStringList{u"一次性摇出号太多"_s});
    w.messages.shown.clear();
    confirm(w, u"9"_s);
    QCOMPARE(w.messages.texts(), QStringList{u"设置完成！"_s});
    QCOMPARE(w.label(u"statusLabel(1)"_s)->text(), u"记录条数:12"_s);
    QCOMPARE(sorted(w.run.drawOrder), range(1, 12, {2, 5, 12}));

    // Nor does an excluded entry roll by, the last entry of the table included.
    WaitRecorder waits(w);
    QTest::mouseClick(w.control(u"startButton"_s), Qt::LeftButton);
    QSet<QString> rolled;
    for (const WaitRecorder::Wait &wait : waits.waits)
        rolled.insert(wait.row1);
    for (int i : range(1, 12, {2, 5, 12}))
        QVERIFY2(rolled.contains(u"A%1"_s.arg(i)), qPrintable(QString::number(i)));
    for (int i : {2, 5, 12})
        QVERIFY(!rolled.contains(u"A%1"_s.arg(i)));
}

void TestQuickSettingsPanel::earlierWinnersTakeNoPart_data()
{
    QTest::addColumn<QString>("key");
    QTest::addColumn<bool>("restart");
    QTest::addColumn<int>("unreadable"); // a result file that cannot be read: 0 none, 1 Yes, 2 No
    QTest::newRow("on, the next run") << u"1"_s << false << 0;
    QTest::newRow("on, after a restart") << u"1"_s << true << 0;
    QTest::newRow("on, an unreadable result file, Yes") << u"1"_s << false << 1;
    QTest::newRow("on, a result file saved as UTF-16, No") << u"1"_s << false << 2;
    QTest::newRow("off, winners may win again") << u"0"_s << false << 0;
}

void TestQuickSettingsPanel::earlierWinnersTakeNoPart()
{
    QFETCH(QString, key);
    QFETCH(bool, restart);
    QFETCH(int, unreadable);
    ProgramDir dir({{u"中奖者不再参与"_s, key}});
    dir.writeEntries(listFile, 1, 12);
    auto w = std::make_unique<Window>(dir.path());
    runOnce(*w, 6);
    const QList<int> first = w->run.drawOrder;
    if (restart)
        w = std::make_unique<Window>(dir.path());
    // Even root cannot read a folder that bears a result file's name; a file saved as UTF-16
    // does not decode.
    const QString folder = dir.filePath(u"出号结果20240101_000000.txt"_s);
    if (unreadable == 1)
        QVERIFY(QDir().mkdir(folder));
    else if (unreadable == 2)
        TestSupport::writeBytes(folder, QByteArray("\xFF\xFE", 2) + QByteArray(reinterpret_cast<const char *>(u"A1\tx\ty\r\n"), 14));
    const auto yes = MessageBoxes::Answer::Yes;
    w->messages.answers = {unreadable == 2 ? MessageBoxes::Answer::No : yes, yes, yes, yes};

    confirm(*w, key == u"0"_s ? u"12"_s : u"7"_s);
    if (unreadable == 2) {
        QCOMPARE(w->messages.texts().last(), u"无法读取结果文件“"_s + QDir::toNativeSeparators(folder)
                                                 + u"”，其中的中奖者可能再次中奖，是否继续？"_s);
        QCOMPARE(w->messages.shown.last().defaultAnswer, MessageBoxes::Answer::No);
        QCOMPARE(w->run.winnerList.size(), 6); // nothing changed
        return;
    }
    if (key == u"0"_s) {
        QCOMPARE(w->messages.texts().last(), u"设置完成！"_s);
        QCOMPARE(sorted(w->run.drawOrder), range(1, 12));
        return;
    }
    // Six remain: seven are too many, as the exclusion list would make them.
    QCOMPARE(w->messages.texts().last(), u"一次性摇出号太多\r\n本次活动已中奖的 6 人不再参与。"_s);
    confirm(*w, u"6"_s);
    QCOMPARE(w->messages.texts().last(), u"设置完成！\r\n本次活动已中奖的 6 人不再参与。"_s);
    QCOMPARE(sorted(w->run.drawOrder), range(1, 12, first));
}

void TestQuickSettingsPanel::dataFileBesideTheProgram()
{
    ProgramDir dir;
    dir.writeEntries(listFile, 1, 12);
    QTemporaryDir elsewhere;
    const QString previous = QDir::currentPath();
    QVERIFY(QDir::setCurrent(elsewhere.path()));
    Window w(dir.path());
    confirm(w, u"3"_s);
    QCOMPARE(w.run.entryTable.entryCount(), 12);
    // A full name is used as it is.
    ProgramDir other;
    other.writeEntries(u"全名.txt"_s, 1, 7);
    w.messages.answers = {MessageBoxes::Answer::Yes};
    confirm(w, u"3"_s, other.filePath(u"全名.txt"_s));
    QCOMPARE(w.run.entryTable.entryCount(), 7);
    QVERIFY(QDir::setCurrent(previous));
}

void TestQuickSettingsPanel::panelOpensAndCloses()
{
    ProgramDir dir;
    Window w(dir.path());
    int opened = 0;
    w.form.setAdvancedSettingsHandler([&] { ++opened; });
    auto *count = w.control<QLineEdit>(u"drawCountBox"_s);
    count->setText(u"77"_s); // typed, not confirmed

    QTest::mouseClick(w.label(u"closePanelTab"_s), Qt::LeftButton);
    QVERIFY(w.control(u"quickSettingsPanel"_s)->isHidden());
    QTest::mouseClick(w.label(u"openPanelTab"_s), Qt::LeftButton);
    QVERIFY(!w.control(u"quickSettingsPanel"_s)->isHidden());
    QCOMPARE(count->text(), u"77"_s);
    QTest::mouseClick(w.label(u"advancedSettingsLink"_s), Qt::LeftButton);
    QCOMPARE(opened, 1);
    QVERIFY(w.messages.shown.isEmpty());
}

ZOP_MAIN_WINDOW_TEST_MAIN(TestQuickSettingsPanel)
// Two prizes, 三等奖 with one of its two winners from a run before a restart.
void TestQuickSettingsPanel::prizes()
{
    ProgramDir dir;
    dir.writeEntries(listFile, 1, 12);
    TestSupport::writeBytes(dir.filePath(u"奖项设置.txt"_s), TestSupport::gbk(u"三等奖\t2\r\n二等奖\t1\r\n"_s));
    TestSupport::writeBytes(dir.filePath(u"出号结果20240314_200000_三等奖.txt"_s), TestSupport::gbk(entryLine(1) + u"\r\n"_s));
    Window w(dir.path());
    auto *combo = w.control<QComboBox>(u"prizeBox"_s);
    QCOMPARE(combo->currentText(), u"三等奖"_s);
    QCOMPARE(w.control<QLineEdit>(u"drawCountBox"_s)->text(), u"1"_s);
    // The event's count of the prize, the run before the restart included, from start-up on.
    QCOMPARE(w.label(u"statusLabel(2)"_s)->text(), u"三等奖 已出:1/2"_s);
    // The panel grew upwards by the prize row; its boxes stay where they were.
    QCOMPARE(w.at(1600, 6900), combo);
    QCOMPARE(w.at(1600, 7250), w.control(u"drawCountBox"_s));

    const auto runPrize = [&] {
        confirm(w, w.control<QLineEdit>(u"drawCountBox"_s)->text(), listFile);
        WaitRecorder waits(w);
        QTest::mouseClick(w.control(u"startButton"_s), Qt::LeftButton);
    };
    w.messages.answers = {MessageBoxes::Answer::Yes};
    runPrize();
    QVERIFY(w.run.resultFileName.endsWith(u"出号结果20240315_093007_三等奖.txt"_s));
    QVERIFY(w.control<QPlainTextEdit>(u"winnerListBox"_s)->toPlainText().startsWith(u"三等奖 中奖名单"_s));
    QCOMPARE(combo->currentText(), u"二等奖"_s);
    QCOMPARE(w.label(u"statusLabel(2)"_s)->text(), u"二等奖 已出:0/1"_s);
    w.form.selectPrize(-1);
    QCOMPARE(w.label(u"statusLabel(2)"_s)->text(), u"三等奖 已出:2/2"_s);
    w.form.selectPrize(1);
    QCOMPARE(w.control<QLineEdit>(u"drawCountBox"_s)->text(), u"1"_s);

    w.now = w.now.addSecs(60);
    runPrize();
    QVERIFY(w.run.resultFileName.endsWith(u"_二等奖.txt"_s));
    QCOMPARE(combo->currentText(), u"全部奖项已抽完"_s);
    QCOMPARE(w.form.currentPrizeName(), QString());
    QCOMPARE(w.control<QLineEdit>(u"drawCountBox"_s)->text(), u"1"_s);
    w.form.selectPrize(-1);
    QCOMPARE(w.form.currentPrizeName(), u"二等奖"_s);

    // A long name gives way to the count, which stays whole in sight.
    const QString name = u"年度特别贡献奖暨最佳团队协作奖与创新突破奖"_s;
    TestSupport::writeBytes(dir.filePath(u"奖项设置.txt"_s), TestSupport::gbk(name + u"\t12\r\n"_s));
    w.form.loadPrizes(false);
    const CaptionLabel *status = w.label(u"statusLabel(2)"_s);
    QVERIFY2(status->text().endsWith(u"… 已出:0/12"_s), qPrintable(status->text()));
    QVERIFY(status->text().startsWith(name.first(2)));
    QVERIFY(status->textFits());
    grab(w.form, u"status-long-prize"_s);
}

// A copy Explorer made of a result file: named once, and its winner is no second winner.
void TestQuickSettingsPanel::copiesOfResultFilesAreNoWinners()
{
    ProgramDir dir;
    dir.writeEntries(listFile, 1, 12);
    TestSupport::writeBytes(dir.filePath(u"出号结果20240314_200000.txt"_s), TestSupport::gbk(entryLine(1) + u"\r\n"_s));
    const QString copy = dir.filePath(u"出号结果20240314_200000 - 副本.txt"_s);
    TestSupport::writeBytes(copy, TestSupport::gbk(entryLine(2) + u"\r\n"_s));
    Window w(dir.path());
    QCOMPARE(w.messages.texts(), QStringList{u"文件“%1”不是本程序的结果文件（可能是副本或备份），其中的人不算中奖者；“新活动…”会把它们一并归档。"_s
                                                 .arg(QDir::toNativeSeparators(copy))});
    w.messages.shown.clear();
    confirm(w, u"11"_s);
    QCOMPARE(w.messages.texts(), QStringList{u"设置完成！\r\n本次活动已中奖的 1 人不再参与。"_s});
    QVERIFY(w.run.drawOrder.contains(2));
}

void TestQuickSettingsPanel::prizePastItsCount_data()
{
    QTest::addColumn<bool>("complete"); // 特等奖 won before the restart
    QTest::addColumn<QString>("typed");
    QTest::addColumn<bool>("yes");
    QTest::addColumn<QString>("asked"); // "" when nothing is
    QTest::addColumn<int>("prepared");  // draw order positions; 0 when nothing was prepared
    const QString more = u"“特等奖”共 1 名，还差 1 名，本次要抽 5 名，多出 4 名。仍要抽 5 名？"_s;
    const QString again = u"“特等奖”的 1 名已全部抽出，仍要再抽 1 名？"_s;
    QTest::newRow("what is left") << false << u"1"_s << false << QString() << 1;
    QTest::newRow("more than is left, No") << false << u"5"_s << false << more << 0;
    QTest::newRow("more than is left, Yes") << false << u"5"_s << true << more << 5;
    QTest::newRow("a complete prize, No") << true << u"1"_s << false << again << 0;
    QTest::newRow("a complete prize, Yes") << true << u"1"_s << true << again << 1;
}

void TestQuickSettingsPanel::prizePastItsCount()
{
    QFETCH(bool, complete);
    QFETCH(QString, typed);
    QFETCH(bool, yes);
    QFETCH(QString, asked);
    QFETCH(int, prepared);
    ProgramDir dir;
    dir.writeEntries(listFile, 1, 12);
    TestSupport::writeBytes(dir.filePath(u"奖项设置.txt"_s), TestSupport::gbk(u"特等奖\t1\r\n"_s));
    if (complete)
        TestSupport::writeBytes(dir.filePath(u"出号结果20240314_200000_特等奖.txt"_s), TestSupport::gbk(entryLine(1) + u"\r\n"_s));
    Window w(dir.path());
    w.control<QComboBox>(u"prizeBox"_s)->setCurrentIndex(0);
    w.messages.shown.clear();
    w.messages.answers = {yes ? MessageBoxes::Answer::Yes : MessageBoxes::Answer::No};
    confirm(w, typed);
    if (!asked.isEmpty()) {
        QCOMPARE(w.messages.shown.first().text, asked);
        QCOMPARE(w.messages.shown.first().defaultAnswer, MessageBoxes::Answer::No);
    } else {
        QCOMPARE(w.messages.shown.first().kind, Kind::Information);
    }
    QCOMPARE(w.run.drawOrder.size(), prepared);
    QCOMPARE(w.control(u"startButton"_s)->isEnabled(), prepared > 0);
}

#include "tst_QuickSettingsPanel.moc"
