#pragma once

#include <QDialog>

#include <array>
#include <functional>

struct Settings;
class RunData;
class MessageBoxes;
class MainWindowRefresh;
class QCheckBox;
class QComboBox;
class QGroupBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QRadioButton;
class QScrollBar;
class SoundSettingsFrame;

// The advanced settings dialog: shows every setting but the winner list's font size, writes them
// all to the settings file on "保存", reloads them and refreshes the main window. Built to be
// opened modally and discarded; it keeps nothing between openings.
class SettingsDialog : public QDialog
{
    Q_OBJECT

public:
    SettingsDialog(Settings &settings, RunData &run, MessageBoxes &messages, MainWindowRefresh &mainWindow,
                   QWidget *parent = nullptr);
    SettingsDialog(const SettingsDialog &) = delete;
    SettingsDialog &operator=(const SettingsDialog &) = delete;

    // Fills the controls from the settings.
    void showSettings();
    // 1 "保存", 0 "取消".
    void saveOrCancel(int index);
    // "编辑内容": opens the data file editor on the name and separator typed.
    void openDataFileEditor();
    // 0 "TAB符", 1 "空格符".
    void chooseSeparator(int index);
    // "新活动…": after a question naming what is affected, moves the result files into a new
    // archive folder, so that everyone takes part again.
    void startNewEvent();
    // "奖项设置…": the prize list editor.
    void openPrizeEditor();
    // "导出结果…": the event's results to a .xlsx or .csv file the user names.
    void exportResults();

    // The export file chooser, a save dialog; tests put their own in its place.
    // filter receives the file type chosen in it.
    std::function<QString(QWidget *parent, const QString &suggested, QString *filter)> chooseExportFile;

    // The font sizes every size box offers.
    static const QList<int> &fontSizes();

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void createControls();
    void saveSettings();

    Settings &settings;
    RunData &run;
    MessageBoxes &messages;
    MainWindowRefresh &mainWindow;

    QGroupBox *textFrame = nullptr;
    QLineEdit *titleBox = nullptr;
    QLineEdit *closingTextBox = nullptr;
    QComboBox *resultFontBox = nullptr;
    QComboBox *titleFontBox = nullptr;
    QCheckBox *showRollListBox = nullptr;
    QLineEdit *resultTitleBox = nullptr;
    QCheckBox *showIndexBox = nullptr;
    std::array<QCheckBox *, 4> showColumnBox{}; // 1..3
    std::array<QCheckBox *, 4> showRowBox{}; // 1..3
    std::array<QComboBox *, 4> rowFontBox{}; // 1..3
    QScrollBar *scrollSpeedBar = nullptr;
    QLineEdit *rollCountMinBox = nullptr;
    QLineEdit *rollCountMaxBox = nullptr;
    QLineEdit *drawPauseBox = nullptr;

    QGroupBox *drawFrame = nullptr;
    QRadioButton *continuousOption = nullptr;
    QRadioButton *onePerPressOption = nullptr;
    QLineEdit *drawCountBox = nullptr;
    QLineEdit *dataFileBox = nullptr;
    QLineEdit *separatorBox = nullptr;
    std::array<QLabel *, 2> separatorLink{};
    QPushButton *editDataButton = nullptr;
    QCheckBox *keepWinnersOutBox = nullptr; // 中奖者不再参与
    QCheckBox *verifiableBox = nullptr; // 可验证摇号
    QPushButton *cancelButton = nullptr;
    QPushButton *saveButton = nullptr;
    QPushButton *newEventButton = nullptr; // 新活动…
    QPushButton *prizesButton = nullptr; // 奖项设置…
    QPushButton *exportButton = nullptr; // 导出结果…
    SoundSettingsFrame *soundFrame = nullptr;
};
