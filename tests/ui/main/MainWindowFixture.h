#pragma once

#include "draw/RunData.h"
#include "settings/Settings.h"
#include "support/ScriptedMessageBoxes.h"
#include "ui/common/CaptionLabel.h"
#include "ui/main/MainWindow.h"
#include "ui/reveal/DrawWaits.h"

#include <QApplication>
#include <QColor>
#include <QDateTime>
#include <QRect>
#include <QTemporaryDir>
#include <QTest>

#include <functional>

// What the main window's tests share: a program folder, the window with a seeded generator and
// a fixed clock, and a recorder standing in for the waits.
namespace MainWindowFixture {

// A program folder holding the shipped files, with some settings changed.
class ProgramDir
{
public:
    explicit ProgramDir(const QList<std::pair<QString, QString>> &changes = {});
    QString path() const { return dir.path(); }
    QString filePath(const QString &name) const { return dir.filePath(name); }
    // Entries "A<i>", "名<i>", "部<i>" for i in first..last, tab-separated, GBK, CR LF.
    void writeEntries(const QString &name, int first, int last);
    QByteArray settingsBytes() const;

private:
    QTemporaryDir dir;
};

// The three columns entry i of writeEntries has, joined by sep.
QString entryLine(int i, const QString &sep = QStringLiteral("\t"));

struct Window {
    explicit Window(const QString &programDir);
    template<typename T = QWidget>
    T *control(const QString &name)
    {
        T *c = form.findChild<T *>(name);
        if (!c)
            qFatal("no control %s", qPrintable(name));
        return c;
    }
    CaptionLabel *label(const QString &name) { return control<CaptionLabel>(name); }
    QWidget *at(int leftTwips, int topTwips);
    // Shown and active, so that keys go to the focused control.
    bool showActive();

    // The time the result files are named after; each reading moves it on by clockStep seconds.
    QDateTime now{QDate(2024, 3, 15), QTime(9, 30, 7)};
    int clockStep = 0;

    Settings settings;
    RunData run;
    ScriptedMessageBoxes messages;
    MainWindow form;
};

// Takes the place of the thread sleep and notes what the window shows at every wait.
class WaitRecorder
{
public:
    struct Wait {
        int milliseconds;
        QString caption;   // startButton's
        bool startEnabled; // startButton's
        QString row1;
        QColor panel;      // flashPanel's back colour
        QColor closing;    // rollingRow(2)'s text colour
        int recorded;      // winners in the run's list
        int listed;        // winner lines the list box shows
        QString status;    // statusLabel(2)'s
    };

    explicit WaitRecorder(Window &window);
    QList<Wait> waits;
    // Runs at every wait after it is noted, with its index.
    std::function<void(int)> atWait;

    // startButton's captions in the order they showed at the waits and at each note(), each once.
    const QStringList &captions() const { return seen; }
    void note();

private:
    Window &w;
    QStringList seen;
    DrawWaits::ScopedSleepFunction fake;
};

// The data file the tests write.
inline const QString listFile = QStringLiteral("名单.txt");

// Opens the quick settings panel if it is closed, types both boxes and presses 确定设置.
void confirm(Window &w, const QString &count, const QString &dataFile = listFile);

// With ZOP_GRAB_DIR set, the window is saved there to be looked at.
void grab(QWidget &window, const QString &name);

// A screen of the offscreen platform; the first one given is the primary.
struct TestScreen {
    const char *name;
    QRect geometry;
};
// Gives the offscreen platform these screens (it reads them once, before the application
// starts), then runs the test class. The main window's layout depends on the screen size,
// and the platform's own 800x600 screen is smaller than the window.
int runOnScreens(int argc, char *argv[], const QList<TestScreen> &screens,
                 const std::function<int(int, char *[])> &run);
} // namespace MainWindowFixture

#define ZOP_MAIN_WINDOW_TEST_MAIN(TestClass)                                                          \
    int main(int argc, char *argv[])                                                            \
    {                                                                                           \
        return MainWindowFixture::runOnScreens(argc, argv, {{"fullhd", QRect(0, 0, 1920, 1080)}},    \
                                          [](int n, char *args[]) {                             \
                                              QApplication app(n, args);                        \
                                              TestClass test;                                   \
                                              return QTest::qExec(&test, n, args);              \
                                          });                                                   \
    }

namespace MainWindowFixture {

} // namespace MainWindowFixture
