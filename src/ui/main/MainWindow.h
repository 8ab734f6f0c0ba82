#pragma once

#include "ui/settings/MainWindowRefresh.h"

#include "ClosingCheck.h"
#include "KeyRouting.h"
#include "PrizeRow.h"
#include "VerifiableDrawDesk.h"
#include "WindowLayout.h"
#include "ui/reveal/DrawProcedure.h"
#include "ui/reveal/DrawView.h"
#include "ui/sound/HallSound.h"

#include <QStringList>
#include <QWidget>

#include <array>
#include <functional>
#include <memory>
#include <optional>
#include <vector>

struct Settings;
class RunData;
class MessageBoxes;
class CaptionLabel;
class PictureBox;
class QGroupBox;
class QLineEdit;
class QPlainTextEdit;
class QPushButton;
class QTimer;
class StageWindow;

// The main window: title, display area, start button, quick settings and winner list.
// Each control's object name is its member's name, "rollingRow(2)" for an element of an array;
// arrays are indexed as the layout numbers them. It starts the draw and is one of its views.
class MainWindow : public QWidget, public MainWindowRefresh, private DrawView
{
    Q_OBJECT

public:
    MainWindow(Settings &settings, RunData &run, MessageBoxes &messages, const QString &programDir,
               QWidget *parent = nullptr);
    ~MainWindow() override;

    // Start-up: seeds the generator, loads the settings and applies them. Reads no data file.
    void startUp();

    // Title text and the font sizes of the title, the rolling rows and the winner list.
    void applyTitleAndFonts() override;
    // Status line and the two quick settings boxes, from the current settings and tables.
    void refreshStatus() override;
    // Rolling rows shown or hidden as the three column settings say.
    void applyRowVisibility() override;
    // Rebuilds the winner list, puts the caret on its last line and the focus in it.
    void showWinnerList();

    // 1 starts the idle roll list, anything else stops it.
    void runRollList(int start) override;
    void advanceRollList();
    // Twenty lines from after start; an empty table leaves the list as it is.
    void fillRollList(int start);

    // 0 collapses the window to hide the winner list, 1 expands it again.
    void collapseOrExpand(int index);

    // The rolling rows show the three columns of entry number entry (nothing outside the table).
    void showRollingEntry(int entry);

    // Quick settings confirm: stores the draw count and the data file, loads the lists and
    // prepares the run. Inert while a run is in progress.
    void confirmQuickSettings();
    void openQuickSettings(); // opens the quick settings panel
    void closeQuickSettings(); // closes it
    // The link to the advanced settings: opens the dialog modally (or calls the handler a test
    // set below); nothing during a run, whose tables a save would reload.
    void openAdvancedSettings();
    void setAdvancedSettingsHandler(std::function<void()> handler);
    // Asks for the random numbers of a verifiable draw in place of the dialog (tests); nothing
    // stands for 取消.
    void setRandomInputHandler(std::function<std::optional<QStringList>()> handler)
    {
        verifiable->setRandomInputHandler(std::move(handler));
    }

    // The prize list and the event's results read again: the drop-down and its row in the quick
    // settings panel, which has the row only while there is a list. Skipped lines of the list
    // are named in a message when reportBadLines is set.
    void loadPrizes(bool reportBadLines) { prizeRow->load(reportBadLines); }
    // The previous (-1) or next (1) prize of the drop-down, for a presenter's PageUp/PageDown.
    void selectPrize(int delta) { prizeRow->select(delta); }
    // The prize the drop-down has chosen and its picture file (full path); "" without.
    QString currentPrizeName() const { return prizeRow->currentName(); }
    QString currentPrizePicture() const { return prizeRow->currentPicture(); }

    // The start button: the whole run, or the next winner in one-per-press mode.
    void startDraw();
    // The draw this window starts; a double-click on a winner's line or its context menu entry
    // "缺席补抽" redraws an absent winner through it.
    DrawProcedure &drawProcedure() { return procedure; }

    // The stage for the audience (F5, or the link under the advanced settings): a second view
    // of this window's draw, beside it on a second screen. Esc or F5 closes it again.
    void toggleStage();
    StageWindow &stageWindow() { return *stage; }
    // M in either window, unless a text box takes the letter: the hall's sound off and on.
    HallSound &hallSound() { return *sound; }
    // Asked before the window closes while winners are not on disk.
    ClosingCheck &closingCheck() { return closing; }
    // PageUp and Left arrow while no run is going: the previous prize of the drop-down.
    void choosePreviousPrize();

    // After the advanced settings are saved: disabled and "开始" until the next preparation.
    void disableStartButton() override;
    void keepRun() override;
    void endEvent() override;
    bool isRunning() const { return procedure.isRunning(); }

    // Places and sizes every control from the twip layout, scaled by factor.
    void applyLayout(double factor = 1.0) { layout->apply(factor); }
    // The normal window at factor 1 where it fits into its screen's available area; scaled down
    // where it does not, as far as stays readable.
    void fitOnScreen() { layout->fitOnScreen(); }

    // Full screen for a projector (F11 switches, Esc leaves): the client area scaled by one
    // factor and centred on the window's screen. Leaving restores the window as it was.
    void toggleFullScreen() { layout->toggleFullScreen(); }
    void leaveFullScreen() { layout->leaveFullScreen(); }
    bool isPresenting() const { return layout->isPresenting(); }
    double layoutScale() const { return layout->factor(); }

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;
    void keyPressEvent(QKeyEvent *event) override;
    void closeEvent(QCloseEvent *event) override;
    void resizeEvent(QResizeEvent *event) override;
    void showEvent(QShowEvent *event) override;

private:
    void createControls();
    void stackFrontToBack(std::initializer_list<QWidget *> controls);
    // The status line's count: the chosen prize's winners in the event, or the run's.
    void showDrawnCount();
    // Names, once each, the files that look like result files but are not (a copy, a backup),
    // and result lines cut short by a kill.
    void reportOddResultFiles();
    int winnerAt(QPoint viewportPos) const;
    void showWinnerMenu(QPoint viewportPos);

    // What the draw shows here.
    void revealStarting(int position, int count) override;
    void rollingEntry(int entry) override { showRollingEntry(entry); }
    void winnerFlash(const QColor &colour) override;
    void winnerRecorded(int) override { showWinnerList(); }
    void revealFinished(int) override { refreshStatus(); }
    void waitingForPress(int position, int count) override;
    void runFinished() override;
    void closingText(const QString &text) override;
    void closingFlash(const QColor &colour) override;
    void runStopped() override { close(); }

    // The colours the draw flashes over and gives back.
    static const QColor rollingGreen;
    static const QColor panelColour;

    Settings &settings;
    RunData &run;
    MessageBoxes &messages;
    QString programDir;
    DrawProcedure procedure;
    std::function<void()> advancedSettings;
    ClosingCheck closing;
    QStringList oddFilesNamed;
    std::unique_ptr<VerifiableDrawDesk> verifiable;

    int rollListStart = 0;
    std::unique_ptr<WindowLayout> layout;
    std::unique_ptr<StageWindow> stage; // gone before the procedure it is a view of
    std::unique_ptr<HallSound> sound;   // likewise

    QTimer *rollListTimer = nullptr;
    QGroupBox *winnerListFrame = nullptr;
    QGroupBox *displayFrame = nullptr;
    QGroupBox *statusFrame = nullptr;
    QGroupBox *quickSettingsPanel = nullptr;
    QPushButton *startButton = nullptr, *confirmButton = nullptr;
    std::array<CaptionLabel *, 4> rollingRow{}; // 1..3, the rolling rows
    std::array<CaptionLabel *, 2> titleLabel{}; // title and its shadow
    std::array<CaptionLabel *, 3> statusLabel{}; // status line
    std::array<CaptionLabel *, 2> panelCaption{}; // captions of the quick settings boxes
    CaptionLabel *openPanelTab = nullptr;
    CaptionLabel *closePanelTab = nullptr;
    CaptionLabel *flashPanel = nullptr;
    CaptionLabel *advancedSettingsLink = nullptr;
    CaptionLabel *rollList = nullptr;
    CaptionLabel *stageLink = nullptr; // the link that opens the stage
    CaptionLabel *soundIndicator = nullptr; // in the status line: muted, or no sound device
    std::array<PictureBox *, 2> widthHandle{};
    PictureBox *backdrop = nullptr;
    QLineEdit *drawCountBox = nullptr, *dataFileBox = nullptr;
    std::unique_ptr<PrizeRow> prizeRow;
    std::unique_ptr<KeyRouting> keys;
    QPlainTextEdit *winnerListBox = nullptr;
};
