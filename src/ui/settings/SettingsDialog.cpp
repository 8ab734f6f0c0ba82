#include "SettingsDialog.h"

#include "MainWindowRefresh.h"
#include "draw/EventWinners.h"
#include "draw/RunData.h"
#include "draw/WinnerList.h"
#include "export/ResultExport.h"
#include "settings/IniFile.h"
#include "settings/Settings.h"
#include "settings/ValueText.h"
#include "ui/common/Fonts.h"
#include "ui/common/MessageBoxes.h"
#include "ui/common/Twips.h"
#include "ui/editor/DataFileEditor.h"
#include "ui/prizes/PrizeEditor.h"
#include "ui/sound/SoundSettingsFrame.h"

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
    for (int size : SettingsDialog::fontSizes())
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

// The sound frame sits under the draw settings and pushes the buttons down.
constexpr int soundFrameTop = 4860;
constexpr int buttonsTop = soundFrameTop + SoundSettingsFrame::heightTwips + 150;

} // namespace

const QList<int> &SettingsDialog::fontSizes()
{
    static const QList<int> sizes{6, 8, 9, 10, 11, 12, 14, 16, 18, 20, 22, 24, 26, 28, 36, 48, 72};
    return sizes;
}

SettingsDialog::SettingsDialog(Settings &settings, RunData &run, MessageBoxes &messages, MainWindowRefresh &mainWindow,
                               QWidget *parent)
    : QDialog(parent), settings(settings), run(run), messages(messages), mainWindow(mainWindow)
{
    setWindowTitle(u"ZOP摇号（高级设置）"_s);
    setFixedSize(Twips::toPixels(9900), Twips::toPixels(buttonsTop + 540));
    setFont(Fonts::layoutFont(Fonts::songti(), 9));
    chooseExportFile = [](QWidget *owner, const QString &suggested, QString *filter) {
        return QFileDialog::getSaveFileName(owner, u"导出结果"_s, suggested,
                                            u"Excel 工作簿 (*.xlsx);;CSV 文件 (*.csv)"_s, filter);
    };
    createControls();
    showSettings();
    titleBox->setFocus();
}

// Controls are created in reading order, which is also their tab order.
void SettingsDialog::createControls()
{
    using Twips::rect;

    textFrame = new QGroupBox(u"[标题与文字(\\n表示换行) ]"_s, this);
    textFrame->setObjectName(u"textFrame"_s);
    textFrame->setGeometry(rect(120, 120, 9660, 2940));

    makeLabel(textFrame, u"标题文字："_s, rect(180, 330, 1080, 330));
    titleBox = makeEdit(textFrame, u"titleBox"_s, rect(1260, 330, 6450, 330));
    makeLabel(textFrame, u"字号："_s, rect(7860, 330, 600, 330));
    titleFontBox = makeCombo(textFrame, u"titleFontBox"_s, rect(8460, 330, 960, 330));

    showRollListBox = makeButton<QCheckBox>(textFrame, u"showRollListBox"_s, u"显示滚动列表"_s, rect(180, 750, 1650, 330));
    makeLabel(textFrame, u"结果标题:"_s, rect(1950, 750, 960, 330));
    resultTitleBox = makeEdit(textFrame, u"resultTitleBox"_s, rect(2910, 750, 4800, 330));
    makeLabel(textFrame, u"字号:"_s, rect(7860, 750, 600, 330));
    resultFontBox = makeCombo(textFrame, u"resultFontBox"_s, rect(8460, 750, 960, 330));

    makeLabel(textFrame, u"结果内容:"_s, rect(180, 1170, 1080, 330));
    showIndexBox = makeButton<QCheckBox>(textFrame, u"showIndexBox"_s, u"显示序号"_s, rect(1260, 1170, 1500, 330));
    for (int c = 1; c <= 3; ++c)
        showColumnBox[c] = makeButton<QCheckBox>(textFrame, u"showColumnBox(%1)"_s.arg(c), u"显示列%1"_s.arg(c),
                                          rect(2910 + (c - 1) * 1500, 1170, 1350, 330));

    for (int c = 1; c <= 3; ++c) {
        const int left = 180 + (c - 1) * 3150;
        showRowBox[c] = makeButton<QCheckBox>(textFrame, u"showRowBox(%1)"_s.arg(c), u"滚动显示%1"_s.arg(c),
                                          rect(left, 1590, 1350, 330));
        makeLabel(textFrame, u"字号:"_s, rect(left + 1380, 1590, 540, 330));
        rowFontBox[c] = makeCombo(textFrame, u"rowFontBox(%1)"_s.arg(c), rect(left + 1920, 1590, 960, 330));
    }

    makeLabel(textFrame, u"滚动显示速度："_s, rect(180, 2010, 1290, 330));
    makeLabel(textFrame, u"快"_s, rect(1470, 2010, 240, 330));
    scrollSpeedBar = new QScrollBar(Qt::Horizontal, textFrame);
    scrollSpeedBar->setObjectName(u"scrollSpeedBar"_s);
    scrollSpeedBar->setGeometry(rect(1710, 2040, 1650, 270));
    scrollSpeedBar->setRange(1, 50);
    scrollSpeedBar->setFocusPolicy(Qt::StrongFocus);
    makeLabel(textFrame, u"慢"_s, rect(3390, 2010, 240, 330));
    makeLabel(textFrame, u"随机滚动个数："_s, rect(3840, 2010, 1290, 330));
    rollCountMinBox = makeEdit(textFrame, u"rollCountMinBox"_s, rect(5130, 2010, 540, 330));
    makeLabel(textFrame, u"至"_s, rect(5730, 2010, 240, 330))->setAlignment(Qt::AlignCenter);
    rollCountMaxBox = makeEdit(textFrame, u"rollCountMaxBox"_s, rect(5970, 2010, 540, 330));
    makeLabel(textFrame, u"出号后停留(1/10秒)："_s, rect(6720, 2010, 1980, 330));
    drawPauseBox = makeEdit(textFrame, u"drawPauseBox"_s, rect(8700, 2010, 720, 330));

    makeLabel(textFrame, u"结束语文字："_s, rect(180, 2430, 1080, 330));
    closingTextBox = makeEdit(textFrame, u"closingTextBox"_s, rect(1260, 2430, 8160, 330));

    drawFrame = new QGroupBox(u"[摇号设置]"_s, this);
    drawFrame->setObjectName(u"drawFrame"_s);
    drawFrame->setGeometry(rect(120, 3180, 9660, 1560));

    continuousOption = makeButton<QRadioButton>(drawFrame, u"continuousOption"_s, u"连续出号"_s, rect(180, 330, 1350, 330));
    onePerPressOption = makeButton<QRadioButton>(drawFrame, u"onePerPressOption"_s, u"单个出号"_s, rect(180, 750, 1350, 330));
    makeLabel(drawFrame, u"设定摇出个数"_s, rect(1800, 330, 1350, 330));
    drawCountBox = makeEdit(drawFrame, u"drawCountBox"_s, rect(1800, 720, 1350, 330));
    makeLabel(drawFrame, u"数据文件名"_s, rect(3450, 330, 3000, 330));
    dataFileBox = makeEdit(drawFrame, u"dataFileBox"_s, rect(3450, 720, 3000, 330));
    editDataButton = makePushButton(drawFrame, u"editDataButton"_s, u"编辑内容"_s, rect(3450, 1110, 1200, 360));
    makeLabel(drawFrame, u"数据分隔符"_s, rect(6750, 330, 1800, 330));
    separatorBox = makeEdit(drawFrame, u"separatorBox"_s, rect(6750, 720, 1800, 330));
    const QString shortcuts[2] = {u"TAB符"_s, u"空格符"_s};
    for (int k = 0; k < 2; ++k) {
        separatorLink[k] = makeLabel(drawFrame, shortcuts[k], rect(6750 + k * 750, 1140, 690, 270));
        separatorLink[k]->setObjectName(u"separatorLink(%1)"_s.arg(k));
        separatorLink[k]->setCursor(Qt::PointingHandCursor);
        separatorLink[k]->setStyleSheet(u"color: #0000FF"_s);
        separatorLink[k]->installEventFilter(this);
    }

    // In the free corner under the options, so no other control moves.
    keepWinnersOutBox = makeButton<QCheckBox>(drawFrame, u"keepWinnersOutBox"_s, u"中奖者不再参与"_s, rect(180, 1140, 2400, 330));
    // Beside the editor button: like 中奖者不再参与 it decides how the draw is made.
    verifiableBox = makeButton<QCheckBox>(drawFrame, u"verifiableBox"_s, u"可验证摇号"_s, rect(4800, 1140, 1800, 330));

    soundFrame = new SoundSettingsFrame(settings, messages, this);
    soundFrame->setGeometry(rect(120, soundFrameTop, 9660, SoundSettingsFrame::heightTwips));

    newEventButton = makePushButton(this, u"newEventButton"_s, u"新活动…"_s, rect(120, buttonsTop, 1200, 420));
    prizesButton = makePushButton(this, u"prizesButton"_s, u"奖项设置…"_s, rect(1440, buttonsTop, 1200, 420));
    exportButton = makePushButton(this, u"exportButton"_s, u"导出结果…"_s, rect(2760, buttonsTop, 1200, 420));
    saveButton = makePushButton(this, u"saveButton"_s, u"保存"_s, rect(7140, buttonsTop, 1200, 420));
    cancelButton = makePushButton(this, u"cancelButton"_s, u"取消"_s, rect(8580, buttonsTop, 1200, 420));

    connect(editDataButton, &QPushButton::clicked, this, &SettingsDialog::openDataFileEditor);
    connect(newEventButton, &QPushButton::clicked, this, &SettingsDialog::startNewEvent);
    connect(prizesButton, &QPushButton::clicked, this, &SettingsDialog::openPrizeEditor);
    connect(exportButton, &QPushButton::clicked, this, &SettingsDialog::exportResults);
    connect(cancelButton, &QPushButton::clicked, this, [this] { saveOrCancel(0); });
    connect(saveButton, &QPushButton::clicked, this, [this] { saveOrCancel(1); });
}

void SettingsDialog::showSettings()
{
    const Settings &s = settings;
    titleBox->setText(ValueText::convertLineBreaks(s.titleText, 1));
    showSize(titleFontBox, s.titleFontSize);
    // Only 1 checks a flag box: a hand-edited 2 is saved back as 0, never as an odd value.
    showRollListBox->setChecked(s.showRollList == 1);
    resultTitleBox->setText(ValueText::convertLineBreaks(s.resultTitle, 1));
    showSize(resultFontBox, s.resultFontSize);
    showIndexBox->setChecked(s.winnerShowIndex == 1);

    const bool known = s.winnerColumns >= 0 && s.winnerColumns < int(columnPatterns.size());
    for (int c = 1; c <= 3; ++c)
        showColumnBox[c]->setChecked(known && columnPatterns[s.winnerColumns][c - 1]);

    showRowBox[1]->setChecked(s.showItemA == 1);
    showRowBox[2]->setChecked(s.showItemB == 1);
    showRowBox[3]->setChecked(s.showItemC == 1);
    showSize(rowFontBox[1], s.fontSizeA);
    showSize(rowFontBox[2], s.fontSizeB);
    showSize(rowFontBox[3], s.fontSizeC);
    scrollSpeedBar->setValue(s.scrollSpeed); // the scroll bar keeps it within 1..50
    setLimitedText(rollCountMinBox, QString::number(s.rollCountMin), 3);
    setLimitedText(rollCountMaxBox, QString::number(s.rollCountMax), 3);
    drawPauseBox->setText(QString::number(s.drawPause));
    closingTextBox->setText(ValueText::convertLineBreaks(s.closingText, 1));
    (s.onePerClick != 0 ? onePerPressOption : continuousOption)->setChecked(true);
    drawCountBox->setText(QString::number(s.drawCount));
    setLimitedText(dataFileBox, s.dataFile, 50);
    setLimitedText(separatorBox, escapeSeparator(s.fieldSeparator), 15);
    keepWinnersOutBox->setChecked(s.keepWinnersOut == 1);
    verifiableBox->setChecked(s.verifiableDraw == 1);
    soundFrame->load();

    // A text longer than its box shows its beginning.
    for (QLineEdit *edit : findChildren<QLineEdit *>())
        edit->setCursorPosition(0);
}

void SettingsDialog::saveOrCancel(int index)
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
    AppFiles::loadSettings(settings, settings.appDir);
    const bool runEnds = takingPart() != before;
    if (runEnds)
        run.resetTables();
    mainWindow.applyTitleAndFonts();
    mainWindow.refreshStatus();
    mainWindow.applyRowVisibility();
    mainWindow.runRollList(0);
    if (runEnds)
        mainWindow.disableStartButton();
    else
        mainWindow.keepRun();
    accept();
}

void SettingsDialog::saveSettings()
{
    using ValueText::strOrDefault;
    using ValueText::valInRange;

    const QString file = settings.settingsFile();
    bool written = true;
    auto write = [&](const QString &key, const auto &value) {
        if constexpr (std::is_same_v<std::decay_t<decltype(value)>, QString>)
            written = IniFile::iniWriteValue(file, key, oneLine(value)) && written;
        else
            written = IniFile::iniWriteValue(file, key, value) && written;
    };
    auto flag = [](const QAbstractButton *box) { return box->isChecked() ? 1 : 0; };

    write(u"标题文字"_s, strOrDefault(titleBox->text(), 1, u"欢迎使用ZOP摇号工具"_s));
    write(u"标题字号"_s, valInRange(titleFontBox->currentText(), 6, 48, 25));
    write(u"显示滚动列表"_s, flag(showRollListBox));
    write(u"结果标题"_s,
          strOrDefault(resultTitleBox->text(), 1, u"☆★☆★ 号榜 ☆★☆★\\n=========================="_s));
    write(u"结果字号"_s, valInRange(resultFontBox->currentText(), 6, 32, 12));
    write(u"中奖名单是否显示序号"_s, flag(showIndexBox));
    write(u"中奖名单列显示"_s,
          winnerColumnsValue(showColumnBox[1]->isChecked(), showColumnBox[2]->isChecked(), showColumnBox[3]->isChecked()));

    write(u"项A显示"_s, flag(showRowBox[1]));
    write(u"项B显示"_s, flag(showRowBox[2]));
    write(u"项C显示"_s, flag(showRowBox[3]));
    write(u"字号A"_s, valInRange(rowFontBox[1]->currentText(), 6, 48, 36));
    write(u"字号B"_s, valInRange(rowFontBox[2]->currentText(), 6, 48, 36));
    write(u"字号C"_s, valInRange(rowFontBox[3]->currentText(), 6, 48, 36));

    const int low = valInRange(rollCountMinBox->text(), 5, 999, 20);
    const int high = valInRange(rollCountMaxBox->text(), 5, 999, 40);
    write(u"滚动速度"_s, scrollSpeedBar->value());
    write(u"滚动个数随机小"_s, low);
    write(u"滚动个数随机大"_s, high);
    if (low > high)
        write(u"滚动个数随机大"_s, low);

    write(u"一次性摇出延时"_s, valInRange(drawPauseBox->text(), 1, 99, 5));
    write(u"结束语"_s, strOrDefault(closingTextBox->text(), 1, u"**** 谢谢参与! ****"_s));
    write(u"每点一次出一号标志"_s, continuousOption->isChecked() ? 0 : 1);
    write(u"一次性摇出个数"_s, valInRange(drawCountBox->text(), 1, 99999, 5));
    write(u"数据文件"_s,
          strOrDefault(ValueText::trimBlanks(dataFileBox->text()).toString(), 1, u"测试数据.txt"_s));
    write(u"数据字段分隔符"_s, strOrDefault(escapeSeparator(separatorBox->text()), 1, u"{tab}"_s));
    write(u"中奖者不再参与"_s, flag(keepWinnersOutBox));
    write(u"可验证摇号"_s, flag(verifiableBox));
    written = soundFrame->save(file) && written;

    // Said once, whichever keys failed: the reload that follows shows what the file really holds.
    if (!written)
        messages.error(this, u"保存失败！\r\n文件:"_s + file);
}

void SettingsDialog::openDataFileEditor()
{
    const QString name = ValueText::trimBlanks(dataFileBox->text()).toString();
    const QString separator = separatorBox->text();
    if (name.isEmpty() || ValueText::trimBlanks(separator).isEmpty())
        return;
    // In memory only: the editor works on what is typed, the file keeps the saved values.
    settings.dataFile = name;
    settings.fieldSeparator = ValueText::convertEscapes(separator, 0);
    DataFileEditor editor(settings, messages, this);
    editor.exec();
}

void SettingsDialog::chooseSeparator(int index)
{
    separatorBox->setText(index == 0 ? u"{tab}"_s : u"{space}"_s);
}

void SettingsDialog::startNewEvent()
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

void SettingsDialog::openPrizeEditor()
{
    PrizeEditor editor(settings.appDir, messages, this);
    editor.exec();
}

void SettingsDialog::exportResults()
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

bool SettingsDialog::eventFilter(QObject *watched, QEvent *event)
{
    if (event->type() == QEvent::MouseButtonRelease) {
        const auto *mouse = static_cast<QMouseEvent *>(event);
        for (int k = 0; k < 2; ++k) {
            if (watched == separatorLink[k] && mouse->button() == Qt::LeftButton
                && separatorLink[k]->rect().contains(mouse->position().toPoint())) {
                chooseSeparator(k);
                return true;
            }
        }
    }
    return QDialog::eventFilter(watched, event);
}
