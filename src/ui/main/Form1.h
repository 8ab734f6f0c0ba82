#pragma once

#include "ui/settings/MainWindowRefresh.h"

#include "draw/DrawPreparation.h"

#include <QDateTime>
#include <QStringList>
#include <QWidget>

#include <array>
#include <functional>
#include <memory>
#include <optional>
#include <vector>

struct Settings;
struct EventWinners;
class RunData;
class MessageBoxes;
class DrawRandom;
class CaptionLabel;
class PictureBox;
class QGroupBox;
class QLineEdit;
class QPlainTextEdit;
class QPushButton;
class QShortcut;
class QTimer;

// The main window: title, display area, start button, quick settings and winner list.
// Controls carry the names of the layout (object names as well, "Label1(2)"), and arrays of
// controls are indexed as the layout numbers them.
class Form1 : public QWidget, public MainWindowRefresh
{
    Q_OBJECT

public:
    Form1(Settings &settings, RunData &run, MessageBoxes &messages, const QString &programDir,
          QWidget *parent = nullptr);
    ~Form1() override;

    // Start-up: seeds the generator, loads the settings and applies them. Reads no data file.
    void Form_Load();

    // Title text and the font sizes of the title, the rolling rows and the winner list.
    void InitSYS2() override;
    // Status line and the two quick settings boxes, from the current settings and tables.
    void zopViewZTL() override;
    // Rolling rows shown or hidden as the three column settings say.
    void zopSetViewObj() override;
    // Rebuilds the winner list, puts the caret on its last line and the focus in it.
    void showWinnerList();

    // 1 starts the idle roll list, anything else stops it.
    void runLabelData(int start) override;
    void Timer1_Timer();
    // Twenty lines from after start; an empty table leaves the list as it is.
    void fillRollList(int start);

    // 0 collapses the window to hide the winner list, 1 expands it again.
    void Image2_Click(int index);

    // The rolling rows show the three columns of entry number entry (nothing outside the table).
    void showRollingEntry(int entry);

    // Quick settings confirm: stores the draw count and the data file, loads the lists and
    // prepares the run. Inert while a run is in progress.
    void Command2_Click();
    void Label5_Click(); // opens the quick settings panel
    void Label6_Click(); // closes it
    // The link to the advanced settings: opens the dialog modally (or calls the handler a test
    // set below); nothing during a run, whose tables a save would reload.
    void Label8_Click();
    void setAdvancedSettingsHandler(std::function<void()> handler);
    // Asks for the random numbers of a verifiable draw in place of the dialog (tests); nothing
    // stands for 取消.
    void setRandomInputHandler(std::function<std::optional<QStringList>()> handler);

    // The start button: the whole run, or the next winner in one-per-press mode.
    void Command1_Click();
    void drawContinuous();
    void drawOnePerPress();
    // Rolls to the winner at draw order position p (1-based), flashes, records and lists it.
    void revealWinner(int p);
    // An absent winner (winner list number, 1-based) is redrawn after the run has finished:
    // asked first, then one replacement among those who have not won in the event, revealed
    // like any winner and appended to the list and the run's result file. Also reached by a
    // double-click on the winner's line and its context menu entry "缺席补抽".
    void redrawAbsentWinner(int winner);
    bool canRedraw(int winner) const;

    // Space (32) and Enter (13) start when the start button is enabled; other keys do nothing.
    void Command1_KeyPress(int keyAscii);
    void Form_KeyPress(int keyAscii);
    void Text2_KeyPress(int keyAscii);

    // After the advanced settings are saved: disabled and "开始" until the next preparation.
    void disableStartButton() override;
    bool isRunning() const { return running; }

    // Where the result file's date and time come from; tests fix it.
    using Clock = std::function<QDateTime()>;
    void setClock(Clock clock);

    // Places and sizes every control from the twip layout, scaled by factor.
    void applyLayout(double factor = 1.0);
    // The normal window at factor 1 where it fits into its screen's available area; scaled down
    // where it does not, as far as stays readable.
    void fitOnScreen();

    // Full screen for a projector (F11 switches, Esc leaves): the client area scaled by one
    // factor and centred on the window's screen. Leaving restores the window as it was.
    void toggleFullScreen();
    void leaveFullScreen();
    bool isPresenting() const { return presenting; }
    double layoutScale() const { return layoutFactor; }

    // The generator the rolling sequences use; tests put a seeded one in.
    DrawRandom &drawRandom() { return *random; }
    void setDrawRandom(std::unique_ptr<DrawRandom> generator);

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;
    void keyPressEvent(QKeyEvent *event) override;
    void closeEvent(QCloseEvent *event) override;
    void resizeEvent(QResizeEvent *event) override;
    void showEvent(QShowEvent *event) override;

private:
    struct Placement {
        QWidget *control;
        int left, top, width, height; // twips, in the containing window or frame
    };
    struct FontSpec {
        QWidget *control;
        QString family;
        double points;
        bool bold = false;
        bool underline = false;
    };

    void createControls();
    void placeControls();
    void stackFrontToBack(std::initializer_list<QWidget *> controls);
    void setLayoutFont(QWidget *control, const QString &family, double points, bool bold = false,
                       bool underline = false);
    void setFontPoints(QWidget *control, double points);
    void applyFont(const FontSpec &fontItem);
    void centreOnScreen();
    double windowFactor() const;
    void keepOnScreen();
    // The largest factor at which the client area of the width state fits into area (pixels).
    static double fullScreenFactor(QSize area, bool expanded);
    void enterFullScreen();
    void layOutFullScreen(QSize area);
    QSize clientPixels() const;
    void startFromKey(int keyAscii);
    // body runs with the window marked running; a close asked for meanwhile happens after it.
    void runInHandler(const std::function<void()> &body);
    // Reveals entry like the winner of a draw order position: rolls, flashes, records, lists.
    void revealEntry(int winner);
    // The result files read; false when some could not be and the user would rather stop.
    bool readEventWinnersAsking(EventWinners &event);
    int winnerAt(QPoint viewportPos) const;
    void showWinnerMenu(QPoint viewportPos);
    void showClosingText();
    // A verifiable draw (可验证摇号): refusals before the pool is fixed, its files, the random
    // numbers, a stop when the record cannot be written, and a redraw from the sequence.
    bool verifiableDrawAllowed();
    bool beginVerifiableDraw();
    bool askRandomInput();
    void stopUnrecordedRun();
    void redrawVerifiable(int winner);

    Settings &settings;
    RunData &run;
    MessageBoxes &messages;
    QString programDir;
    std::unique_ptr<DrawRandom> random;
    Clock clock;
    std::function<void()> advancedSettings;
    std::function<std::optional<QStringList>()> randomInput;

    bool running = false;          // a run is inside Command1_Click
    bool closeRequested = false;   // the window was closed during that run
    bool resultErrorShown = false; // one message per prepared run
    bool runFinished = false;      // every position revealed: absent winners can be redrawn
    bool runStopped = false;       // a verifiable winner could not be recorded
    // Worked out when the lists are loaded, so that rolling never walks the exclusion list.
    ExcludedEntries rollExcluded;

    double layoutFactor = 1.0;
    bool expanded = true;
    int titleWidth = 14310; // twips; the handles change it

    // The window as it was before full screen, to come back to exactly.
    struct NormalWindow {
        QRect geometry; // of the client area, which the frame does not move
        bool expanded;
        int titleWidth;
        double factor;
    };
    bool presenting = false;
    NormalWindow normal{};
    QSize presentingArea;  // pixels of the full screen
    QPoint clientOrigin;   // of the scaled client area within the window
    QWidget *clientArea = nullptr; // holds the controls; clips what lies beyond the width state
    QShortcut *leaveKey = nullptr;
    bool screenWatched = false;
    int rollListStart = 0;
    std::vector<Placement> placements;
    std::vector<FontSpec> fonts;

    QTimer *Timer1 = nullptr;
    QGroupBox *Frame1 = nullptr, *Frame2 = nullptr, *Frame3 = nullptr, *Frame4 = nullptr;
    QPushButton *Command1 = nullptr, *Command2 = nullptr;
    std::array<CaptionLabel *, 4> Label1{}; // 1..3, the rolling rows
    std::array<CaptionLabel *, 2> Label2{}; // title and its shadow
    std::array<CaptionLabel *, 3> Label3{}; // status line
    std::array<CaptionLabel *, 2> Label4{}; // captions of the quick settings boxes
    CaptionLabel *Label5 = nullptr, *Label6 = nullptr, *Label7 = nullptr, *Label8 = nullptr;
    CaptionLabel *LabelData = nullptr;
    std::array<PictureBox *, 2> Image2{};
    PictureBox *ImgBK0 = nullptr;
    std::array<QLineEdit *, 2> Text1{};
    QPlainTextEdit *Text2 = nullptr;
};
