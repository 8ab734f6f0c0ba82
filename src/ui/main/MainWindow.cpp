#include "MainWindow.h"

#include "draw/DrawRandom.h"
#include "draw/EventWinners.h"
#include "draw/RunData.h"
#include "draw/WinnerList.h"
#include "entries/Duplicates.h"
#include "entries/EntryTable.h"
#include "entries/VipList.h"
#include "settings/IniFile.h"
#include "settings/Settings.h"
#include "settings/ValueText.h"
#include "ui/common/CaptionLabel.h"
#include "ui/common/MessageBoxes.h"
#include "ui/common/Pictures.h"
#include "ui/common/WidgetColours.h"
#include "ui/reveal/DrawWaits.h"
#include "ui/reveal/RollingDisplay.h"
#include "ui/reveal/WinnerListText.h"
#include "ui/settings/SettingsDialog.h"
#include "ui/stage/StageWindow.h"

#include <QCloseEvent>
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

// Sizes a hand-edited settings file can hold that no label could show.
double displayPoints(int points)
{
    return std::clamp(points, 1, 200);
}

void showSoundState(CaptionLabel *label, HallSound::State state)
{
    switch (state) {
    case HallSound::State::On:
        label->setText(u"♪"_s);
        label->setToolTip(u"声音已开（M键静音）"_s);
        break;
    case HallSound::State::Muted:
        label->setText(u"静音"_s);
        label->setToolTip(u"已静音（M键恢复）"_s);
        break;
    case HallSound::State::Off:
        label->setText(QString());
        label->setToolTip(QString());
        break;
    case HallSound::State::NoDevice:
        label->setText(u"无声"_s);
        label->setToolTip(u"没有声音设备，声音已关闭"_s);
        break;
    }
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

    sound = std::make_unique<HallSound>(procedure, settings, messages, this);
    sound->stateChanged = [this](HallSound::State state) { showSoundState(soundIndicator, state); };
    // Every window of the program; a text box being typed in takes the letter first.
    auto *muteKey = new QShortcut(QKeySequence(Qt::Key_M), this);
    muteKey->setContext(Qt::ApplicationShortcut);
    connect(muteKey, &QShortcut::activated, this, [this] { sound->toggleMute(); });
}

MainWindow::~MainWindow()
{
    // A run processes events inside its handler; the window goes only after it has returned.
    Q_ASSERT(!procedure.isRunning());
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
    if (sound)
        sound->applySettings();
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
    if (settings.verifiableDraw == 1 && (!verifiable->allowed() || !verifiable->takeUpInterrupted())) {
        startButton->setEnabled(false);
        return;
    }
    // A continued draw reveals what its record still owes, for the record's prize.
    if (run.verifiable.isContinued()) {
        settings.drawCount = run.verifiable.winnersToReveal();
        drawCountBox->setText(QString::number(settings.drawCount));
        run.prize = run.verifiable.prize();
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
    messages.information(this, verifiable->confirmationText(u"设置完成！"_s + keptOut + duplicatesNote(run.entryTable)));
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
        messages.error(procedure.dialogWindow(), u"未设置摇奖参数！"_s);
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
