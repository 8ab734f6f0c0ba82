#include "MainWindow.h"

#include "draw/DrawRandom.h"
#include "draw/EventWinners.h"
#include "draw/RunData.h"
#include "draw/WinnerList.h"
#include "entries/EntryTable.h"
#include "entries/VipList.h"
#include "settings/IniFile.h"
#include "settings/Settings.h"
#include "settings/ValueText.h"
#include "ui/common/CaptionLabel.h"
#include "ui/common/Fonts.h"
#include "ui/common/MessageBoxes.h"
#include "ui/common/PictureBox.h"
#include "ui/common/Pictures.h"
#include "ui/common/WidgetColours.h"
#include "ui/reveal/DrawWaits.h"
#include "ui/reveal/RollingDisplay.h"
#include "ui/reveal/WinnerListText.h"
#include "ui/settings/SettingsDialog.h"
#include "ui/stage/StageView.h"
#include "ui/stage/StageWindow.h"

#include <QApplication>
#include <QCloseEvent>
#include <QComboBox>
#include <QImage>
#include <QDir>
#include <QGroupBox>
#include <QIcon>
#include <QKeyEvent>
#include <QLineEdit>
#include <QMenu>
#include <QMouseEvent>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QResizeEvent>
#include <QShortcut>
#include <QTimer>

#include <algorithm>

using namespace Qt::StringLiterals;
using WidgetColours::setBackColor;
using WidgetColours::setForeColor;

namespace {

const QColor red(0xFF, 0x00, 0x00);
const QColor blue(0x00, 0x00, 0xFF);
const QColor rollingGreen(0x00, 0xC0, 0x00);
const QColor panelColour(0x80, 0x80, 0xFF);

// Sizes a hand-edited settings file can hold that no label could show.
double displayPoints(int points)
{
    return std::clamp(points, 1, 200);
}

template<typename T>
T *named(T *control, const QString &name)
{
    control->setObjectName(name);
    return control;
}

QString indexed(const QString &name, int index)
{
    return name + u'(' + QString::number(index) + u')';
}

QString settingsNotSavedText(const QString &file)
{
    return u"设置文件“"_s + QDir::toNativeSeparators(file) + u"”无法保存，本次设置只在本次运行中有效。"_s;
}

} // namespace

MainWindow::MainWindow(Settings &settings, RunData &run, MessageBoxes &messages, const QString &programDir,
                       QWidget *parent)
    : QWidget(parent),
      settings(settings),
      run(run),
      messages(messages),
      programDir(programDir),
      procedure(settings, run, messages, this),
      closing(run, messages),
      verifiable(std::make_unique<VerifiableDrawDesk>(settings, run, messages, procedure, this, [this] {
          startButton->setEnabled(false);
          startButton->setText(u"开始"_s);
      }))
{
    procedure.addView(this);
    setWindowTitle(u"ZOP摇号 V:1.22"_s);
    setWindowIcon(QIcon(Pictures::windowIcon()));
    // A fixed single border: no maximising, and the size is set only by the layout.
    setWindowFlags(Qt::Window | Qt::WindowTitleHint | Qt::WindowSystemMenuHint
                   | Qt::WindowMinimizeButtonHint | Qt::WindowCloseButtonHint
                   | Qt::MSWindowsFixedSizeDialogHint);
    createControls();
    layout->apply(1.0);
    layout->fitOnScreen();
    layout->centreOnScreen();

    stage = std::make_unique<StageWindow>(*this, procedure, settings, run);
    stage->setKeyHandler([this](int key, bool autoRepeat) { keys->stageKeyPress(key, autoRepeat); });
    // A shortcut of the window, so that it works whichever control has the focus.
    auto *stageKey = new QShortcut(QKeySequence(Qt::Key_F5), this);
    connect(stageKey, &QShortcut::activated, this, &MainWindow::toggleStage);
}

MainWindow::~MainWindow()
{
    // A run processes events inside its handler; the window goes only after it has returned.
    Q_ASSERT(!procedure.isRunning());
}

void MainWindow::createControls()
{
    // Controls without a font of their own take the window's, the usual 宋体 9 pt of a
    // Chinese desktop.
    auto *clientArea = named(new QWidget(this), u"ClientArea"_s);
    layout = std::make_unique<WindowLayout>(*this, *clientArea);
    layout->setFont(this, Fonts::songti(), 9);

    rollListTimer = named(new QTimer(this), u"rollListTimer"_s);
    rollListTimer->setInterval(100);
    connect(rollListTimer, &QTimer::timeout, this, &MainWindow::advanceRollList);

    quickSettingsPanel = named(new QGroupBox(u"[摇号设置]"_s, clientArea), u"quickSettingsPanel"_s);
    setBackColor(quickSettingsPanel, QColor(0xFF, 0xFF, 0xC0));
    quickSettingsPanel->setAutoFillBackground(true);
    setForeColor(quickSettingsPanel, blue);
    statusFrame = named(new QGroupBox(clientArea), u"statusFrame"_s);
    startButton = named(new QPushButton(u"开始"_s, clientArea), u"startButton"_s);
    setBackColor(startButton, QColor(0xFF, 0x80, 0x80));
    layout->setFont(startButton, Fonts::songti(), 26.25, true);
    startButton->setToolTip(u"空格键开始"_s);
    startButton->setEnabled(false);
    displayFrame = named(new QGroupBox(clientArea), u"displayFrame"_s);
    setBackColor(displayFrame, QColor(0xE0, 0xE0, 0xE0));
    displayFrame->setAutoFillBackground(true);
    winnerListFrame = named(new QGroupBox(clientArea), u"winnerListFrame"_s);

    const QColor titleColours[2] = {red, QColor(0x40, 0x40, 0x40)};
    for (int i = 0; i < 2; ++i) {
        titleLabel[i] = named(new CaptionLabel(clientArea), indexed(u"titleLabel"_s, i));
        titleLabel[i]->setText(u"标题"_s);
        titleLabel[i]->setAlignment(Qt::AlignHCenter | Qt::AlignTop);
        setForeColor(titleLabel[i], titleColours[i]);
        layout->setFont(titleLabel[i], Fonts::songti(), 26.25, true);
    }
    const Pictures::Pointing pointing[2] = {Pictures::Pointing::Left, Pictures::Pointing::Right};
    for (int i = 0; i < 2; ++i) {
        widthHandle[i] = named(new PictureBox(clientArea), indexed(u"widthHandle"_s, i));
        widthHandle[i]->setPicture([direction = pointing[i]](QSize size) {
            return Pictures::triangle(direction, size);
        });
        widthHandle[i]->setCursor(Qt::PointingHandCursor);
        connect(widthHandle[i], &PictureBox::clicked, this, [this, i] { collapseOrExpand(i); });
    }
    widthHandle[1]->hide();
    flashPanel = named(new CaptionLabel(clientArea), u"flashPanel"_s);
    setBackColor(flashPanel, panelColour);
    flashPanel->setAutoFillBackground(true);
    openPanelTab = named(new CaptionLabel(clientArea), u"openPanelTab"_s);
    openPanelTab->setText(u">>>\r\n摇\r\n号\r\n设\r\n置\r\n>>>\r\n"_s);
    setBackColor(openPanelTab, QColor(0xFF, 0xFF, 0x80));
    openPanelTab->setAutoFillBackground(true);
    setForeColor(openPanelTab, blue);
    layout->setFont(openPanelTab, Fonts::songti(), 10.5);
    openPanelTab->setCursor(Qt::PointingHandCursor);
    stackFrontToBack({quickSettingsPanel, statusFrame, startButton, displayFrame, winnerListFrame, titleLabel[0], titleLabel[1], widthHandle[1],
                      widthHandle[0], flashPanel, openPanelTab});

    // The quick settings panel.
    confirmButton = named(new QPushButton(u"确定设置"_s, quickSettingsPanel), u"confirmButton"_s);
    drawCountBox = named(new QLineEdit(quickSettingsPanel), u"drawCountBox"_s);
    dataFileBox = named(new QLineEdit(quickSettingsPanel), u"dataFileBox"_s);
    dataFileBox->setText(u"测试数据.txt"_s);
    advancedSettingsLink = named(new CaptionLabel(quickSettingsPanel), u"advancedSettingsLink"_s);
    advancedSettingsLink->setText(u" 高级设置 "_s);
    setForeColor(advancedSettingsLink, blue);
    layout->setFont(advancedSettingsLink, Fonts::songti(), 9, false, true);
    advancedSettingsLink->setCursor(Qt::PointingHandCursor);
    closePanelTab = named(new CaptionLabel(quickSettingsPanel), u"closePanelTab"_s);
    closePanelTab->setText(u"<<<\r\n|收\r\n|起\r\n<<<"_s);
    setForeColor(closePanelTab, blue);
    closePanelTab->setCursor(Qt::PointingHandCursor);
    // The panel's small labels were drawn for an 8-point face whose Latin letters are half as
    // wide as an ideograph; the mono cut of 黑体 is one, so "<<<" fits its 17 pixels.
    layout->setFont(closePanelTab, Fonts::heiti(), 8);
    const QString panelCaptions[2] = {u"摇出个数："_s, u"数据文件："_s};
    for (int i = 0; i < 2; ++i) {
        panelCaption[i] = named(new CaptionLabel(quickSettingsPanel), indexed(u"panelCaption"_s, i));
        panelCaption[i]->setText(panelCaptions[i]);
        // The panel's blue is for its caption only.
        setForeColor(panelCaption[i], QApplication::palette().color(QPalette::WindowText));
        layout->setFont(panelCaption[i], Fonts::heiti(), 8);
    }
    stageLink = named(new CaptionLabel(quickSettingsPanel), u"stageLink"_s);
    stageLink->setText(u" 投影大屏 "_s);
    stageLink->setToolTip(u"F5"_s);
    setForeColor(stageLink, blue);
    layout->setFont(stageLink, Fonts::songti(), 9, false, true);
    stageLink->setCursor(Qt::PointingHandCursor);
    prizeRow = std::make_unique<PrizeRow>(quickSettingsPanel, *layout, settings, run, messages, procedure);
    prizeRow->chosen = [this] {
        drawCountBox->setText(QString::number(prizeRow->drawCount()));
        showDrawnCount();
        // The stage names the prize the drop-down shows.
        if (stage)
            stage->view().setPrize(currentPrizeName(), QImage(currentPrizePicture()));
    };
    QComboBox *prizeBox = prizeRow->combo();
    CaptionLabel *prizeCaption = prizeRow->caption();
    stackFrontToBack({prizeBox, confirmButton, dataFileBox, drawCountBox, advancedSettingsLink, stageLink, closePanelTab, prizeCaption,
                      panelCaption[1], panelCaption[0]});

    // The status line.
    const QString statusCaptions[3] = {u"数据文件:"_s, u"记录条数:"_s, u"已出结果:"_s};
    for (int i = 0; i < 3; ++i) {
        statusLabel[i] = named(new CaptionLabel(statusFrame), indexed(u"statusLabel"_s, i));
        statusLabel[i]->setText(statusCaptions[i]);
    }
    setForeColor(statusLabel[2], red);
    layout->setFont(statusLabel[2], Fonts::songti(), 14.25, true);
    stackFrontToBack({statusLabel[2], statusLabel[1], statusLabel[0]});

    // The display area.
    rollList = named(new CaptionLabel(displayFrame), u"rollList"_s);
    setForeColor(rollList, rollingGreen);
    rollList->hide();
    for (int k = 1; k <= 3; ++k) {
        rollingRow[k] = named(new CaptionLabel(displayFrame), indexed(u"rollingRow"_s, k));
        rollingRow[k]->setAlignment(Qt::AlignHCenter | Qt::AlignTop);
        setForeColor(rollingRow[k], rollingGreen);
        layout->setFont(rollingRow[k], k == 1 ? Fonts::heiti() : Fonts::songti(), 36, true);
    }
    backdrop = named(new PictureBox(displayFrame), u"backdrop"_s);
    backdrop->setPicture([](QSize size) { return Pictures::displayBackdrop(size); });
    stackFrontToBack({rollList, rollingRow[3], rollingRow[2], rollingRow[1], backdrop});

    // The winner list.
    winnerListBox = named(new QPlainTextEdit(winnerListFrame), u"winnerListBox"_s);
    winnerListBox->setLineWrapMode(QPlainTextEdit::NoWrap);
    winnerListBox->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    winnerListBox->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    // Rewritten on every refresh, so typing into it would never last.
    winnerListBox->setReadOnly(true);
    winnerListBox->setTextInteractionFlags(Qt::TextSelectableByMouse | Qt::TextSelectableByKeyboard);
    winnerListBox->setTabChangesFocus(true);
    {
        QPalette palette = winnerListBox->palette();
        palette.setColor(QPalette::Base, QColor(0xFF, 0x80, 0x80));
        palette.setColor(QPalette::Text, QColor(0xFF, 0xD7, 0x00));
        winnerListBox->setPalette(palette);
    }
    layout->setFont(winnerListBox, Fonts::heiti(), 15.75, true);

    prizeRow->setPlacements({
        {quickSettingsPanel, 240, 6840, 3495, 1695},   {statusFrame, 120, 8760, 8295, 615},
        {startButton, 1440, 6840, 6375, 1695}, {displayFrame, 240, 1080, 8175, 5175},
        {winnerListFrame, 8760, 840, 5415, 8535},   {titleLabel[0], 120, 120, 14310, 975},
        {titleLabel[1], 140, 140, 14310, 975}, {widthHandle[1], 8280, 7200, 240, 840},
        {widthHandle[0], 8280, 7200, 240, 840}, {flashPanel, 120, 960, 8415, 5415},
        {openPanelTab, 240, 7080, 375, 1335},

        {confirmButton, 1320, 1080, 1935, 375}, {dataFileBox, 1320, 720, 1935, 270},
        {drawCountBox, 1320, 360, 1935, 270},  {advancedSettingsLink, 360, 1200, 855, 255},
        {stageLink, 360, 1425, 855, 255},
        {closePanelTab, 0, 480, 255, 735},        {panelCaption[1], 480, 720, 975, 255},
        {panelCaption[0], 480, 360, 975, 255},   {prizeCaption, 480, 360, 975, 255},
        {prizeBox, 1320, 330, 1935, 330},

        {statusLabel[2], 5280, 170, 2895, 370}, {statusLabel[1], 3120, 240, 1935, 255},
        {statusLabel[0], 120, 240, 2895, 255},

        {rollList, 240, 720, 7335, 3855}, {rollingRow[3], 240, 3480, 7695, 1455},
        {rollingRow[2], 240, 1920, 7695, 1455}, {rollingRow[1], 240, 360, 7695, 1455},
        {backdrop, 0, 0, 8175, 5175},

        {winnerListBox, 120, 240, 5175, 8175},
    });
    prizeRow->show(false);
    layout->setTitles({titleLabel[0], titleLabel[1]});
    layout->setWidthHandles(widthHandle[0], widthHandle[1]);
    layout->setShrinking({panelCaption[0], panelCaption[1], prizeCaption, openPanelTab, closePanelTab, advancedSettingsLink, stageLink});

    connect(startButton, &QPushButton::clicked, this, &MainWindow::startDraw);
    connect(confirmButton, &QPushButton::clicked, this, &MainWindow::confirmQuickSettings);
    connect(openPanelTab, &CaptionLabel::clicked, this, &MainWindow::openQuickSettings);
    connect(closePanelTab, &CaptionLabel::clicked, this, &MainWindow::closeQuickSettings);
    connect(advancedSettingsLink, &CaptionLabel::clicked, this, &MainWindow::openAdvancedSettings);
    connect(stageLink, &CaptionLabel::clicked, this, &MainWindow::toggleStage);
    keys = std::make_unique<KeyRouting>(*this, startButton, winnerListBox);
    startButton->installEventFilter(this);
    winnerListBox->installEventFilter(this);
    // A double-click on a winner's line, or its context menu, redraws an absent winner.
    winnerListBox->viewport()->installEventFilter(this);
    winnerListBox->setContextMenuPolicy(Qt::CustomContextMenu);
    connect(winnerListBox, &QWidget::customContextMenuRequested, this, &MainWindow::showWinnerMenu);

    setTabOrder(prizeBox, drawCountBox);
    setTabOrder(drawCountBox, dataFileBox);
    setTabOrder(dataFileBox, confirmButton);
    setTabOrder(confirmButton, startButton);
    setTabOrder(startButton, winnerListBox);
    drawCountBox->setFocus();
}

void MainWindow::stackFrontToBack(std::initializer_list<QWidget *> controls)
{
    for (auto it = std::rbegin(controls); it != std::rend(controls); ++it)
        (*it)->raise();
}

void MainWindow::startUp()
{
    procedure.drawRandom().reseedFromClock();
    const AppFiles::SettingsSource source = AppFiles::loadSettings(settings, run, programDir);
    const QString file = QDir::toNativeSeparators(settings.settingsFile());
    if (source == AppFiles::SettingsSource::MissingFile)
        messages.error(this, u"找不到设置文件，已使用默认设置。"_s);
    else if (source == AppFiles::SettingsSource::NotAFile)
        messages.error(this, u"设置文件“"_s + file + u"”是一个文件夹，已使用默认设置。"_s);
    else if (source == AppFiles::SettingsSource::Unreadable)
        messages.error(this, u"无法读取设置文件“"_s + file + u"”，已使用默认设置。"_s);
    applyTitleAndFonts();
    loadPrizes(true);
    reportOddResultFiles();
    refreshStatus();
    applyRowVisibility();
}

void MainWindow::reportOddResultFiles()
{
    QStringList copies;
    for (const QString &file : lookAlikeResultFiles(settings.appDir)) {
        if (!oddFilesNamed.contains(file))
            copies.append(file);
    }
    QStringList cut;
    for (const QString &line : partialResultLines(settings.appDir)) {
        if (!oddFilesNamed.contains(line))
            cut.append(line);
    }
    oddFilesNamed += copies + cut;
    QStringList said;
    if (!copies.isEmpty())
        said.append(u"文件"_s + quotedFileNames(copies)
                    + u"不是本程序的结果文件（可能是副本或备份），其中的人不算中奖者；“新活动…”会把它们一并归档。"_s);
    if (!cut.isEmpty())
        said.append(u"结果文件的最后一行没有写完（程序曾被强行结束），该行不算中奖者：\r\n"_s + cut.join(u"\r\n"_s));
    if (!said.isEmpty())
        messages.information(this, said.join(u"\r\n"_s));
}

void MainWindow::applyTitleAndFonts()
{
    layout->setFontPoints(rollingRow[1], displayPoints(settings.fontSizeA));
    layout->setFontPoints(rollingRow[2], displayPoints(settings.fontSizeB));
    layout->setFontPoints(rollingRow[3], displayPoints(settings.fontSizeC));
    titleLabel[0]->setText(settings.titleText);
    titleLabel[1]->setText(titleLabel[0]->text());
    layout->setFontPoints(titleLabel[0], displayPoints(settings.titleFontSize));
    layout->setFontPoints(titleLabel[1], displayPoints(settings.titleFontSize));
    layout->setFontPoints(winnerListBox, displayPoints(settings.resultFontSize));
}

void MainWindow::refreshStatus()
{
    statusLabel[0]->setText(u"数据文件:"_s + settings.dataFile);
    statusLabel[1]->setText(u"记录条数:"_s + QString::number(run.entryTable.entryCount()));
    showDrawnCount();
    drawCountBox->setText(QString::number(prizeRow->drawCount()));
    dataFileBox->setText(settings.dataFile);
    if (stage)
        stage->refresh();
}

void MainWindow::showDrawnCount()
{
    const PrizeRow::Tally tally = prizeRow->statusTally();
    if (tally.count == 0) {
        // Absent winners were replaced: they are not counted.
        statusLabel[2]->setText(u"已出结果:"_s + QString::number(run.winnerList.size() - run.absentWinners.size())
                           + u'/' + QString::number(settings.drawCount));
        return;
    }
    const QString count = u" 已出:"_s + QString::number(tally.won) + u'/' + QString::number(tally.count);
    // The count always shows; a long prize name gives way.
    const QFontMetricsF metrics(statusLabel[2]->font());
    const qreal room = statusLabel[2]->width() - metrics.horizontalAdvance(count) - 2;
    statusLabel[2]->setText(metrics.elidedText(tally.name, Qt::ElideRight, std::max<qreal>(room, 0)) + count);
}

void MainWindow::applyRowVisibility()
{
    const int shown[4] = {0, settings.showItemA, settings.showItemB, settings.showItemC};
    for (int k = 1; k <= 3; ++k)
        rollingRow[k]->setHidden(shown[k] != 1);
}

void MainWindow::showWinnerList()
{
    const QString heading = run.prize.isEmpty() ? settings.resultTitle
                                                : QString(run.prize + u" 中奖名单\r\n"_s + settings.resultTitle);
    const QString text = WinnerListText::text(heading, run.winnerList, settings.winnerShowIndex,
                                              settings.winnerColumns, run.absentWinners);
    // The box keeps one character per line break where the text has CR LF.
    winnerListBox->setPlainText(text);
    const qsizetype caret = WinnerListText::caretPosition(text);
    const qsizetype crs = QStringView(text).left(caret).count(u'\r');
    QTextCursor cursor = winnerListBox->textCursor();
    cursor.setPosition(int(caret - crs));
    winnerListBox->setTextCursor(cursor);
    winnerListBox->setFocus();
}

void MainWindow::runRollList(int start)
{
    if (start == 1) {
        rollListTimer->start();
        rollList->show();
    } else {
        rollListTimer->stop();
        rollList->hide();
    }
}

void MainWindow::advanceRollList()
{
    ++rollListStart;
    fillRollList(rollListStart);
    if (rollListStart >= run.entryTable.entryCount())
        rollListStart = 0;
}

void MainWindow::fillRollList(int start)
{
    const std::optional<QString> text = RollingDisplay::rollListText(run.entryTable, start);
    if (!text)
        return;
    rollList->setText(*text);
    DrawWaits::processPendingEvents();
}

void MainWindow::collapseOrExpand(int index)
{
    if (index == 0 || index == 1)
        layout->setExpanded(index == 1);
}

void MainWindow::resizeEvent(QResizeEvent *event)
{
    QWidget::resizeEvent(event);
    layout->windowResized();
    showDrawnCount();
}

void MainWindow::showEvent(QShowEvent *event)
{
    QWidget::showEvent(event);
    layout->windowShown();
}

void MainWindow::showRollingEntry(int entry)
{
    if (entry < 1 || entry > run.entryTable.entryCount())
        return;
    for (int k = 1; k <= 3; ++k)
        rollingRow[k]->setText(run.entryTable.column(entry, k).toString());
}

void MainWindow::setAdvancedSettingsHandler(std::function<void()> handler)
{
    advancedSettings = std::move(handler);
}

void MainWindow::confirmQuickSettings()
{
    // The run walks the tables and the draw order; nothing may replace them under it.
    if (procedure.isRunning())
        return;
    const int drawCount = ValueText::valInRange(drawCountBox->text(), 1, 99999, 5);
    if (!prizeRow->mayDraw(drawCount))
        return;
    reportOddResultFiles();
    // Read before anything changes, so that stopping at an unreadable file changes nothing.
    EventWinners event;
    if (settings.keepWinnersOut == 1 && !procedure.readEventWinnersAsking(event))
        return;

    if (run.winnerList.size() <= 1) {
        clearWinnerList(run);
        showWinnerList();
        // The closing text may have shown a row the settings hide.
        applyRowVisibility();
    } else {
        if (messages.question(this, u"已有摇奖结果是否清除？"_s) != MessageBoxes::Answer::Yes)
            return;
        clearWinnerList(run);
        showWinnerList();
        applyRowVisibility();
        DrawWaits::processPendingEvents();
    }
    procedure.forgetFinishedRun();
    run.verifiable.clear();

    const QString settingsFile = settings.settingsFile();
    // The run is for the prize the drop-down shows; its result file will name it.
    run.prize = prizeRow->currentName();
    prizeRow->confirmCount(drawCount);
    bool saved = IniFile::iniWriteValue(settingsFile, u"一次性摇出个数"_s, drawCount);
    settings.drawCount = drawCount;

    const QString dataFile = dataFileBox->text();
    saved = IniFile::iniWriteValue(settingsFile, u"数据文件"_s, dataFile) && saved;
    settings.dataFile = dataFile;
    // The values in memory still apply; said once, before anything else can look like success.
    if (!saved)
        messages.error(this, settingsNotSavedText(settingsFile));

    loadEntryFile(settings.dataFilePath(), settings.fieldSeparator, run.entryTable);
    loadEntryFile(settings.excludeFile, settings.fieldSeparator, run.excludeList);
    loadVipFile(settings.vipFile(), settings.fieldSeparator, run.vipList);
    run.earlierWinners = std::move(event.winners);
    if (settings.verifiableDraw == 1 && !verifiable->allowed()) {
        startButton->setEnabled(false);
        return;
    }

    // The count is checked against the entries that take part, the exclusion list and the
    // earlier winners left out; those never roll by either.
    const bool prepared = procedure.prepare();
    // Said with either outcome, so that the organiser sees why fewer people take part.
    const QString keptOut = run.earlierWinnersKeptOut > 0
        ? u"\r\n本次活动已中奖的 "_s + QString::number(run.earlierWinnersKeptOut) + u" 人不再参与。"_s
        : QString();
    if (!prepared) {
        messages.error(this, u"一次性摇出号太多"_s + keptOut);
        drawCountBox->setText(u"1"_s);
        if (!IniFile::iniWriteValue(settingsFile, u"一次性摇出个数"_s, u"1"_s) && saved)
            messages.error(this, settingsNotSavedText(settingsFile));
        settings.drawCount = 1;
        // An earlier draw order names entries of the table loaded then.
        startButton->setEnabled(false);
        return;
    }
    if (settings.verifiableDraw == 1 && !verifiable->begin()) {
        startButton->setEnabled(false);
        return;
    }

    refreshStatus();
    for (int k = 1; k <= 3; ++k)
        rollingRow[k]->setText(QString());
    startButton->setEnabled(true);
    run.pressCount = 0;
    startButton->setText(u"开始"_s);
    messages.information(this, verifiable->confirmationText(u"设置完成！"_s + keptOut));
    closeQuickSettings();
    if (settings.showRollList == 1)
        runRollList(1);
}

void MainWindow::openQuickSettings()
{
    quickSettingsPanel->show();
}

void MainWindow::closeQuickSettings()
{
    quickSettingsPanel->hide();
}

void MainWindow::openAdvancedSettings()
{
    // Saving the settings reloads the tables the run is walking.
    if (procedure.isRunning())
        return;
    if (advancedSettings) {
        advancedSettings();
        return;
    }
    SettingsDialog dialog(settings, run, messages, *this, this);
    dialog.exec();
    // The prize list may have been edited, or a new event begun.
    loadPrizes(false);
    reportOddResultFiles();
    refreshStatus();
}

void MainWindow::disableStartButton()
{
    procedure.forgetFinishedRun();
    startButton->setEnabled(false);
    startButton->setText(u"开始"_s);
}

void MainWindow::keepRun()
{
    if (!procedure.hasFinishedRun())
        disableStartButton();
}

void MainWindow::endEvent()
{
    run.discardPreparedDraw();
    runRollList(0);
    disableStartButton();
    refreshStatus();
}

void MainWindow::startDraw()
{
    if (procedure.isRunning())
        return;
    if (run.entryTable.entryCount() == 0) {
        messages.error(this, u"未设置摇奖参数！"_s);
        return;
    }
    runRollList(0);
    procedure.start();
}

void MainWindow::revealStarting(int position, int count)
{
    startButton->setEnabled(false);
    startButton->setText(u"正在摇号("_s + QString::number(position) + u'/' + QString::number(count) + u")..."_s);
}

void MainWindow::winnerFlash(const QColor &colour)
{
    setBackColor(flashPanel, colour.isValid() ? colour : panelColour);
}

void MainWindow::waitingForPress(int, int)
{
    startButton->setEnabled(true);
    startButton->setText(u"继续"_s);
}

void MainWindow::runFinished()
{
    startButton->setEnabled(false);
    startButton->setText(u"摇号结束"_s);
    // The next prize is offered for the next confirmation; the list still shows this run's.
    prizeRow->selectAfterRun();
}

void MainWindow::closingText(const QString &text)
{
    for (int k = 1; k <= 3; ++k)
        rollingRow[k]->setText(QString());
    rollingRow[2]->show();
    rollingRow[2]->setText(text);
}

void MainWindow::closingFlash(const QColor &colour)
{
    setForeColor(rollingRow[2], colour.isValid() ? colour : rollingGreen);
}

int MainWindow::winnerAt(QPoint viewportPos) const
{
    const QTextCursor cursor = winnerListBox->cursorForPosition(viewportPos);
    // Below the last line is no line at all.
    const QRect line = winnerListBox->cursorRect(cursor);
    if (viewportPos.y() < line.top() || viewportPos.y() > line.bottom())
        return 0;
    return WinnerListText::winnerOnLine(cursor.blockNumber(), winnerListBox->document()->blockCount(),
                                        int(run.winnerList.size()));
}

void MainWindow::showWinnerMenu(QPoint viewportPos)
{
    const std::unique_ptr<QMenu> menu(winnerListBox->createStandardContextMenu(viewportPos));
    menu->addSeparator();
    const int winner = winnerAt(viewportPos);
    QAction *redraw = menu->addAction(u"缺席补抽"_s);
    redraw->setEnabled(procedure.canRedraw(winner));
    if (menu->exec(winnerListBox->viewport()->mapToGlobal(viewportPos)) == redraw)
        procedure.redrawAbsentWinner(winner);
}

void MainWindow::keyOnStartButton(int keyAscii)
{
    startFromKey(keyAscii);
}

void MainWindow::keyOnWindow(int keyAscii)
{
    startFromKey(keyAscii);
}

void MainWindow::keyOnWinnerList(int keyAscii)
{
    startFromKey(keyAscii);
}

void MainWindow::startFromKey(int keyAscii)
{
    // Space and Enter.
    if ((keyAscii == 32 || keyAscii == 13) && startButton->isEnabled())
        startDraw();
}

void MainWindow::toggleStage()
{
    stage->toggle();
}

void MainWindow::choosePreviousPrize()
{
    selectPrize(-1);
}

bool MainWindow::eventFilter(QObject *watched, QEvent *event)
{
    if (event->type() == QEvent::MouseButtonDblClick && watched == winnerListBox->viewport()) {
        const int winner = winnerAt(static_cast<QMouseEvent *>(event)->position().toPoint());
        if (procedure.canRedraw(winner)) {
            procedure.redrawAbsentWinner(winner);
            return true;
        }
    }
    if (keys && keys->controlKeyPress(watched, *event))
        return true;
    return QWidget::eventFilter(watched, event);
}

void MainWindow::keyPressEvent(QKeyEvent *event)
{
    if (!keys->windowKeyPress(*event))
        QWidget::keyPressEvent(event);
}

void MainWindow::closeEvent(QCloseEvent *event)
{
    if (procedure.isRunning()) {
        // The run is inside its handler on this window: it ends at its next step without
        // waiting, and the window closes once it has (runStopped).
        procedure.requestStop();
        event->ignore();
        return;
    }
    if (!closing.mayClose(this)) {
        event->ignore();
        return;
    }
    stage->close();
    QWidget::closeEvent(event);
}
