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

// The advanced settings dialog: shows every setting but the winner list's font size, writes them
// all to the settings file on "保存", reloads them and refreshes the main window. Built to be
// opened modally and discarded; it keeps nothing between openings.
class Form2 : public QDialog
{
    Q_OBJECT

public:
    Form2(Settings &settings, RunData &run, MessageBoxes &messages, MainWindowRefresh &mainWindow,
          QWidget *parent = nullptr);
    Form2(const Form2 &) = delete;
    Form2 &operator=(const Form2 &) = delete;

    // Fills the controls from the settings.
    void Form_Load();
    // 1 "保存", 0 "取消".
    void Command2_Click(int index);
    // "编辑内容": opens the data file editor on the name and separator typed.
    void Command1_Click();
    // 0 "TAB符", 1 "空格符".
    void Label6_Click(int index);
    // "新活动…": after a question naming what is affected, moves the result files into a new
    // archive folder, so that everyone takes part again.
    void Command3_Click();
    // "奖项设置…": the prize list editor.
    void Command4_Click();
    // "导出结果…": the event's results to a .xlsx or .csv file the user names.
    void Command5_Click();

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

    QGroupBox *Frame1 = nullptr;
    std::array<QLineEdit *, 2> Text1{};  // title, closing text
    std::array<QComboBox *, 3> Combo1{}; // 0 result, 2 title; 1 unused
    QCheckBox *Check1 = nullptr;
    QLineEdit *Text3 = nullptr;
    std::array<QCheckBox *, 4> Check2{}; // 0 index, 1..3 columns
    std::array<QCheckBox *, 4> Check3{}; // 1..3
    std::array<QComboBox *, 4> Combo2{}; // 1..3
    QScrollBar *HScroll1 = nullptr;
    std::array<QLineEdit *, 2> Text4{};  // roll count bounds
    QLineEdit *Text6 = nullptr;

    QGroupBox *Frame2 = nullptr;
    std::array<QRadioButton *, 2> Option1{};
    std::array<QLineEdit *, 3> Text2{}; // draw count, data file, separator
    std::array<QLabel *, 2> Label6{};
    QPushButton *Command1 = nullptr;
    QCheckBox *Check4 = nullptr; // 中奖者不再参与
    QCheckBox *Check5 = nullptr; // 可验证摇号
    std::array<QPushButton *, 2> Command2{}; // 0 取消, 1 保存
    QPushButton *Command3 = nullptr; // 新活动…
    QPushButton *Command4 = nullptr; // 奖项设置…
    QPushButton *Command5 = nullptr; // 导出结果…
};
