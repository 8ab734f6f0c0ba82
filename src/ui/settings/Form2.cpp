#include "Form2.h"

#include "MainWindowRefresh.h"
#include "draw/EventWinners.h"
#include "draw/RunData.h"
#include "draw/WinnerList.h"
#include "export/ResultExport.h"
#include "settings/INIFileModule1.h"
#include "settings/Settings.h"
#include "settings/zopValstr.h"
#include "ui/common/Fonts.h"
#include "ui/common/MessageBoxes.h"
#include "ui/common/Twips.h"
#include "ui/editor/Form3.h"
#include "ui/prizes/PrizeEditor.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDateTime>
#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QMouseEvent>
#include <QPushButton>
#include <QRadioButton>
#include <QScrollBar>

#include <array>
#include <type_traits>

using namespace Qt::StringLiterals;

namespace {

QLabel *makeLabel(QWidget *parent, const QString &text, QRect geometry)
{
    auto *label = new QLabel(text, parent);
    label->setGeometry(geometry);
    label->setAlignment(Qt::AlignLeft | Qt::AlignVCenter);
    return label;
}

QLineEdit *makeEdit(QWidget *parent, const QString &name, QRect geometry)
{
    auto *edit = new QLineEdit(parent);
    edit->setObjectName(name);
    edit->setGeometry(geometry);
    return edit;
}

QComboBox *makeCombo(QWidget *parent, const QString &name, QRect geometry)
{
    auto *combo = new QComboBox(parent);
    combo->setObjectName(name);
    combo->setGeometry(geometry);
    combo->setEditable(true);
    // A typed size is used as typed; it does not join the list.
    combo->setInsertPolicy(QComboBox::NoInsert);
    for (int size : Form2::fontSizes())
        combo->addItem(QString::number(size));
    return combo;
}

template<typename Button>
Button *makeButton(QWidget *parent, const QString &name, const QString &text, QRect geometry)
{
    auto *button = new Button(text, parent);
    button->setObjectName(name);
    button->setGeometry(geometry);
    return button;
}

QPushButton *makePushButton(QWidget *parent, const QString &name, const QString &text, QRect geometry)
{
    auto *button = makeButton<QPushButton>(parent, name, text, geometry);
    // Enter in a box must not save or open the editor by surprise.
    button->setAutoDefault(false);
    return button;
}

// A stored value longer than a box's limit is shown whole, so opening and saving never cut it.
void setLimitedText(QLineEdit *edit, const QString &text, int limit)
{
    edit->setMaxLength(std::max<qsizetype>(limit, text.size()));
    edit->setText(text);
}

// The open list highlights the size when it lists it, and no other size when it does not.
void showSize(QComboBox *combo, int size)
{
    const QString text = QString::number(size);
    combo->setCurrentIndex(combo->findText(text));
    combo->setCurrentText(text);
}

QString escapeSeparator(QString text)
{
    return text.replace(u'\t', u"{tab}"_s).replace(u' ', u"{space}"_s);
}

// A settings value is one line of the file. A line break pasted into a box is kept in the stored
// form "\n" instead of splitting the line.
QString oneLine(QString text)
{
    return text.replace(u"\r\n"_s, u"\\n"_s).replace(u'\r', u"\\n"_s).replace(u'\n', u"\\n"_s);
}

// Which of the three columns a winnerColumns value shows (0 shows all three).
constexpr std::array<std::array<bool, 3>, 7> columnPatterns{{
    {true, true, true},
    {true, false, false},
    {false, true, false},
    {false, false, true},
    {true, true, false},
    {true, false, true},
    {false, true, true},
}};

int winnerColumnsValue(bool c1, bool c2, bool c3)
{
    for (size_t v = 1; v < columnPatterns.size(); ++v)
        if (columnPatterns[v] == std::array<bool, 3>{c1, c2, c3})
            return static_cast<int>(v);
    return 0; // all three, or none: an empty winner list helps no one
}

} // namespace

const QList<int> &Form2::fontSizes()
{
    static const QList<int> sizes{6, 8, 9, 10, 11, 12, 14, 16, 18, 20, 22, 24, 26, 28, 36, 48, 72};
    return sizes;
}

Form2::Form2(Settings &settings, RunData &run, MessageBoxes &messages, MainWindowRefresh &mainWindow,
             QWidget *parent)
    : QDialog(parent), settings(settings), run(run), messages(messages), mainWindow(mainWindow)
{
    setWindowTitle(u"ZOP摇号（高级设置）"_s);
    setFixedSize(Twips::toPixels(9900), Twips::toPixels(5430));
    setFont(Fonts::layoutFont(Fonts::songti(), 9));
    chooseExportFile = [](QWidget *owner, const QString &suggested, QString *filter) {
        return QFileDialog::getSaveFileName(owner, u"导出结果"_s, suggested,
                                            u"Excel 工作簿 (*.xlsx);;CSV 文件 (*.csv)"_s, filter);
    };
    createControls();
    Form_Load();
    Text1[0]->setFocus();
}

// Controls are created in reading order, which is also their tab order.
void Form2::createControls()
{
    using Twips::rect;

    Frame1 = new QGroupBox(u"[标题与文字(\\n表示换行) ]"_s, this);
    Frame1->setObjectName(u"Frame1"_s);
    Frame1->setGeometry(rect(120, 120, 9660, 2940));

    makeLabel(Frame1, u"标题文字："_s, rect(180, 330, 1080, 330));
    Text1[0] = makeEdit(Frame1, u"Text1(0)"_s, rect(1260, 330, 6450, 330));
    makeLabel(Frame1, u"字号："_s, rect(7860, 330, 600, 330));
    Combo1[2] = makeCombo(Frame1, u"Combo1(2)"_s, rect(8460, 330, 960, 330));

    Check1 = makeButton<QCheckBox>(Frame1, u"Check1"_s, u"显示滚动列表"_s, rect(180, 750, 1650, 330));
    makeLabel(Frame1, u"结果标题:"_s, rect(1950, 750, 960, 330));
    Text3 = makeEdit(Frame1, u"Text3"_s, rect(2910, 750, 4800, 330));
    makeLabel(Frame1, u"字号:"_s, rect(7860, 750, 600, 330));
    Combo1[0] = makeCombo(Frame1, u"Combo1(0)"_s, rect(8460, 750, 960, 330));

    makeLabel(Frame1, u"结果内容:"_s, rect(180, 1170, 1080, 330));
    Check2[0] = makeButton<QCheckBox>(Frame1, u"Check2(0)"_s, u"显示序号"_s, rect(1260, 1170, 1500, 330));
    for (int c = 1; c <= 3; ++c)
        Check2[c] = makeButton<QCheckBox>(Frame1, u"Check2(%1)"_s.arg(c), u"显示列%1"_s.arg(c),
                                          rect(2910 + (c - 1) * 1500, 1170, 1350, 330));

    for (int c = 1; c <= 3; ++c) {
        const int left = 180 + (c - 1) * 3150;
        Check3[c] = makeButton<QCheckBox>(Frame1, u"Check3(%1)"_s.arg(c), u"滚动显示%1"_s.arg(c),
                                          rect(left, 1590, 1350, 330));
        makeLabel(Frame1, u"字号:"_s, rect(left + 1380, 1590, 540, 330));
        Combo2[c] = makeCombo(Frame1, u"Combo2(%1)"_s.arg(c), rect(left + 1920, 1590, 960, 330));
    }

    makeLabel(Frame1, u"滚动显示速度："_s, rect(180, 2010, 1290, 330));
    makeLabel(Frame1, u"快"_s, rect(1470, 2010, 240, 330));
    HScroll1 = new QScrollBar(Qt::Horizontal, Frame1);
    HScroll1->setObjectName(u"HScroll1"_s);
    HScroll1->setGeometry(rect(1710, 2040, 1650, 270));
    HScroll1->setRange(1, 50);
    HScroll1->setFocusPolicy(Qt::StrongFocus);
    makeLabel(Frame1, u"慢"_s, rect(3390, 2010, 240, 330));
    makeLabel(Frame1, u"随机滚动个数："_s, rect(3840, 2010, 1290, 330));
    Text4[0] = makeEdit(Frame1, u"Text4(0)"_s, rect(5130, 2010, 540, 330));
    makeLabel(Frame1, u"至"_s, rect(5730, 2010, 240, 330))->setAlignment(Qt::AlignCenter);
    Text4[1] = makeEdit(Frame1, u"Text4(1)"_s, rect(5970, 2010, 540, 330));
    makeLabel(Frame1, u"出号后停留(1/10秒)："_s, rect(6720, 2010, 1980, 330));
    Text6 = makeEdit(Frame1, u"Text6"_s, rect(8700, 2010, 720, 330));

    makeLabel(Frame1, u"结束语文字："_s, rect(180, 2430, 1080, 330));
    Text1[1] = makeEdit(Frame1, u"Text1(1)"_s, rect(1260, 2430, 8160, 330));

    Frame2 = new QGroupBox(u"[摇号设置]"_s, this);
    Frame2->setObjectName(u"Frame2"_s);
    Frame2->setGeometry(rect(120, 3180, 9660, 1560));

    Option1[0] = makeButton<QRadioButton>(Frame2, u"Option1(0)"_s, u"连续出号"_s, rect(180, 330, 1350, 330));
    Option1[1] = makeButton<QRadioButton>(Frame2, u"Option1(1)"_s, u"单个出号"_s, rect(180, 750, 1350, 330));
    makeLabel(Frame2, u"设定摇出个数"_s, rect(1800, 330, 1350, 330));
    Text2[0] = makeEdit(Frame2, u"Text2(0)"_s, rect(1800, 720, 1350, 330));
    makeLabel(Frame2, u"数据文件名"_s, rect(3450, 330, 3000, 330));
    Text2[1] = makeEdit(Frame2, u"Text2(1)"_s, rect(3450, 720, 3000, 330));
    Command1 = makePushButton(Frame2, u"Command1"_s, u"编辑内容"_s, rect(3450, 1110, 1200, 360));
    makeLabel(Frame2, u"数据分隔符"_s, rect(6750, 330, 1800, 330));
    Text2[2] = makeEdit(Frame2, u"Text2(2)"_s, rect(6750, 720, 1800, 330));
    const QString shortcuts[2] = {u"TAB符"_s, u"空格符"_s};
    for (int k = 0; k < 2; ++k) {
        Label6[k] = makeLabel(Frame2, shortcuts[k], rect(6750 + k * 750, 1140, 690, 270));
        Label6[k]->setObjectName(u"Label6(%1)"_s.arg(k));
        Label6[k]->setCursor(Qt::PointingHandCursor);
        Label6[k]->setStyleSheet(u"color: #0000FF"_s);
        Label6[k]->installEventFilter(this);
    }

    // In the free corner under the options, so no other control moves.
    Check4 = makeButton<QCheckBox>(Frame2, u"Check4"_s, u"中奖者不再参与"_s, rect(180, 1140, 2400, 330));
    // Beside the editor button: like 中奖者不再参与 it decides how the draw is made.
    Check5 = makeButton<QCheckBox>(Frame2, u"Check5"_s, u"可验证摇号"_s, rect(4800, 1140, 1800, 330));

    Command3 = makePushButton(this, u"Command3"_s, u"新活动…"_s, rect(120, 4890, 1200, 420));
    Command4 = makePushButton(this, u"Command4"_s, u"奖项设置…"_s, rect(1440, 4890, 1200, 420));
    Command5 = makePushButton(this, u"Command5"_s, u"导出结果…"_s, rect(2760, 4890, 1200, 420));
    Command2[1] = makePushButton(this, u"Command2(1)"_s, u"保存"_s, rect(7140, 4890, 1200, 420));
    Command2[0] = makePushButton(this, u"Command2(0)"_s, u"取消"_s, rect(8580, 4890, 1200, 420));

    connect(Command1, &QPushButton::clicked, this, &Form2::Command1_Click);
    connect(Command3, &QPushButton::clicked, this, &Form2::Command3_Click);
    connect(Command4, &QPushButton::clicked, this, &Form2::Command4_Click);
    connect(Command5, &QPushButton::clicked, this, &Form2::Command5_Click);
    for (int k = 0; k < 2; ++k)
        connect(Command2[k], &QPushButton::clicked, this, [this, k] { Command2_Click(k); });
}

void Form2::Form_Load()
{
    const Settings &s = settings;
    Text1[0]->setText(zopValstr::convertLineBreaks(s.titleText, 1));
    showSize(Combo1[2], s.titleFontSize);
    // Only 1 checks a flag box: a hand-edited 2 is saved back as 0, never as an odd value.
    Check1->setChecked(s.showRollList == 1);
    Text3->setText(zopValstr::convertLineBreaks(s.resultTitle, 1));
    showSize(Combo1[0], s.resultFontSize);
    Check2[0]->setChecked(s.winnerShowIndex == 1);

    const bool known = s.winnerColumns >= 0 && s.winnerColumns < int(columnPatterns.size());
    for (int c = 1; c <= 3; ++c)
        Check2[c]->setChecked(known && columnPatterns[s.winnerColumns][c - 1]);

    Check3[1]->setChecked(s.showItemA == 1);
    Check3[2]->setChecked(s.showItemB == 1);
    Check3[3]->setChecked(s.showItemC == 1);
    showSize(Combo2[1], s.fontSizeA);
    showSize(Combo2[2], s.fontSizeB);
    showSize(Combo2[3], s.fontSizeC);
    HScroll1->setValue(s.scrollSpeed); // the scroll bar keeps it within 1..50
    setLimitedText(Text4[0], QString::number(s.rollCountMin), 3);
    setLimitedText(Text4[1], QString::number(s.rollCountMax), 3);
    Text6->setText(QString::number(s.drawPause));
    Text1[1]->setText(zopValstr::convertLineBreaks(s.closingText, 1));
    Option1[s.onePerClick != 0 ? 1 : 0]->setChecked(true);
    Text2[0]->setText(QString::number(s.drawCount));
    setLimitedText(Text2[1], s.dataFile, 50);
    setLimitedText(Text2[2], escapeSeparator(s.fieldSeparator), 15);
    Check4->setChecked(s.keepWinnersOut == 1);
    Check5->setChecked(s.verifiableDraw == 1);

    // A text longer than its box shows its beginning.
    for (QLineEdit *edit : findChildren<QLineEdit *>())
        edit->setCursorPosition(0);
}

void Form2::Command2_Click(int index)
{
    if (index == 0) {
        reject();
        return;
    }
    // Fonts, texts, timings and columns leave the run as it is; these change who takes part.
    const auto takingPart = [this] {
        return QStringList{settings.dataFile, settings.fieldSeparator, QString::number(settings.keepWinnersOut),
                           QString::number(settings.verifiableDraw)};
    };
    const QStringList before = takingPart();
    saveSettings();
    Module1::loadSettings(settings, settings.appDir);
    const bool runEnds = takingPart() != before;
    if (runEnds)
        run.resetTables();
    mainWindow.InitSYS2();
    mainWindow.zopViewZTL();
    mainWindow.zopSetViewObj();
    mainWindow.runLabelData(0);
    if (runEnds)
        mainWindow.disableStartButton();
    else
        mainWindow.keepRun();
    accept();
}

void Form2::saveSettings()
{
    using zopValstr::strOrDefault;
    using zopValstr::valInRange;

    const QString file = settings.settingsFile();
    bool written = true;
    auto write = [&](const QString &key, const auto &value) {
        if constexpr (std::is_same_v<std::decay_t<decltype(value)>, QString>)
            written = INIFileModule1::iniWriteValue(file, key, oneLine(value)) && written;
        else
            written = INIFileModule1::iniWriteValue(file, key, value) && written;
    };
    auto flag = [](const QAbstractButton *box) { return box->isChecked() ? 1 : 0; };

    write(u"标题文字"_s, strOrDefault(Text1[0]->text(), 1, u"欢迎使用ZOP摇号工具"_s));
    write(u"标题字号"_s, valInRange(Combo1[2]->currentText(), 6, 48, 25));
    write(u"显示滚动列表"_s, flag(Check1));
    write(u"结果标题"_s,
          strOrDefault(Text3->text(), 1, u"☆★☆★ 号榜 ☆★☆★\\n=========================="_s));
    write(u"结果字号"_s, valInRange(Combo1[0]->currentText(), 6, 32, 12));
    write(u"中奖名单是否显示序号"_s, flag(Check2[0]));
    write(u"中奖名单列显示"_s,
          winnerColumnsValue(Check2[1]->isChecked(), Check2[2]->isChecked(), Check2[3]->isChecked()));

    write(u"项A显示"_s, flag(Check3[1]));
    write(u"项B显示"_s, flag(Check3[2]));
    write(u"项C显示"_s, flag(Check3[3]));
    write(u"字号A"_s, valInRange(Combo2[1]->currentText(), 6, 48, 36));
    write(u"字号B"_s, valInRange(Combo2[2]->currentText(), 6, 48, 36));
    write(u"字号C"_s, valInRange(Combo2[3]->currentText(), 6, 48, 36));

    const int low = valInRange(Text4[0]->text(), 5, 999, 20);
    const int high = valInRange(Text4[1]->text(), 5, 999, 40);
    write(u"滚动速度"_s, HScroll1->value());
    write(u"滚动个数随机小"_s, low);
    write(u"滚动个数随机大"_s, high);
    if (low > high)
        write(u"滚动个数随机大"_s, low);

    write(u"一次性摇出延时"_s, valInRange(Text6->text(), 1, 99, 5));
    write(u"结束语"_s, strOrDefault(Text1[1]->text(), 1, u"**** 谢谢参与! ****"_s));
    write(u"每点一次出一号标志"_s, Option1[0]->isChecked() ? 0 : 1);
    write(u"一次性摇出个数"_s, valInRange(Text2[0]->text(), 1, 99999, 5));
    write(u"数据文件"_s,
          strOrDefault(zopValstr::trimBlanks(Text2[1]->text()).toString(), 1, u"测试数据.txt"_s));
    write(u"数据字段分隔符"_s, strOrDefault(escapeSeparator(Text2[2]->text()), 1, u"{tab}"_s));
    write(u"中奖者不再参与"_s, flag(Check4));
    write(u"可验证摇号"_s, flag(Check5));

    // Said once, whichever keys failed: the reload that follows shows what the file really holds.
    if (!written)
        messages.error(this, u"保存失败！\r\n文件:"_s + file);
}

void Form2::Command1_Click()
{
    const QString name = zopValstr::trimBlanks(Text2[1]->text()).toString();
    const QString separator = Text2[2]->text();
    if (name.isEmpty() || zopValstr::trimBlanks(separator).isEmpty())
        return;
    // In memory only: the editor works on what is typed, the file keeps the saved values.
    settings.dataFile = name;
    settings.fieldSeparator = zopValstr::convertEscapes(separator, 0);
    Form3 editor(settings, messages, this);
    editor.exec();
}

void Form2::Label6_Click(int index)
{
    Text2[2]->setText(index == 0 ? u"{tab}"_s : u"{space}"_s);
}

void Form2::Command3_Click()
{
    const QString dir = settings.appDir;
    const EventWinners event = readEventWinners(dir, settings.fieldSeparator);
    if (event.fileCount == 0) {
        messages.information(this, u"没有摇号结果文件，无需开始新活动。"_s);
        return;
    }
    const QString question = u"将把 %1 个结果文件（共 %2 名中奖者）移入“%3”文件夹，开始新活动吗？"_s
                                 .arg(event.fileCount)
                                 .arg(event.winners.entryCount())
                                 .arg(archiveFolderName());
    if (messages.question(this, question) != MessageBoxes::Answer::Yes)
        return;

    const ArchiveResult archived = archiveResultFiles(dir, QDateTime::currentDateTime());
    if (archived.folder.isEmpty()) {
        messages.error(this, u"无法创建文件夹“%1”，结果文件均未移动。"_s
                                 .arg(QDir::toNativeSeparators(dir + archiveFolderName())));
        return;
    }
    // The old event ends in memory as well: what waits for its files follows them.
    followArchive(run, dir, archived);
    mainWindow.endEvent();
    if (!archived.notMoved.isEmpty()) {
        messages.error(this,
                       u"结果文件"_s + quotedFileNames(archived.notMoved) + u"无法移动，仍留在原处。"_s);
        return;
    }
    messages.information(this, u"新活动已开始，结果文件已移入“%1”。"_s.arg(QDir::toNativeSeparators(archived.folder)));
}

void Form2::Command4_Click()
{
    PrizeEditor editor(settings.appDir, messages, this);
    editor.exec();
}

void Form2::Command5_Click()
{
    const QString suggested = settings.appDir + u"中奖名单"_s
                              + QDateTime::currentDateTime().toString(u"yyyyMMdd_HHmmss"_s) + u".xlsx"_s;
    QString filter;
    QString file = chooseExportFile(this, suggested, &filter);
    if (file.isEmpty())
        return;
    // A name typed without the type's extension gets the one of the type chosen.
    const QString suffix = QFileInfo(file).suffix().toLower();
    if (suffix != u"xlsx"_s && suffix != u"csv"_s)
        file += filter.contains(u"*.csv"_s) ? u".csv"_s : u".xlsx"_s;
    const ResultExport::Outcome outcome = ResultExport::exportEvent(settings.appDir, file);
    switch (outcome.status) {
    case ResultExport::Status::Written:
        messages.information(this, u"已导出 %1 名中奖者到“%2”。"_s.arg(outcome.rows).arg(QDir::toNativeSeparators(file)));
        break;
    case ResultExport::Status::NothingToExport:
        messages.information(this, outcome.message);
        break;
    case ResultExport::Status::Failed:
        messages.error(this, outcome.message);
        break;
    }
}

bool Form2::eventFilter(QObject *watched, QEvent *event)
{
    if (event->type() == QEvent::MouseButtonRelease) {
        const auto *mouse = static_cast<QMouseEvent *>(event);
        for (int k = 0; k < 2; ++k) {
            if (watched == Label6[k] && mouse->button() == Qt::LeftButton
                && Label6[k]->rect().contains(mouse->position().toPoint())) {
                Label6_Click(k);
                return true;
            }
        }
    }
    return QDialog::eventFilter(watched, event);
}
