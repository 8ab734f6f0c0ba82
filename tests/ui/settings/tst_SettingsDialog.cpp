#include "draw/RunData.h"
#include "settings/IniFile.h"
#include "settings/Settings.h"
#include "support/ScriptedMessageBoxes.h"
#include "support/TestSupport.h"
#include "ui/common/Fonts.h"
#include "ui/editor/DataFileEditor.h"
#include "ui/prizes/PrizeEditor.h"
#include "ui/settings/MainWindowRefresh.h"
#include "ui/settings/SettingsDialog.h"

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QScrollBar>
#include <QTableWidget>
#include <QTemporaryDir>
#include <QTest>

#include <algorithm>
#include <memory>

using namespace Qt::StringLiterals;
using TestSupport::gbk;

namespace {

// Records the calls the dialog makes, with what the main window would find in memory then.
class FakeMainWindow : public MainWindowRefresh
{
public:
    FakeMainWindow(const Settings &settings, const RunData &run) : settings(settings), run(run) {}

    QStringList calls;
    QString titleAtFirstCall;
    int fontSizeAAtFirstCall = 0;
    bool tablesEmptyAtFirstCall = false;

    void applyTitleAndFonts() override { note(u"applyTitleAndFonts"_s); }
    void refreshStatus() override { note(u"refreshStatus"_s); }
    void applyRowVisibility() override { note(u"applyRowVisibility"_s); }
    void runRollList(int start) override { note(u"runRollList(%1)"_s.arg(start)); }
    void disableStartButton() override { note(u"disableStartButton"_s); }
    void keepRun() override { note(u"keepRun"_s); }
    void endEvent() override { note(u"endEvent"_s); }

private:
    void note(const QString &call)
    {
        if (calls.isEmpty()) {
            titleAtFirstCall = settings.titleText;
            fontSizeAAtFirstCall = settings.fontSizeA;
            tablesEmptyAtFirstCall = run.entryTable.isEmpty() && run.excludeList.isEmpty()
                && run.drawOrder.isEmpty() && run.winnerList.isEmpty();
        }
        calls.append(call);
    }

    const Settings &settings;
    const RunData &run;
};

// Closes every data file editor as soon as it shows, noting what it showed.
class EditorWatcher : public QObject
{
public:
    struct Opening {
        bool modal;
        QWidget *parent;
        QString frameTitle;
        QStringList columns; // the boxes of the first entry
    };
    QList<Opening> openings;

    EditorWatcher() { qApp->installEventFilter(this); }
    ~EditorWatcher() override { qApp->removeEventFilter(this); }

    bool eventFilter(QObject *watched, QEvent *event) override
    {
        auto *editor = qobject_cast<DataFileEditor *>(watched);
        if (editor && event->type() == QEvent::Show) {
            QStringList columns;
            for (int c = 1; c <= 3; ++c)
                columns.append(editor->findChild<QLineEdit *>(u"columnBox(%1)"_s.arg(c))->text());
            openings.append({editor->isModal(), editor->parentWidget(),
                             editor->findChild<QGroupBox *>(u"dataFileFrame"_s)->title(), columns});
            QMetaObject::invokeMethod(editor, &QDialog::reject, Qt::QueuedConnection);
        }
        return false;
    }
};

// A program folder with the shipped settings and data file, the settings loaded, one dialog.
struct Dialog {
    QTemporaryDir dir;
    Settings settings;
    RunData run;
    ScriptedMessageBoxes boxes;
    FakeMainWindow mainWindow{settings, run};
    std::unique_ptr<SettingsDialog> form;

    Dialog()
    {
        const QDir shipped(TestSupport::shippedDataDir());
        for (const QString &name : {u"ZOP摇号设置.ini"_s, u"测试数据.txt"_s})
            TestSupport::writeBytes(dir.filePath(name), TestSupport::readBytes(shipped.filePath(name)));
        load();
    }
    QString iniPath() const { return dir.filePath(u"ZOP摇号设置.ini"_s); }
    void load() { AppFiles::loadSettings(settings, run, dir.path()); }
    void store(const QString &key, const QString &value) const
    {
        if (!IniFile::iniWriteValue(iniPath(), key, value))
            qFatal("cannot write the fixture's settings");
    }
    QString stored(const QString &key) const { return IniFile::iniReadValue(iniPath(), key); }

    SettingsDialog &open()
    {
        form = std::make_unique<SettingsDialog>(settings, run, boxes, mainWindow);
        form->show();
        if (!QTest::qWaitForWindowExposed(form.get()))
            qFatal("dialog not exposed");
        return *form;
    }

    template<typename T = QWidget> T *find(const QString &name) const
    {
        T *w = form->findChild<T *>(name);
        if (!w)
            qFatal("no widget %s", qPrintable(name));
        return w;
    }
    void click(const QString &name) const { QTest::mouseClick(find<QWidget>(name), Qt::LeftButton); }

    // What a control shows: a box its text, a check or option box 1 or 0, the scroll bar its position.
    QString shown(const QString &name) const
    {
        if (name == u"columns")
            return shown(u"showColumnBox(1)"_s) + shown(u"showColumnBox(2)"_s) + shown(u"showColumnBox(3)"_s);
        QWidget *w = find<QWidget>(name);
        if (auto *edit = qobject_cast<QLineEdit *>(w))
            return edit->text();
        if (auto *combo = qobject_cast<QComboBox *>(w))
            return combo->currentText();
        if (auto *button = qobject_cast<QAbstractButton *>(w))
            return button->isChecked() ? u"1"_s : u"0"_s;
        if (auto *bar = qobject_cast<QAbstractSlider *>(w))
            return QString::number(bar->value());
        qFatal("cannot read %s", qPrintable(name));
    }

    // Enters a value the way a user would: typed, picked from the list, or a box clicked.
    void enter(const QString &name, const QString &value) const
    {
        QWidget *w = find<QWidget>(name);
        if (auto *edit = qobject_cast<QLineEdit *>(w)) {
            edit->selectAll();
            QTest::keyClick(edit, Qt::Key_Delete);
            // The test driver types plain ASCII only; the rest is pasted, as Tab and Enter are.
            const bool typeable = std::all_of(value.begin(), value.end(), [](QChar c) {
                return c.unicode() >= 0x20 && c.unicode() < 0x7f && c != u'\\';
            });
            if (typeable)
                QTest::keyClicks(edit, value);
            else
                edit->insert(value);
        } else if (auto *combo = qobject_cast<QComboBox *>(w)) {
            if (const int index = combo->findText(value); index >= 0) {
                combo->setCurrentIndex(index);
            } else {
                combo->lineEdit()->selectAll();
                QTest::keyClick(combo->lineEdit(), Qt::Key_Delete);
                QTest::keyClicks(combo->lineEdit(), value);
            }
        } else if (auto *button = qobject_cast<QAbstractButton *>(w)) {
            if (button->isChecked() != (value == u"1"))
                QTest::keyClick(button, Qt::Key_Space);
        } else if (auto *bar = qobject_cast<QAbstractSlider *>(w)) {
            bar->setValue(value.toInt());
        }
        if (shown(name) != value && !qobject_cast<QLineEdit *>(w))
            qFatal("could not enter %s into %s", qPrintable(value), qPrintable(name));
    }
    void enterAll(const QStringList &inputs) const
    {
        for (const QString &input : inputs) {
            const qsizetype eq = input.indexOf(u'=');
            enter(input.left(eq), input.mid(eq + 1));
        }
    }
};

const QStringList refreshCalls{u"applyTitleAndFonts"_s, u"refreshStatus"_s, u"applyRowVisibility"_s,
                               u"runRollList(0)"_s, u"disableStartButton"_s};

void fillRunData(RunData &run)
{
    run.entryTable.append({u"A1"_s, u"张三"_s, u"销售部"_s});
    run.excludeList.append({u"A2"_s, u"李四"_s, u"市场部"_s});
    run.vipList.append({u"1"_s, u"A1"_s, u"张三"_s, u"销售部"_s});
    run.drawOrder = {1};
    run.winnerList = {{u"A1"_s, u"张三"_s, u"销售部"_s}};
}

} // namespace

class TestSettingsDialog : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void opensWithTheShippedSettings();
    void layoutKeepsEveryCaptionWhole();
    void opening_data();
    void opening();
    void save_data();
    void save();
    void savingUnchangedRewritesTheSameBytes();
    void saveWritesTheKeysInOrder();
    void saveReloadsThenRefreshesTheMainWindow_data();
    void saveReloadsThenRefreshesTheMainWindow();
    void failedSave_data();
    void failedSave();
    void cancelWritesNothing_data();
    void cancelWritesNothing();
    void separatorShortcuts();
    void newEvent_data();
    void newEvent();
    void lengthLimits_data();
    void lengthLimits();
    void editContents_data();
    void editContents();
    void exportResults_data();
    void exportResults();
    void prizeEditor();
};

void TestSettingsDialog::initTestCase()
{
    Fonts::installSubstitutions();
    QVERIFY(QFileInfo(QDir(TestSupport::shippedDataDir()).filePath(u"ZOP摇号设置.ini"_s)).isFile());
}

void TestSettingsDialog::opensWithTheShippedSettings()
{
    Dialog d;
    SettingsDialog &form = d.open();
    QCOMPARE(form.windowTitle(), u"ZOP摇号（高级设置）"_s);
    QCOMPARE(d.find<QGroupBox>(u"textFrame"_s)->title(), u"[标题与文字(\\n表示换行) ]"_s);
    QCOMPARE(d.find<QGroupBox>(u"drawFrame"_s)->title(), u"[摇号设置]"_s);

    const QList<std::pair<QString, QString>> expected{
        {u"titleBox"_s, u"欢迎使用ZOP摇号工具"_s},
        {u"titleFontBox"_s, u"25"_s},
        {u"showRollListBox"_s, u"1"_s},
        {u"resultTitleBox"_s, u"☆★☆★ 号榜 ☆★☆★\\n=========================="_s},
        {u"resultFontBox"_s, u"12"_s},
        {u"showIndexBox"_s, u"1"_s},
        {u"columns"_s, u"111"_s},
        {u"showRowBox(1)"_s, u"1"_s}, {u"showRowBox(2)"_s, u"1"_s}, {u"showRowBox(3)"_s, u"1"_s},
        {u"rowFontBox(1)"_s, u"36"_s}, {u"rowFontBox(2)"_s, u"36"_s}, {u"rowFontBox(3)"_s, u"36"_s},
        {u"scrollSpeedBar"_s, u"5"_s},
        {u"rollCountMinBox"_s, u"20"_s}, {u"rollCountMaxBox"_s, u"40"_s},
        {u"drawPauseBox"_s, u"5"_s},
        {u"closingTextBox"_s, u"**** 谢谢参与! ****"_s},
        {u"continuousOption"_s, u"1"_s}, {u"onePerPressOption"_s, u"0"_s},
        {u"drawCountBox"_s, u"5"_s},
        {u"dataFileBox"_s, u"测试数据.txt"_s},
        {u"separatorBox"_s, u"{tab}"_s},
        {u"keepWinnersOutBox"_s, u"1"_s},
        {u"verifiableBox"_s, u"0"_s},
        {u"soundOnBox"_s, u"1"_s}, {u"volumeSlider"_s, u"80"_s}, {u"soundFileBox(0)"_s, QString()},
    };
    for (const auto &[name, value] : expected)
        QCOMPARE(d.shown(name), value);
    if (const QString shots = qEnvironmentVariable("ZOP_GRAB_DIR"); !shots.isEmpty())
        form.grab().save(QDir(shots).filePath(u"advanced-settings.png"_s));
    QCOMPARE(d.find<QLineEdit>(u"resultTitleBox"_s)->cursorPosition(), 0); // longer than its box: shown from the start

    QStringList sizes;
    for (int size : SettingsDialog::fontSizes())
        sizes.append(QString::number(size));
    QCOMPARE(sizes.join(u','), u"6,8,9,10,11,12,14,16,18,20,22,24,26,28,36,48,72"_s);
    for (const QString &name : {u"resultFontBox"_s, u"titleFontBox"_s, u"rowFontBox(1)"_s, u"rowFontBox(2)"_s, u"rowFontBox(3)"_s}) {
        auto *combo = d.find<QComboBox>(name);
        QVERIFY(combo->isEditable());
        QStringList items;
        for (int i = 0; i < combo->count(); ++i)
            items.append(combo->itemText(i));
        QCOMPARE(items, sizes);
        QCOMPARE(combo->currentIndex(), combo->findText(combo->currentText())); // highlighted when listed
    }
    auto *bar = d.find<QScrollBar>(u"scrollSpeedBar"_s);
    QCOMPARE(bar->orientation(), Qt::Horizontal);
    QCOMPARE(bar->minimum(), 1);
    QCOMPARE(bar->maximum(), 50);
    QCOMPARE(form.focusWidget(), d.find(u"titleBox"_s));

    // Enter in a box presses no button: it neither saves, closes nor opens the editor.
    const QByteArray before = TestSupport::readBytes(d.iniPath());
    EditorWatcher watcher;
    d.enter(u"drawCountBox"_s, u"8"_s);
    QTest::keyClick(d.find(u"drawCountBox"_s), Qt::Key_Return);
    QVERIFY(watcher.openings.isEmpty());
    QVERIFY(form.isVisible());
    QCOMPARE(TestSupport::readBytes(d.iniPath()), before);
    QVERIFY(d.boxes.shown.isEmpty());
    QVERIFY(d.mainWindow.calls.isEmpty());
}

// textFrame above drawFrame, "保存" left of "取消" at the bottom right, and no caption cut off.
void TestSettingsDialog::layoutKeepsEveryCaptionWhole()
{
    Dialog d;
    SettingsDialog &form = d.open();
    const QRect textFrameRect = d.find(u"textFrame"_s)->geometry(), drawFrameRect = d.find(u"drawFrame"_s)->geometry();
    const QRect save = d.find(u"saveButton"_s)->geometry(), cancel = d.find(u"cancelButton"_s)->geometry();
    QVERIFY(textFrameRect.bottom() < drawFrameRect.top());
    const QRect sound = d.find(u"soundFrame"_s)->geometry();
    QVERIFY(drawFrameRect.bottom() < sound.top());
    QVERIFY(sound.bottom() < save.top());
    QCOMPARE(save.top(), cancel.top());
    QVERIFY(save.right() < cancel.left());
    QVERIFY(cancel.right() > form.width() * 9 / 10);
    QCOMPARE(d.find<QPushButton>(u"saveButton"_s)->text(), u"保存"_s);
    QCOMPARE(d.find<QPushButton>(u"cancelButton"_s)->text(), u"取消"_s);

    for (QWidget *w : form.findChildren<QWidget *>()) {
        if (!w->isVisibleTo(&form) || !w->parentWidget() || w->parentWidget()->inherits("QComboBox"))
            continue;
        QVERIFY2(w->parentWidget()->rect().contains(w->geometry()), qPrintable(w->objectName()));
        const bool caption = qobject_cast<QLabel *>(w) || qobject_cast<QAbstractButton *>(w);
        if (caption) {
            const QString text = qobject_cast<QLabel *>(w) ? static_cast<QLabel *>(w)->text()
                                                           : static_cast<QAbstractButton *>(w)->text();
            QVERIFY2(w->sizeHint().width() <= w->width(), qPrintable(text));
            QVERIFY2(w->sizeHint().height() <= w->height() + 2, qPrintable(text));
        }
    }
    // Controls of one frame never overlap.
    for (const QString &frame : {u"textFrame"_s, u"drawFrame"_s, u"soundFrame"_s}) {
        const QList<QWidget *> controls = d.find(frame)->findChildren<QWidget *>(Qt::FindDirectChildrenOnly);
        for (qsizetype i = 0; i < controls.size(); ++i)
            for (qsizetype j = i + 1; j < controls.size(); ++j)
                QVERIFY2(!controls[i]->geometry().intersects(controls[j]->geometry()),
                         qPrintable(controls[i]->objectName() + u" / "_s + controls[j]->objectName()));
    }
}

void TestSettingsDialog::opening_data()
{
    QTest::addColumn<QString>("key");
    QTest::addColumn<QString>("value");
    QTest::addColumn<QString>("control");
    QTest::addColumn<QString>("expected");

    const QString columns = u"中奖名单列显示"_s;
    const char *patterns[] = {"111", "100", "010", "001", "110", "101", "011"};
    for (int v = 0; v <= 6; ++v)
        QTest::addRow("columns %d checks %s", v, patterns[v])
            << columns << QString::number(v) << u"columns"_s << QString::fromLatin1(patterns[v]);
    QTest::newRow("columns 7 checks none") << columns << u"7"_s << u"columns"_s << u"000"_s;
    QTest::newRow("columns -1 checks none") << columns << u"-1"_s << u"columns"_s << u"000"_s;
    QTest::newRow("flag 2 shows unchecked") << u"显示滚动列表"_s << u"2"_s << u"showRollListBox"_s << u"0"_s;
    QTest::newRow("flag 0 shows unchecked") << u"项B显示"_s << u"0"_s << u"showRowBox(2)"_s << u"0"_s;
    QTest::newRow("scroll speed 0 shows 1") << u"滚动速度"_s << u"0"_s << u"scrollSpeedBar"_s << u"1"_s;
    QTest::newRow("scroll speed 99 shows 50") << u"滚动速度"_s << u"99"_s << u"scrollSpeedBar"_s << u"50"_s;
    QTest::newRow("scroll speed 17") << u"滚动速度"_s << u"17"_s << u"scrollSpeedBar"_s << u"17"_s;
    QTest::newRow("single mode 1") << u"每点一次出一号标志"_s << u"1"_s << u"onePerPressOption"_s << u"1"_s;
    QTest::newRow("single mode 2 counts as single")
        << u"每点一次出一号标志"_s << u"2"_s << u"onePerPressOption"_s << u"1"_s;
    QTest::newRow("title line break shown escaped")
        << u"标题文字"_s << u"第一行\\n第二行"_s << u"titleBox"_s << u"第一行\\n第二行"_s;
    QTest::newRow("separator blank then tab")
        << u"数据字段分隔符"_s << u"{space}{tab}"_s << u"separatorBox"_s << u"{space}{tab}"_s;
    QTest::newRow("separator capitals stay")
        << u"数据字段分隔符"_s << u"{TAB}"_s << u"separatorBox"_s << u"{TAB}"_s;
    QTest::newRow("font size beyond range shown") << u"字号B"_s << u"72"_s << u"rowFontBox(2)"_s << u"72"_s;
    QTest::newRow("roll count beyond the box shown whole")
        << u"滚动个数随机小"_s << u"1000"_s << u"rollCountMinBox"_s << u"1000"_s;
    const QString longName = QString(60, u'名') + u".txt"_s;
    QTest::newRow("long data file name shown whole") << u"数据文件"_s << longName << u"dataFileBox"_s << longName;
    QTest::newRow("five tabs shown whole")
        << u"数据字段分隔符"_s << u"{tab}{tab}{tab}{tab}{tab}"_s << u"separatorBox"_s << u"{tab}{tab}{tab}{tab}{tab}"_s;
}

void TestSettingsDialog::opening()
{
    QFETCH(QString, key);
    QFETCH(QString, value);
    QFETCH(QString, control);
    QFETCH(QString, expected);

    Dialog d;
    d.store(key, value);
    d.load();
    d.open();
    QCOMPARE(d.shown(control), expected);
}

void TestSettingsDialog::save_data()
{
    QTest::addColumn<QStringList>("inputs");   // control=value
    QTest::addColumn<QStringList>("expected"); // key=value as stored

    auto row = [](const char *name, const QStringList &inputs, const QStringList &expected) {
        QTest::newRow(name) << inputs << expected;
    };
    row("roll 300 and 100 both save 300", {u"rollCountMinBox=300"_s, u"rollCountMaxBox=100"_s},
        {u"滚动个数随机小=300"_s, u"滚动个数随机大=300"_s});
    row("roll 41 and 40 save 41 and 41", {u"rollCountMinBox=41"_s, u"rollCountMaxBox=40"_s},
        {u"滚动个数随机小=41"_s, u"滚动个数随机大=41"_s});
    row("roll 3 below range saves 20 and 30", {u"rollCountMinBox=3"_s, u"rollCountMaxBox=30"_s},
        {u"滚动个数随机小=20"_s, u"滚动个数随机大=30"_s});
    row("roll 50 and empty save 50 and 50", {u"rollCountMinBox=50"_s, u"rollCountMaxBox="_s},
        {u"滚动个数随机小=50"_s, u"滚动个数随机大=50"_s});
    row("roll 5 and 999 kept", {u"rollCountMinBox=5"_s, u"rollCountMaxBox=999"_s},
        {u"滚动个数随机小=5"_s, u"滚动个数随机大=999"_s});
    row("draw count empty saves 5", {u"drawCountBox="_s}, {u"一次性摇出个数=5"_s});
    row("draw count 100000 saves 5", {u"drawCountBox=100000"_s}, {u"一次性摇出个数=5"_s});
    row("draw count 99999 kept", {u"drawCountBox=99999"_s}, {u"一次性摇出个数=99999"_s});
    row("pause 0 saves 5", {u"drawPauseBox=0"_s}, {u"一次性摇出延时=5"_s});
    row("pause 99 kept", {u"drawPauseBox=99"_s}, {u"一次性摇出延时=99"_s});
    row("separator blank saves {space}", {u"separatorBox= "_s}, {u"数据字段分隔符={space}"_s});
    row("separator tab saves {tab}", {u"separatorBox=\t"_s}, {u"数据字段分隔符={tab}"_s});
    row("separator comma kept", {u"separatorBox=,"_s}, {u"数据字段分隔符=,"_s});
    row("separator empty saves {tab}", {u"separatorBox="_s}, {u"数据字段分隔符={tab}"_s});
    row("separator tab and blank escaped in place", {u"separatorBox=a\t b"_s},
        {u"数据字段分隔符=a{tab}{space}b"_s});
    row("columns 011 saves 6", {u"showColumnBox(1)=0"_s}, {u"中奖名单列显示=6"_s});
    row("earlier winners take part again", {u"keepWinnersOutBox=0"_s}, {u"中奖者不再参与=0"_s});
    row("verifiable draw on", {u"verifiableBox=1"_s}, {u"可验证摇号=1"_s});
    row("columns 100 saves 1", {u"showColumnBox(2)=0"_s, u"showColumnBox(3)=0"_s}, {u"中奖名单列显示=1"_s});
    row("columns 101 saves 5", {u"showColumnBox(2)=0"_s}, {u"中奖名单列显示=5"_s});
    row("columns 110 saves 4", {u"showColumnBox(3)=0"_s}, {u"中奖名单列显示=4"_s});
    row("columns 001 saves 3", {u"showColumnBox(1)=0"_s, u"showColumnBox(2)=0"_s}, {u"中奖名单列显示=3"_s});
    row("no column saves 0", {u"showColumnBox(1)=0"_s, u"showColumnBox(2)=0"_s, u"showColumnBox(3)=0"_s},
        {u"中奖名单列显示=0"_s});
    row("title size 72 picked saves 25", {u"titleFontBox=72"_s}, {u"标题字号=25"_s});
    row("result size 72 picked saves 12", {u"resultFontBox=72"_s}, {u"结果字号=12"_s});
    row("result size 48 beyond 32 saves 12", {u"resultFontBox=48"_s}, {u"结果字号=12"_s});
    row("size C 72 picked saves 36", {u"rowFontBox(3)=72"_s}, {u"字号C=36"_s});
    row("typed sizes 48 and 6 kept, 5 saves 36", {u"rowFontBox(1)=48"_s, u"rowFontBox(2)=7"_s, u"rowFontBox(3)=5"_s},
        {u"字号A=48"_s, u"字号B=7"_s, u"字号C=36"_s});
    row("empty title saves default", {u"titleBox="_s}, {u"标题文字=欢迎使用ZOP摇号工具"_s});
    row("empty result title saves default", {u"resultTitleBox="_s},
        {u"结果标题=☆★☆★ 号榜 ☆★☆★\\n=========================="_s});
    row("empty closing text saves default", {u"closingTextBox="_s}, {u"结束语=**** 谢谢参与! ****"_s});
    row("title escapes stay escaped", {u"titleBox=第一行\\n第二行"_s}, {u"标题文字=第一行\\n第二行"_s});
    row("pasted line break stored as escape", {u"closingTextBox=谢谢\r\n再见\n!"_s}, {u"结束语=谢谢\\n再见\\n!"_s});
    row("data file trimmed", {u"dataFileBox=  名单.txt  "_s}, {u"数据文件=名单.txt"_s});
    row("data file blanks only saves default", {u"dataFileBox=   "_s}, {u"数据文件=测试数据.txt"_s});
    row("single mode saves 1", {u"onePerPressOption=1"_s}, {u"每点一次出一号标志=1"_s});
    row("flags cleared save 0",
        {u"showRollListBox=0"_s, u"showIndexBox=0"_s, u"showRowBox(1)=0"_s, u"showRowBox(2)=0"_s, u"showRowBox(3)=0"_s},
        {u"显示滚动列表=0"_s, u"中奖名单是否显示序号=0"_s, u"项A显示=0"_s, u"项B显示=0"_s, u"项C显示=0"_s});
    row("scroll speed 50 saved", {u"scrollSpeedBar=50"_s}, {u"滚动速度=50"_s});
    row("sound off", {u"soundOnBox=0"_s}, {u"声音=0"_s});
    row("volume and a file trimmed", {u"volumeSlider=35"_s, u"soundFileBox(2)=  音效/fanfare.mp3  "_s},
        {u"音量=35"_s, u"结束音效=音效/fanfare.mp3"_s, u"滚动音效="_s});
}

void TestSettingsDialog::save()
{
    QFETCH(QStringList, inputs);
    QFETCH(QStringList, expected);

    Dialog d;
    SettingsDialog &form = d.open();
    d.enterAll(inputs);
    d.click(u"saveButton"_s);
    QCOMPARE(form.result(), int(QDialog::Accepted));
    QVERIFY(!form.isVisible());

    for (const QString &line : expected) {
        const qsizetype eq = line.indexOf(u'=');
        QCOMPARE(d.stored(line.left(eq)), line.mid(eq + 1));
    }
    // Every key once, whatever was written twice; the winner list's size is left alone.
    QString file;
    QCOMPARE(IniFile::readWholeFile(d.iniPath(), file), 0);
    QCOMPARE(file.split(u"\r\n"_s, Qt::SkipEmptyParts).size(), 32);
    QCOMPARE(d.stored(u"中奖名单列字号"_s), u"12"_s);
    QVERIFY(d.boxes.shown.isEmpty());
}

void TestSettingsDialog::savingUnchangedRewritesTheSameBytes()
{
    Dialog d;
    const QByteArray before = TestSupport::readBytes(d.iniPath());
    d.open();
    d.click(u"saveButton"_s);
    QCOMPARE(TestSupport::readBytes(d.iniPath()), before);
    QCOMPARE(TestSupport::folderEntries(d.dir.path()), (QStringList{u"ZOP摇号设置.ini"_s, u"测试数据.txt"_s}));
}

// On a file holding no key each write appends its line, so the file lists the writes in order.
void TestSettingsDialog::saveWritesTheKeysInOrder()
{
    Dialog d;
    TestSupport::writeBytes(d.iniPath(), gbk(u"; ZOP摇号 设置文件\r\n"_s));
    d.open();
    d.enterAll({u"rollCountMinBox=300"_s, u"rollCountMaxBox=100"_s, u"separatorBox= "_s, u"showColumnBox(1)=0"_s});
    d.click(u"saveButton"_s);

    const QString expected = u"; ZOP摇号 设置文件\r\n"
                             "标题文字=欢迎使用ZOP摇号工具\r\n"
                             "标题字号=25\r\n"
                             "显示滚动列表=1\r\n"
                             "结果标题=☆★☆★ 号榜 ☆★☆★\\n==========================\r\n"
                             "结果字号=12\r\n"
                             "中奖名单是否显示序号=1\r\n"
                             "中奖名单列显示=6\r\n"
                             "项A显示=1\r\n"
                             "项B显示=1\r\n"
                             "项C显示=1\r\n"
                             "字号A=36\r\n"
                             "字号B=36\r\n"
                             "字号C=36\r\n"
                             "滚动速度=5\r\n"
                             "滚动个数随机小=300\r\n"
                             "滚动个数随机大=300\r\n"
                             "一次性摇出延时=5\r\n"
                             "结束语=**** 谢谢参与! ****\r\n"
                             "每点一次出一号标志=0\r\n"
                             "一次性摇出个数=5\r\n"
                             "数据文件=测试数据.txt\r\n"
                             "数据字段分隔符={space}\r\n"
                             "中奖者不再参与=1\r\n"
                             "可验证摇号=0\r\n"
                             "声音=1\r\n"
                             "音量=80\r\n"
                             "滚动音效=\r\n"
                             "中奖音效=\r\n"
                             "结束音效=\r\n"
                             "待机音效=\r\n"_s;
    QString written;
    QCOMPARE(IniFile::readWholeFile(d.iniPath(), written), 0);
    QCOMPARE(written, expected);
    QCOMPARE(TestSupport::readBytes(d.iniPath()), gbk(expected));
    QCOMPARE(d.mainWindow.calls, refreshCalls);
}

void TestSettingsDialog::saveReloadsThenRefreshesTheMainWindow_data()
{
    QTest::addColumn<QString>("takingPart"); // a change of who takes part, or ""
    QTest::addColumn<bool>("runEnds");
    QTest::newRow("fonts, texts, timings, columns: the run stays") << QString() << false;
    QTest::newRow("the separator ends the run") << u"separatorBox={space}"_s << true;
    QTest::newRow("the data file ends the run") << u"dataFileBox=其他.txt"_s << true;
}

void TestSettingsDialog::saveReloadsThenRefreshesTheMainWindow()
{
    QFETCH(QString, takingPart);
    QFETCH(bool, runEnds);
    Dialog d;
    fillRunData(d.run);
    SettingsDialog &form = d.open();
    QStringList inputs{u"titleBox=新标题\\n第二行"_s, u"rowFontBox(1)=20"_s, u"showRowBox(2)=0"_s, u"drawCountBox=3"_s};
    if (!takingPart.isEmpty())
        inputs.append(takingPart);
    d.enterAll(inputs);
    d.click(u"saveButton"_s);

    QCOMPARE(d.mainWindow.calls, refreshCalls.first(4) + QStringList{runEnds ? u"disableStartButton"_s : u"keepRun"_s});
    QCOMPARE(d.mainWindow.titleAtFirstCall, u"新标题\r\n第二行"_s);
    QCOMPARE(d.mainWindow.fontSizeAAtFirstCall, 20);
    QCOMPARE(d.mainWindow.tablesEmptyAtFirstCall, runEnds);
    QCOMPARE(d.settings.showItemB, 0);
    QCOMPARE(d.settings.drawCount, 3);
    QCOMPARE(d.run.vipList.vipCount(), 1);
    QCOMPARE(form.result(), int(QDialog::Accepted));
    QVERIFY(!form.isVisible());
    QVERIFY(d.boxes.shown.isEmpty());
}

void TestSettingsDialog::failedSave_data()
{
    QTest::addColumn<bool>("folderInstead");
    QTest::newRow("settings file missing") << false;
    QTest::newRow("a folder where the file should be") << true;
}

// The user hears once that nothing was stored; the window then shows what the file holds.
void TestSettingsDialog::failedSave()
{
    QFETCH(bool, folderInstead);
    Dialog d;
    QVERIFY(QFile::remove(d.iniPath()));
    if (folderInstead)
        QVERIFY(QDir(d.dir.path()).mkdir(u"ZOP摇号设置.ini"_s));
    d.open();
    d.enterAll({u"titleBox=新标题"_s, u"drawCountBox=7"_s});
    d.click(u"saveButton"_s);

    QCOMPARE(d.boxes.shown.size(), 1);
    QCOMPARE(d.boxes.shown.first().kind, ScriptedMessageBoxes::Kind::Error);
    QCOMPARE(d.boxes.shown.first().text, u"保存失败！\r\n文件:"_s + d.iniPath());
    QCOMPARE(QFileInfo(d.iniPath()).isDir(), folderInstead);
    QCOMPARE(QFileInfo::exists(d.iniPath()), folderInstead);
    QCOMPARE(d.mainWindow.calls, refreshCalls);
    QCOMPARE(d.settings.titleText, u"欢迎使用ZOP摇号工具"_s);
    QCOMPARE(d.settings.drawCount, 5);
}

void TestSettingsDialog::cancelWritesNothing_data()
{
    QTest::addColumn<QString>("how");
    QTest::newRow("取消") << u"button"_s;
    QTest::newRow("Escape") << u"escape"_s;
    QTest::newRow("window closed") << u"close"_s;
}

void TestSettingsDialog::cancelWritesNothing()
{
    QFETCH(QString, how);
    Dialog d;
    fillRunData(d.run);
    const QByteArray before = TestSupport::readBytes(d.iniPath());
    SettingsDialog &form = d.open();
    d.enterAll({u"titleBox=新标题"_s, u"drawCountBox=9"_s, u"dataFileBox=别的.txt"_s, u"showColumnBox(1)=0"_s,
                u"titleFontBox=48"_s, u"onePerPressOption=1"_s, u"separatorBox=,"_s});
    if (how == u"button")
        d.click(u"cancelButton"_s);
    else if (how == u"escape")
        QTest::keyClick(d.find(u"drawCountBox"_s), Qt::Key_Escape);
    else
        form.close();

    QCOMPARE(form.result(), int(QDialog::Rejected));
    QVERIFY(!form.isVisible());
    QCOMPARE(TestSupport::readBytes(d.iniPath()), before);
    QCOMPARE(d.settings.titleText, u"欢迎使用ZOP摇号工具"_s);
    QCOMPARE(d.settings.drawCount, 5);
    QCOMPARE(d.settings.dataFile, u"测试数据.txt"_s);
    QCOMPARE(d.settings.fieldSeparator, u"\t"_s);
    QCOMPARE(d.settings.winnerColumns, 0);
    QCOMPARE(d.run.entryTable.entryCount(), 1);
    QCOMPARE(d.run.winnerList.size(), 1);
    QVERIFY(d.mainWindow.calls.isEmpty());
    QVERIFY(d.boxes.shown.isEmpty());

    // The next opening shows the settings again, not what was typed.
    d.open();
    QCOMPARE(d.shown(u"titleBox"_s), u"欢迎使用ZOP摇号工具"_s);
    QCOMPARE(d.shown(u"columns"_s), u"111"_s);
}

void TestSettingsDialog::newEvent_data()
{
    QTest::addColumn<bool>("blocked"); // a file named 历史结果 where the folder should go
    QTest::addColumn<bool>("yes");
    QTest::addColumn<QString>("said");

    const QString question = u"将把 2 个结果文件（共 3 名中奖者）移入“历史结果”文件夹，开始新活动吗？"_s;
    QTest::newRow("Yes: moved") << false << true << question + u"|新活动已开始，结果文件已移入“%1”。"_s;
    QTest::newRow("No") << false << false << question;
    QTest::newRow("archive folder cannot be created") << true << true
                                                      << question + u"|无法创建文件夹“%2”，结果文件均未移动。"_s;
}

void TestSettingsDialog::newEvent()
{
    QFETCH(bool, blocked);
    QFETCH(bool, yes);
    QFETCH(QString, said);
    Dialog d;
    // A verifiable draw's list and record belong to its event as well.
    const QStringList names{u"出号结果20240315_093007.txt"_s, u"出号结果20240315_101500_三等奖.txt"_s,
                            u"摇号名单20240315_101500.txt"_s, u"摇号记录20240315_101500.txt"_s};
    TestSupport::writeBytes(d.dir.filePath(names[0]), gbk(u"A1\t名1\t部1\r\nA2\t名2\t部2\r\n"_s));
    TestSupport::writeBytes(d.dir.filePath(names[1]), gbk(u"A3\t名3\t部3\r\n"_s));
    TestSupport::writeBytes(d.dir.filePath(names[2]), gbk(u"A3\t名3\t部3\r\n"_s));
    TestSupport::writeBytes(d.dir.filePath(names[3]), gbk(u"算法=RFC3797\r\n"_s));
    const QString archive = d.dir.filePath(u"历史结果"_s);
    if (blocked)
        TestSupport::writeBytes(archive, "");
    d.boxes.answers = {yes ? MessageBoxes::Answer::Yes : MessageBoxes::Answer::No};
    SettingsDialog &form = d.open();
    d.click(u"newEventButton"_s);

    const bool moved = yes && !blocked;
    const QStringList folders = QDir(archive).entryList(QDir::Dirs | QDir::NoDotAndDotDot);
    const QString folder = folders.isEmpty() ? QString() : QDir(archive).filePath(folders[0]);
    QCOMPARE(d.boxes.texts().join(u'|'), said.replace(u"%1"_s, QDir::toNativeSeparators(folder))
                                             .replace(u"%2"_s, QDir::toNativeSeparators(archive)));
    // Everyone takes part again: no result file is left beside the program.
    QCOMPARE(QDir(d.dir.path()).entryList({u"出号结果*"_s, u"摇号*"_s}), moved ? QStringList() : names);
    QCOMPARE(moved ? TestSupport::folderEntries(folder) : folders, moved ? names : QStringList());
    QVERIFY(form.isVisible());
    QCOMPARE(d.mainWindow.calls, moved ? QStringList{u"endEvent"_s} : QStringList());
}

void TestSettingsDialog::separatorShortcuts()
{
    Dialog d;
    d.open();
    d.enter(u"separatorBox"_s, u"abc,"_s);
    auto *label = d.find<QLabel>(u"separatorLink(0)"_s);
    QCOMPARE(label->text(), u"TAB符"_s);
    QTest::mouseClick(label, Qt::LeftButton);
    QCOMPARE(d.shown(u"separatorBox"_s), u"{tab}"_s);
    QCOMPARE(d.find<QLabel>(u"separatorLink(1)"_s)->text(), u"空格符"_s);
    QTest::mouseClick(d.find(u"separatorLink(1)"_s), Qt::LeftButton);
    QCOMPARE(d.shown(u"separatorBox"_s), u"{space}"_s);
    QTest::mouseClick(label, Qt::RightButton);
    QCOMPARE(d.shown(u"separatorBox"_s), u"{space}"_s);

    d.click(u"saveButton"_s);
    QCOMPARE(d.stored(u"数据字段分隔符"_s), u"{space}"_s);
    QCOMPARE(d.settings.fieldSeparator, u" "_s);
}

void TestSettingsDialog::lengthLimits_data()
{
    QTest::addColumn<QString>("control");
    QTest::addColumn<int>("limit");
    QTest::newRow("roll lower bound 3") << u"rollCountMinBox"_s << 3;
    QTest::newRow("roll upper bound 3") << u"rollCountMaxBox"_s << 3;
    QTest::newRow("data file 50") << u"dataFileBox"_s << 50;
    QTest::newRow("separator 15") << u"separatorBox"_s << 15;
}

void TestSettingsDialog::lengthLimits()
{
    QFETCH(QString, control);
    QFETCH(int, limit);
    Dialog d;
    d.open();
    d.enter(control, QString(limit + 5, u'9'));
    QCOMPARE(d.shown(control), QString(limit, u'9'));
}

void TestSettingsDialog::editContents_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("separator");
    QTest::addColumn<bool>("opens");
    QTest::addColumn<QString>("dataFile");
    QTest::addColumn<QString>("fieldSeparator");
    QTest::addColumn<QStringList>("firstEntry");

    const QString shippedName = u"测试数据.txt"_s;
    QTest::newRow("empty name does nothing")
        << QString() << u"{tab}"_s << false << shippedName << u"\t"_s << QStringList();
    QTest::newRow("blank-only name does nothing")
        << u"   "_s << u"{tab}"_s << false << shippedName << u"\t"_s << QStringList();
    QTest::newRow("empty separator does nothing")
        << u"名单.txt"_s << QString() << false << shippedName << u"\t"_s << QStringList();
    QTest::newRow("typed blank separator does nothing")
        << u"名单.txt"_s << u" "_s << false << shippedName << u"\t"_s << QStringList();
    QTest::newRow("{space} opens with a blank")
        << u"  名单.txt "_s << u"{space}"_s << true << u"名单.txt"_s << u" "_s
        << QStringList{u"B01"_s, u"赵六"_s, u"财务部"_s};
    QTest::newRow("typed tab opens with a tab")
        << shippedName << u"\t"_s << true << shippedName << u"\t"_s
        << QStringList{u"A0001"_s, u"罗超"_s, u"研发部"_s};
    QTest::newRow("{tab} opens the shipped file")
        << shippedName << u"{tab}"_s << true << shippedName << u"\t"_s
        << QStringList{u"A0001"_s, u"罗超"_s, u"研发部"_s};
}

// "编辑内容" sets the two values in memory only; they outlive a cancel, the file keeps its own.
void TestSettingsDialog::editContents()
{
    QFETCH(QString, name);
    QFETCH(QString, separator);
    QFETCH(bool, opens);
    QFETCH(QString, dataFile);
    QFETCH(QString, fieldSeparator);
    QFETCH(QStringList, firstEntry);

    Dialog d;
    TestSupport::writeBytes(d.dir.filePath(u"名单.txt"_s), gbk(u"B01 赵六 财务部\r\nB02 钱七 人事部\r\n"_s));
    const QByteArray before = TestSupport::readBytes(d.iniPath());
    SettingsDialog &form = d.open();
    d.enter(u"dataFileBox"_s, name);
    d.enter(u"separatorBox"_s, separator);

    EditorWatcher watcher;
    d.click(u"editDataButton"_s);
    QCOMPARE(watcher.openings.size(), opens ? 1 : 0);
    if (opens) {
        const EditorWatcher::Opening &editor = watcher.openings.first();
        QVERIFY(editor.modal);
        QCOMPARE(editor.parent, &form);
        QCOMPARE(editor.frameTitle, u"[数据文件] 文件名："_s + dataFile);
        QCOMPARE(editor.columns, firstEntry);
        QCOMPARE(d.boxes.texts(), QStringList{u"保存完成！"_s}); // the editor saved as it closed
    } else {
        QVERIFY(d.boxes.shown.isEmpty());
    }
    QVERIFY(form.isVisible());
    QCOMPARE(d.settings.dataFile, dataFile);
    QCOMPARE(d.settings.fieldSeparator, fieldSeparator);

    d.click(u"cancelButton"_s);
    QCOMPARE(d.settings.dataFile, dataFile);
    QCOMPARE(d.settings.fieldSeparator, fieldSeparator);
    QCOMPARE(TestSupport::readBytes(d.iniPath()), before);
    QVERIFY(d.mainWindow.calls.isEmpty());
}

void TestSettingsDialog::exportResults_data()
{
    QTest::addColumn<QString>("typed");
    QTest::addColumn<QString>("filter");
    QTest::addColumn<QString>("written");
    QTest::addColumn<QByteArray>("start");
    const QString xlsx = u"Excel 工作簿 (*.xlsx)"_s, csv = u"CSV 文件 (*.csv)"_s;
    QTest::newRow("no extension, Excel") << u"名单"_s << xlsx << u"名单.xlsx"_s << QByteArray("PK");
    QTest::newRow("no extension, CSV") << u"名单"_s << csv << u"名单.csv"_s << QByteArray("\xEF\xBB\xBF");
    QTest::newRow("a dot in the name, CSV") << u"名单3.15"_s << csv << u"名单3.15.csv"_s << QByteArray("\xEF\xBB\xBF");
    QTest::newRow("the extension typed wins") << u"名单.XLSX"_s << csv << u"名单.XLSX"_s << QByteArray("PK");
}

void TestSettingsDialog::exportResults()
{
    QFETCH(QString, typed);
    QFETCH(QString, filter);
    QFETCH(QString, written);
    QFETCH(QByteArray, start);
    Dialog d;
    TestSupport::writeBytes(d.dir.filePath(u"出号结果20240315_093007_三等奖.txt"_s), gbk(u"A1\t名1\t部1\r\nA2\t名2\t部2\r\n"_s));
    d.open();
    QString suggested;
    d.form->chooseExportFile = [&](QWidget *, const QString &s, QString *chosen) {
        suggested = s;
        *chosen = filter;
        return d.dir.filePath(typed);
    };
    d.click(u"exportButton"_s);
    QVERIFY(suggested.startsWith(d.dir.filePath(u"中奖名单"_s)) && suggested.endsWith(u".xlsx"_s));
    const QString file = d.dir.filePath(written);
    QCOMPARE(d.boxes.texts(), QStringList{u"已导出 2 名中奖者到“%1”。"_s.arg(QDir::toNativeSeparators(file))});
    QVERIFY(TestSupport::readBytes(file).startsWith(start));
    d.form->chooseExportFile = [](QWidget *, const QString &, QString *) { return QString(); };
    d.click(u"exportButton"_s);
    QCOMPARE(d.boxes.shown.size(), 1);
}

void TestSettingsDialog::prizeEditor()
{
    QTemporaryDir dir;
    const QString file = dir.filePath(u"奖项设置.txt"_s);
    TestSupport::writeBytes(file, gbk(u"三等奖\t20\r\n坏行\r\n一等奖\t3\tA.jpg\r\n"_s));
    ScriptedMessageBoxes boxes;
    PrizeEditor editor(dir.path() + u'/', boxes);
    QCOMPARE(boxes.texts(), QStringList{u"“奖项设置.txt”有 1 行无法读取，已跳过（每行应为：奖项名称、Tab、人数、可选 Tab 和图片文件名）：\r\n第 2 行：缺少人数（名称后应有 Tab 和人数）"_s});
    auto *table = editor.findChild<QTableWidget *>(u"prizeTable"_s);
    auto click = [&](const QString &name) { QTest::mouseClick(editor.findChild<QPushButton *>(name), Qt::LeftButton); };
    click(u"add"_s);
    table->item(2, 0)->setText(u"特等奖"_s);
    editor.choosePicture = [&](QWidget *, const QString &) { return dir.filePath(u"图/特等奖.png"_s); };
    click(u"picture"_s);
    click(u"up"_s);
    table->setCurrentCell(0, 0);
    click(u"remove"_s);

    // A second 特等奖 is refused; the file is untouched.
    table->item(1, 0)->setText(u"特等奖"_s);
    QVERIFY(!editor.save());
    QCOMPARE(boxes.texts().last(), u"第 2 行：与前面的奖项“特等奖”重名。"_s);
    table->item(1, 0)->setText(u"一等奖"_s);
    // The unread line goes only after a Yes, which Enter does not give.
    QVERIFY(!editor.save());
    QCOMPARE(boxes.shown[boxes.shown.size() - 2].defaultAnswer, MessageBoxes::Answer::No);
    QCOMPARE(TestSupport::readBytes(file), gbk(u"三等奖\t20\r\n坏行\r\n一等奖\t3\tA.jpg\r\n"_s));
    boxes.answers = {MessageBoxes::Answer::Yes};
    QVERIFY(editor.save());
    QCOMPARE(TestSupport::readBytes(file), gbk(u"特等奖\t1\t图/特等奖.png\r\n一等奖\t3\tA.jpg\r\n"_s));
    // Saved all the same, and said.
    QCOMPARE(boxes.texts().last(), u"找不到奖项图片，这些奖项将不显示图片：\r\n特等奖：“%1”\r\n一等奖：“A.jpg”"_s
                                       .arg(QDir::toNativeSeparators(u"图/特等奖.png"_s)));
}

QTEST_MAIN(TestSettingsDialog)
#include "tst_SettingsDialog.moc"
