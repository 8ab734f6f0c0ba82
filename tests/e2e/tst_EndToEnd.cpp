#include "RealProgram.h"
#include "SoundServer.h"
#include "XDisplay.h"

#include "settings/IniFile.h"
#include "support/TestSupport.h"
#include "ui/common/Twips.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QSet>
#include <QTest>

#include <algorithm>
#include <cstdio>
#include <unistd.h>
#include <functional>

using namespace Qt::StringLiterals;

namespace {

const QString mainTitle = u"ZOP摇号 V:1.22"_s;
const QString settingsTitle = u"ZOP摇号（高级设置）"_s;
const QString editorTitle = u"ZOP摇号（数据文件编辑）"_s;
const QString messageBoxTitle = u"ZOP摇号"_s;
const QString dataName = u"测试数据.txt"_s;

// Where the controls are, in twips of their window's client area (a frame's offset added).
namespace Layout {
constexpr int frame4Left = 240, frame4Top = 6840; // quick settings panel
const QRect drawCountBox = Twips::rect(frame4Left + 1320, frame4Top + 360, 1935, 270);
const QRect confirmButton = Twips::rect(frame4Left + 1320, frame4Top + 1080, 1935, 375);
const QRect advancedLink = Twips::rect(frame4Left + 360, frame4Top + 1200, 855, 255);
const QRect panelTab = Twips::rect(240, 7080, 375, 1335);
// The third winner's line of the winner list: the box starts at 1080 twips, the heading takes
// two lines of the 12-point list font (about 24 pixels each) and a margin, so of five winners
// the middle one is there, a line or two from either end.
const QPoint thirdWinnerLine = QPoint(Twips::toPixels(8880) + 60, Twips::toPixels(1080) + 4 + 24 * 4 + 12);
// The coloured panel shows as a border around the display area; it flashes with each winner.
const QPoint panelBorder = Twips::rect(120, 960, 120, 120).center();
constexpr int panelColour = 0x8080FF;
// A band across the start button's caption: black when it is enabled, grey when not.
const QRect startCaption = Twips::rect(1440 + 600, 6840 + 600, 6375 - 1200, 495);

constexpr int settingsDrawFrameLeft = 120, settingsDrawFrameTop = 3180;
const QRect singleModeOption = Twips::rect(settingsDrawFrameLeft + 180, settingsDrawFrameTop + 750, 240, 330);
const QRect editContentsButton = Twips::rect(settingsDrawFrameLeft + 3450, settingsDrawFrameTop + 1110, 1200, 360);
constexpr int settingsButtonsTop = 6630; // under the sound frame
const QRect saveButton = Twips::rect(7140, settingsButtonsTop, 1200, 420);
const QRect cancelButton = Twips::rect(8580, settingsButtonsTop, 1200, 420);

constexpr int editorDataFileFrameLeft = 120, editorDataFileFrameTop = 240;
const QRect addButton = Twips::rect(editorDataFileFrameLeft + 6960, editorDataFileFrameTop + 3720, 615, 495);
const QRect importButton = Twips::rect(5880, 4800, 1455, 495);
const QRect editorSaveButton = Twips::rect(7800, 4800, 1455, 495);
} // namespace Layout

// Reveals quickly: five rolling steps of 10 ms, 0.1 s after each winner. The flashes keep
// their fixed lengths.
const QMap<QString, QString> quickDraw = {
    {u"滚动个数随机小"_s, u"5"_s},
    {u"滚动个数随机大"_s, u"5"_s},
    {u"滚动速度"_s, u"1"_s},
    {u"一次性摇出延时"_s, u"1"_s},
};

QList<QByteArray> wholeLines(const QByteArray &bytes)
{
    QList<QByteArray> lines = bytes.split('\n');
    lines.removeLast(); // after the last line end: empty for a file of whole lines
    for (QByteArray &line : lines)
        line.chop(line.endsWith('\r') ? 1 : 0);
    return lines;
}

// A file that can be read but not written, as one open in Excel is on Windows. Root writes to
// read-only files: it gets the immutable attribute (ext4 and most other Linux file systems).
bool setWritable(const QString &path, bool writable)
{
    const auto immutable = [&](bool on) {
        return ::geteuid() != 0 || QProcess::execute(u"chattr"_s, {on ? u"+i"_s : u"-i"_s, path}) == 0;
    };
    const QFileDevice::Permissions readOnly = QFileDevice::ReadOwner | QFileDevice::ReadGroup | QFileDevice::ReadOther;
    // An immutable file's permissions cannot change either.
    if (writable && !immutable(false))
        return false;
    if (!QFile::setPermissions(path, writable ? readOnly | QFileDevice::WriteOwner : readOnly))
        return false;
    if (!writable && !immutable(true))
        return false;
    QFile probe(path);
    return probe.open(QIODevice::Append) == writable;
}

// The steps go to the test's output, so that a failure shows how far the run got.
void note(const QString &step)
{
    std::printf("  step: %s\n", qPrintable(step));
    std::fflush(stdout);
}

#define DO(step)                                                                                \
    do {                                                                                        \
        const QString failure = (step);                                                         \
        QVERIFY2(failure.isEmpty(), qPrintable(failure));                                       \
    } while (false)

// One run of the real program, with the steps a person takes in it.
class Session
{
public:
    explicit Session(XDisplay &display) : display(display), program(display) {}

    RealProgram &app() { return program; }

    // Files named in before are put beside the program too: shipped ones by name, others with their bytes.
    QString startWith(const QMap<QString, QString> &settings, const QMap<QString, QByteArray> &before = {})
    {
        if (const QString failure = program.install(settings); !failure.isEmpty())
            return failure;
        for (auto it = before.cbegin(); it != before.cend(); ++it)
            TestSupport::writeBytes(program.filePath(it.key()),
                                    it.value().isNull() ? TestSupport::readBytes(TestSupport::shippedDataDir() + u'/' + it.key())
                                                        : it.value());
        entries = wholeLines(TestSupport::readBytes(program.filePath(dataName)));
        excluded = wholeLines(TestSupport::readBytes(program.filePath(u"不参与摇号.txt"_s)));
        if (const QString failure = program.start(); !failure.isEmpty())
            return failure;
        return waitForWindow(mainTitle, 30000);
    }

    QString waitFor(const QString &what, const std::function<bool()> &condition, int timeoutMs)
    {
        return QTest::qWaitFor(condition, timeoutMs) ? QString() : gaveUp(what, timeoutMs);
    }

    QString waitForWindow(const QString &title, int timeoutMs = 10000)
    {
        return waitFor(u"the window \""_s + title + u'"', [&] { return program.window(title) != 0; },
                       timeoutMs);
    }

    // What the program shows and printed when a wait for what ran out.
    QString gaveUp(const QString &what, int timeoutMs) const
    {
        QString failure = u"gave up after %1 s waiting for %2"_s.arg(timeoutMs / 1000.0).arg(what);
        if (program.isRunning())
            failure += u"; windows open: "_s + program.windowTitles().join(u", "_s);
        else
            failure += u"; the program has ended (exit code %1)"_s.arg(program.exitCode());
        const QString output = program.output().trimmed();
        if (!output.isEmpty())
            failure += u"; it printed:\n"_s + output.right(4000);
        return failure;
    }

    QString waitForWindowGone(const QString &title, int timeoutMs = 10000)
    {
        return waitFor(u"the window \""_s + title + u"\" to close"_s,
                       [&] { return program.window(title) == 0; }, timeoutMs);
    }

    QString click(const QString &title, QPoint position, int count = 1)
    {
        const unsigned long window = program.window(title);
        if (!window)
            return u"no window \""_s + title + u"\" to click in"_s;
        return display.click(window, position, count);
    }

    QString click(const QString &title, const QRect &control)
    {
        return click(title, control.center());
    }

    QString keys(const QString &title, const QStringList &keys)
    {
        const unsigned long window = program.window(title);
        if (!window)
            return u"no window \""_s + title + u"\" for the keys "_s + keys.join(u' ');
        return display.keys(window, keys);
    }

    QString type(const QString &title, const QString &text)
    {
        const unsigned long window = program.window(title);
        if (!window)
            return u"no window \""_s + title + u"\" to type in"_s;
        return display.type(window, text);
    }

    // Replaces the text of the box at control with text.
    QString fill(const QString &title, const QRect &control, const QString &text)
    {
        QString failure = click(title, control);
        if (failure.isEmpty())
            failure = keys(title, {u"ctrl+a"_s});
        if (failure.isEmpty())
            failure = type(title, text);
        return failure;
    }

    // Waits for a message box and presses Enter on it, which answers its default button (or the
    // key given: "y" for 是(&Y)); then waits for that box to go (another one may follow it at once).
    QString answerMessageBox(const QString &key = u"Return"_s)
    {
        QString failure = waitForWindow(messageBoxTitle);
        const unsigned long box = program.window(messageBoxTitle);
        if (failure.isEmpty())
            failure = keys(messageBoxTitle, {key});
        if (failure.isEmpty())
            failure = waitFor(u"the message box to close"_s, [&] { return program.window(messageBoxTitle) != box; },
                              10000);
        return failure;
    }

    // Repeats action until condition holds: for a control that is inert for a while, such as
    // the advanced settings link while a run ends. Each try waits retryMs for the condition.
    QString retryUntil(const QString &what, const std::function<QString()> &action,
                       const std::function<bool()> &condition, int timeoutMs, int retryMs)
    {
        QElapsedTimer waited;
        waited.start();
        while (!condition()) {
            if (waited.elapsed() > timeoutMs)
                return gaveUp(what, timeoutMs);
            if (const QString failure = action(); !failure.isEmpty())
                return failure;
            (void)QTest::qWaitFor(condition, retryMs);
        }
        return QString();
    }

    // With ZOP_GRAB_DIR set, the window is saved there to be looked at.
    QString grab(const QString &title, const QString &name)
    {
        const QString dir = qEnvironmentVariable("ZOP_GRAB_DIR");
        const unsigned long window = program.window(title);
        if (dir.isEmpty() || !window)
            return dir.isEmpty() ? QString() : u"no window \""_s + title + u"\" to grab"_s;
        return display.image(window).save(dir + u'/' + name + u".png"_s) ? QString() : u"cannot save "_s + name;
    }

    QString requestClose(const QString &title)
    {
        const unsigned long window = program.window(title);
        if (!window)
            return u"no window \""_s + title + u"\" to close"_s;
        return display.requestClose(window);
    }

    // 0xRRGGBB, -1 without the window.
    int pixel(const QString &title, QPoint position) const
    {
        const unsigned long window = program.window(title);
        const QList<int> colours = window ? display.pixels(window, QRect(position, QSize(1, 1))) : QList<int>();
        return colours.value(0, -1);
    }

    bool startButtonEnabled() const
    {
        const unsigned long window = program.window(mainTitle);
        const QList<int> colours = window ? display.pixels(window, Layout::startCaption) : QList<int>();
        return std::any_of(colours.cbegin(), colours.cend(), [](int rgb) {
            return (rgb >> 16 & 0xFF) < 0x50 && (rgb >> 8 & 0xFF) < 0x50 && (rgb & 0xFF) < 0x50;
        });
    }

    QList<QByteArray> resultLines(const QStringList &files) const
    {
        QList<QByteArray> lines;
        for (const QString &name : files)
            lines += wholeLines(TestSupport::readBytes(program.filePath(name)));
        return lines;
    }

    qsizetype resultLineCount(const QStringList &skip = {}) const
    {
        QStringList files = program.resultFiles();
        for (const QString &name : skip)
            files.removeAll(name);
        return resultLines(files).size();
    }

    // Empty when the files hold exactly count lines, each whole, each a different entry of the
    // data file that the exclusion list does not name.
    QString checkResults(const QStringList &files, qsizetype count) const
    {
        QList<QByteArray> lines;
        for (const QString &name : files) {
            const QByteArray bytes = TestSupport::readBytes(program.filePath(name));
            if (!bytes.isEmpty() && !bytes.endsWith("\r\n"))
                return name + u" ends in a partial line"_s;
            lines += wholeLines(bytes);
        }
        if (lines.size() != count)
            return u"%1 hold %2 lines, not %3"_s.arg(files.join(u", "_s)).arg(lines.size()).arg(count);
        QSet<QByteArray> seen;
        for (const QByteArray &line : lines) {
            if (!entries.contains(line))
                return u"a result line is no entry of the data file: "_s + QString::fromLocal8Bit(line.toHex());
            if (excluded.contains(line))
                return u"an excluded entry was drawn"_s;
            if (seen.contains(line))
                return u"an entry was drawn twice"_s;
            seen.insert(line);
        }
        return QString();
    }

    QString closeAndWaitForExit(const QString &title)
    {
        QString failure = requestClose(title);
        if (failure.isEmpty())
            failure = waitFor(u"the program to exit"_s, [&] { return !program.isRunning(); }, 20000);
        if (!failure.isEmpty())
            return failure;
        // A sanitizer report, a leak included, ends the program with a non-zero code.
        if (program.exitStatus() != QProcess::NormalExit)
            return u"the program crashed; it printed:\n"_s + program.output().right(8000);
        if (program.exitCode() != 0)
            return u"the program ended with exit code %1; it printed:\n%2"_s.arg(program.exitCode())
                .arg(program.output().right(8000));
        return QString();
    }

    QList<QByteArray> entries, excluded;

private:
    XDisplay &display;
    RealProgram program;
};

} // namespace

class TestEndToEnd : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void wholeEvent();
    void closingDuringReveal_data();
    void closingDuringReveal();
    void roundsOfOneEvent();
    void verifiableDraw();
    void prizesAndExport();
    void importedRoster();
    void hallHearsTheDraw();

private:
    XDisplay display;
};

void TestEndToEnd::initTestCase()
{
    DO(display.start());
}

// An event as the organiser runs it, with real key presses and clicks: a continuous draw of
// ten, single mode chosen in the advanced settings and three presses, an entry added in the
// editor.
void TestEndToEnd::wholeEvent()
{
    Session s(display);
    DO(s.startWith(quickDraw));
    note(u"main window shown"_s);

    DO(s.fill(mainTitle, Layout::drawCountBox, u"10"_s));
    DO(s.click(mainTitle, Layout::confirmButton));
    DO(s.answerMessageBox());
    note(u"draw count 10 confirmed, message box answered"_s);

    DO(s.keys(mainTitle, {u"space"_s}));
    DO(s.waitFor(u"ten winners in the result file"_s, [&] { return s.resultLineCount() >= 10; }, 60000));
    const QStringList continuousFiles = s.app().resultFiles();
    DO(s.checkResults(continuousFiles, 10));
    QCOMPARE(continuousFiles.size(), 1);
    note(u"continuous draw: 10 whole lines of distinct entries in "_s + continuousFiles[0]);

    // The link is inert until the run has shown its closing text.
    DO(s.click(mainTitle, Layout::panelTab));
    DO(s.retryUntil(u"the advanced settings dialog"_s,
                    [&] { return s.click(mainTitle, Layout::advancedLink); },
                    [&] { return s.app().window(settingsTitle) != 0; }, 20000, 500));
    note(u"advanced settings opened after the run"_s);
    DO(s.click(settingsTitle, Layout::singleModeOption));
    DO(s.click(settingsTitle, Layout::saveButton));
    DO(s.waitForWindowGone(settingsTitle));
    QCOMPARE(IniFile::iniReadValue(s.app().filePath(u"ZOP摇号设置.ini"_s), u"每点一次出一号标志"_s), u"1"_s);
    note(u"single mode saved"_s);

    // Saving display settings kept the finished run, so its winners are cleared first.
    DO(s.fill(mainTitle, Layout::drawCountBox, u"3"_s));
    DO(s.click(mainTitle, Layout::confirmButton));
    DO(s.answerMessageBox()); // 已有摇奖结果是否清除？ Yes
    DO(s.answerMessageBox());
    note(u"draw count 3 confirmed"_s);

    for (int press = 1; press <= 3; ++press) {
        // Between presses the button is disabled until the pause after a winner is over.
        DO(s.waitFor(u"the start button enabled"_s,
                     [&] { return s.startButtonEnabled(); }, 10000));
        DO(s.keys(mainTitle, {u"space"_s}));
        DO(s.waitFor(u"winner %1 of the single mode run"_s.arg(press),
                     [&] { return s.resultLineCount(continuousFiles) >= press; }, 20000));
        note(u"press %1: one more winner"_s.arg(press));
    }
    QStringList singleFiles = s.app().resultFiles();
    for (const QString &name : continuousFiles)
        singleFiles.removeAll(name);
    DO(s.checkResults(singleFiles, 3));
    DO(s.checkResults(continuousFiles, 10));
    note(u"single mode: 3 whole lines in %1 file(s)"_s.arg(singleFiles.size()));

    const QByteArray dataBefore = TestSupport::readBytes(s.app().filePath(dataName));
    DO(s.click(mainTitle, Layout::panelTab));
    DO(s.retryUntil(u"the advanced settings dialog"_s,
                    [&] { return s.click(mainTitle, Layout::advancedLink); },
                    [&] { return s.app().window(settingsTitle) != 0; }, 20000, 500));
    DO(s.click(settingsTitle, Layout::editContentsButton));
    DO(s.waitForWindow(editorTitle));
    note(u"editor opened from the dialog"_s);
    // The editor opens with the focus in the first column; Enter moves on to the next.
    DO(s.type(editorTitle, u"E2E-0001"_s));
    DO(s.keys(editorTitle, {u"Return"_s}));
    DO(s.type(editorTitle, u"Tester"_s));
    DO(s.keys(editorTitle, {u"Return"_s}));
    DO(s.type(editorTitle, u"QA"_s));
    DO(s.click(editorTitle, Layout::addButton));
    DO(s.requestClose(editorTitle));
    DO(s.answerMessageBox()); // 保存完成！
    DO(s.waitForWindowGone(editorTitle));
    QCOMPARE(TestSupport::readBytes(s.app().filePath(dataName)), dataBefore + "E2E-0001\tTester\tQA\r\n");
    note(u"entry added; the editor saved the data file on closing"_s);

    DO(s.click(settingsTitle, Layout::cancelButton));
    DO(s.waitForWindowGone(settingsTitle));
    DO(s.closeAndWaitForExit(mainTitle));
    note(u"main window closed, the program exited with code 0"_s);
}

void TestEndToEnd::closingDuringReveal_data()
{
    QTest::addColumn<int>("onePerPress");
    QTest::addColumn<int>("drawCount");
    QTest::addColumn<int>("scrollSpeed");
    QTest::addColumn<int>("linesFirst"); // the close waits for this many result lines
    QTest::addColumn<bool>("whileFlashing"); // and then for the panel to flash (or to rest)
    QTest::addColumn<int>("recorded");

    // A winner on display is recorded even when the window closes during its flash.
    QTest::newRow("continuous, closed while winner 2 flashes") << 0 << 10 << 1 << 1 << true << 2;
    // Half a second a rolling step: the close comes while winner 2 rolls.
    QTest::newRow("continuous, closed while winner 2 rolls") << 0 << 10 << 50 << 1 << false << 1;
    QTest::newRow("continuous, closed after the last winner") << 0 << 2 << 1 << 2 << false << 2;
    QTest::newRow("one per press, closed while winner 1 flashes") << 1 << 3 << 1 << 0 << true << 1;
}

// The main window closed as a window manager closes it, in the middle of a run: the program
// ends, without a crash or a sanitizer report, and every winner recorded is in the result file.
void TestEndToEnd::closingDuringReveal()
{
    QFETCH(int, onePerPress);
    QFETCH(int, drawCount);
    QFETCH(int, scrollSpeed);
    QFETCH(int, linesFirst);
    QFETCH(bool, whileFlashing);
    QFETCH(int, recorded);

    QMap<QString, QString> settings = quickDraw;
    settings.insert(u"滚动速度"_s, QString::number(scrollSpeed));
    settings.insert(u"每点一次出一号标志"_s, QString::number(onePerPress));
    Session s(display);
    DO(s.startWith(settings));
    DO(s.fill(mainTitle, Layout::drawCountBox, QString::number(drawCount)));
    DO(s.click(mainTitle, Layout::confirmButton));
    DO(s.answerMessageBox());
    QCOMPARE(s.pixel(mainTitle, Layout::panelBorder), Layout::panelColour);

    DO(s.keys(mainTitle, {u"space"_s}));
    DO(s.waitFor(u"%1 result lines"_s.arg(linesFirst), [&] { return s.resultLineCount() >= linesFirst; }, 30000));
    DO(s.waitFor(whileFlashing ? u"the panel to flash"_s : u"the panel at rest"_s,
                 [&] { return (s.pixel(mainTitle, Layout::panelBorder) != Layout::panelColour) == whileFlashing; },
                 10000));
    DO(s.closeAndWaitForExit(mainTitle));
    note(u"closed during the run; the program exited with code 0"_s);

    DO(s.checkResults(s.app().resultFiles(), recorded));
    QCOMPARE(s.app().resultFiles().size(), recorded > 0 ? 1 : 0);
}

// Two rounds of one event with the shipped settings, which keep earlier winners out, then a
// winner of the second round who is not in the room redrawn from the winner list.
void TestEndToEnd::roundsOfOneEvent()
{
    Session s(display);
    DO(s.startWith(quickDraw));
    DO(s.fill(mainTitle, Layout::drawCountBox, u"3"_s));
    DO(s.click(mainTitle, Layout::confirmButton));
    DO(s.answerMessageBox());
    DO(s.keys(mainTitle, {u"space"_s}));
    DO(s.waitFor(u"three winners of round 1"_s, [&] { return s.resultLineCount() >= 3; }, 60000));
    note(u"round 1: three winners"_s);

    // The panel is inert until the run has ended; the count typed is reset until then too.
    const auto messageBoxShown = [&] { return s.app().window(messageBoxTitle) != 0; };
    DO(s.click(mainTitle, Layout::panelTab));
    DO(s.retryUntil(u"the confirmation of round 2"_s, [&] {
        const QString failure = s.fill(mainTitle, Layout::drawCountBox, u"5"_s);
        return failure.isEmpty() ? s.click(mainTitle, Layout::confirmButton) : failure;
    }, messageBoxShown, 20000, 500));
    DO(s.answerMessageBox()); // 已有摇奖结果是否清除？ Yes
    DO(s.answerMessageBox()); // 设置完成！ and the three kept out
    DO(s.keys(mainTitle, {u"space"_s}));
    DO(s.waitFor(u"five winners of round 2"_s, [&] { return s.resultLineCount() >= 8; }, 60000));
    DO(s.checkResults(s.app().resultFiles(), 8));
    note(u"round 2: five more winners, none of round 1"_s);

    // A double-click on a winner's line asks once the run has ended; Enter would answer 否.
    DO(s.retryUntil(u"the question about an absent winner"_s,
                    [&] { return s.click(mainTitle, Layout::thirdWinnerLine, 2); }, messageBoxShown, 20000, 1000));
    DO(s.answerMessageBox(u"y"_s));
    DO(s.waitFor(u"the replacement in the result file"_s, [&] { return s.resultLineCount() >= 9; }, 30000));
    DO(s.checkResults(s.app().resultFiles(), 9));
    note(u"an absent winner redrawn: a ninth line, a new entry"_s);
    DO(s.closeAndWaitForExit(mainTitle));
}

// A verifiable draw of 3, one a press, with typed random numbers; the program is killed while the
// second winner rolls and started again, and confirming goes on with the same record; a winner
// absent and redrawn; then zop-draw --verify, without a display, finds the record consistent and
// its winners are the lines of the result files.
void TestEndToEnd::verifiableDraw()
{
    Session s(display);
    QMap<QString, QString> settings = quickDraw;
    settings.insert(u"可验证摇号"_s, u"1"_s);
    settings.insert(u"每点一次出一号标志"_s, u"1"_s);
    // Half a second a rolling step: time to kill it between the record line and the reveal.
    settings.insert(u"滚动速度"_s, u"50"_s);
    DO(s.startWith(settings));
    DO(s.fill(mainTitle, Layout::drawCountBox, u"3"_s));
    DO(s.click(mainTitle, Layout::confirmButton));
    DO(s.waitForWindow(messageBoxTitle));
    QTest::qWait(300); // the box paints once it is mapped
    DO(s.grab(messageBoxTitle, u"verifiable-confirmation"_s));
    DO(s.answerMessageBox());
    const QStringList records = QDir(s.app().filePath(QString())).entryList({u"摇号记录*.txt"_s});
    QCOMPARE(records.size(), 1);
    note(u"pool and record written"_s);

    const QString inputTitle = u"ZOP摇号（输入随机数）"_s;
    DO(s.keys(mainTitle, {u"space"_s}));
    DO(s.waitForWindow(inputTitle));
    for (const QString &source : {u"9319"_s, u"2 5 12 8 10"_s, u"9 18 26 34 41 45"_s}) {
        DO(s.type(inputTitle, source));
        DO(s.keys(inputTitle, {u"Return"_s}));
    }
    QTest::qWait(300);
    DO(s.grab(inputTitle, u"verifiable-random-numbers"_s));
    DO(s.keys(inputTitle, {u"Tab"_s, u"space"_s})); // 确定
    DO(s.waitFor(u"the first winner"_s, [&] { return s.resultLineCount() >= 1; }, 30000));
    DO(s.waitFor(u"the start button enabled"_s, [&] { return s.startButtonEnabled(); }, 10000));
    DO(s.keys(mainTitle, {u"space"_s}));
    const QString record = s.app().filePath(records[0]);
    DO(s.waitFor(u"the second winner's record line"_s,
                 [&] { return TestSupport::readBytes(record).contains(TestSupport::gbk(u"\r\n中奖2="_s)); }, 10000));
    s.app().kill();
    QCOMPARE(s.resultLineCount(), 1);
    note(u"killed while the second winner rolled; its record line is written"_s);

    DO(s.app().start());
    DO(s.waitForWindow(mainTitle, 30000));
    DO(s.fill(mainTitle, Layout::drawCountBox, u"3"_s));
    DO(s.click(mainTitle, Layout::confirmButton));
    DO(s.waitForWindow(messageBoxTitle));
    QTest::qWait(300);
    DO(s.grab(messageBoxTitle, u"verifiable-continue"_s));
    DO(s.answerMessageBox()); // 继续这次摇号吗？ Yes
    DO(s.answerMessageBox()); // 设置完成！ and the record continued
    for (int press = 2; press <= 3; ++press) {
        DO(s.waitFor(u"the start button enabled"_s, [&] { return s.startButtonEnabled(); }, 10000));
        DO(s.keys(mainTitle, {u"space"_s}));
        DO(s.waitFor(u"winner %1"_s.arg(press), [&] { return s.resultLineCount() >= press; }, 30000));
    }
    QVERIFY(s.app().window(inputTitle) == 0);
    note(u"restarted and continued: winners 2 and 3 revealed, no random numbers asked again"_s);

    // The list after the restart holds winners 2 and 3; the second line is the third winner.
    const QPoint secondWinnerLine = Layout::thirdWinnerLine - QPoint(0, 24);
    DO(s.retryUntil(u"the question about an absent winner"_s,
                    [&] { return s.click(mainTitle, secondWinnerLine, 2); },
                    [&] { return s.app().window(messageBoxTitle) != 0; }, 20000, 1000));
    DO(s.answerMessageBox(u"y"_s));
    DO(s.waitFor(u"the replacement in the result file"_s, [&] { return s.resultLineCount() >= 4; }, 30000));
    DO(s.checkResults(s.app().resultFiles(), 4));
    DO(s.closeAndWaitForExit(mainTitle));

    QProcess verify;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.remove(u"DISPLAY"_s);
    env.remove(u"QT_QPA_PLATFORM"_s);
    verify.setProcessEnvironment(env);
    verify.start(QStringLiteral(ZOP_PROGRAM), {u"--verify"_s, s.app().filePath(records[0])});
    QVERIFY(verify.waitForFinished(30000));
    const QStringList out = QString::fromUtf8(verify.readAllStandardOutput()).split(u'\n', Qt::SkipEmptyParts);
    QVERIFY2(verify.exitCode() == 0, qPrintable(QString::fromUtf8(verify.readAllStandardError())));
    QCOMPARE(out.last(), u"一致"_s);
    QVERIFY(out.contains(u"名单文件："_s + QDir(s.app().filePath(QString())).entryList({u"摇号名单*.txt"_s}).value(0)));
    QVERIFY(out.contains(u"随机数2：2 5 12 8 10"_s));
    // The winners it recomputed are the result files' lines, in order; the third was absent.
    const QStringList winners = out.mid(out.size() - 5, 4);
    QVERIFY(winners[2].endsWith(u"\t（缺席）"_s));
    QList<QByteArray> recomputed;
    for (const QString &line : winners)
        recomputed.append(TestSupport::gbk(line.section(u'\t', 2, 4)));
    QCOMPARE(recomputed, s.resultLines(s.app().resultFiles()));
    note(u"zop-draw --verify: 一致, and its winners are the result files' lines"_s);
}

// An evening of the shipped prize list. Earlier runs left 三等奖 18 of its 20 winners and 二等奖
// 8 of its 10, so the panel offers 2 of each. A 三等奖 winner is absent and redrawn while tonight's
// 三等奖 file cannot be written (a folder in its place); the file comes back, 二等奖 is drawn, the
// program restarts and draws 一等奖; the export lists every winner under their own prize.
void TestEndToEnd::prizesAndExport()
{
    Session s(display);
    const QString shipped = TestSupport::shippedDataDir() + u'/';
    QList<QByteArray> lines = wholeLines(TestSupport::readBytes(shipped + dataName));
    for (const QByteArray &excluded : wholeLines(TestSupport::readBytes(shipped + u"不参与摇号.txt"_s)))
        lines.removeAll(excluded);
    auto earlier = [&](int from, int count) -> QByteArray { return lines.mid(from, count).join("\r\n") + "\r\n"; };
    DO(s.startWith(quickDraw, {{u"奖项设置.txt"_s, QByteArray()},
                               {u"出号结果20240315_180000_三等奖.txt"_s, earlier(0, 18)},
                               {u"出号结果20240315_181000_二等奖.txt"_s, earlier(18, 8)}}));
    // 三等奖 is chosen and its 2 fill the draw count: nothing is typed.
    DO(s.click(mainTitle, Layout::confirmButton));
    DO(s.answerMessageBox());
    DO(s.keys(mainTitle, {u"space"_s}));
    DO(s.waitFor(u"the last two of 三等奖"_s, [&] { return s.resultLineCount() >= 28; }, 60000));
    const QString tonight = s.app().filePath(s.app().resultFiles().filter(u"_三等奖.txt"_s).last());
    note(u"三等奖: two more winners"_s);

    QVERIFY(setWritable(tonight, false));
    const QPoint secondWinnerLine = Layout::thirdWinnerLine - QPoint(0, 24);
    DO(s.retryUntil(u"the question about an absent winner"_s,
                    [&] { return s.click(mainTitle, secondWinnerLine, 2); },
                    [&] { return s.app().window(messageBoxTitle) != 0; }, 20000, 1000));
    DO(s.answerMessageBox(u"y"_s));
    DO(s.answerMessageBox()); // 无法写入结果文件…
    QVERIFY(setWritable(tonight, true));
    note(u"an absent 三等奖 winner redrawn while the file could not be written; the file is back"_s);

    // After the run 二等奖 is chosen. The waiting replacement goes to its own file, not to 二等奖's.
    DO(s.click(mainTitle, Layout::panelTab));
    DO(s.retryUntil(u"the confirmation for 二等奖"_s, [&] { return s.click(mainTitle, Layout::confirmButton); },
                    [&] { return s.app().window(messageBoxTitle) != 0; }, 20000, 500));
    DO(s.answerMessageBox()); // 已有摇奖结果是否清除？ Yes
    DO(s.answerMessageBox()); // 设置完成！
    DO(s.keys(mainTitle, {u"space"_s}));
    DO(s.waitFor(u"the last two of 二等奖"_s, [&] { return s.resultLineCount() >= 31; }, 60000));
    QStringList files = s.app().resultFiles();
    DO(s.checkResults(files, 31));
    QCOMPARE(s.resultLines({QFileInfo(tonight).fileName()}).size(), 3);
    QCOMPARE(s.resultLines(files.filter(u"_二等奖.txt"_s)).size(), 10);
    note(u"二等奖: two more winners in a file of their own; the replacement in 三等奖's"_s);
    DO(s.closeAndWaitForExit(mainTitle));

    // Restarted, the panel offers the first prize not complete: 一等奖 and its 3.
    DO(s.app().start());
    DO(s.waitForWindow(mainTitle, 30000));
    DO(s.click(mainTitle, Layout::confirmButton));
    DO(s.answerMessageBox());
    DO(s.keys(mainTitle, {u"space"_s}));
    DO(s.waitFor(u"three winners of 一等奖"_s, [&] { return s.resultLineCount() >= 34; }, 60000));
    files = s.app().resultFiles();
    DO(s.checkResults(files, 34));
    QCOMPARE(s.resultLines(files.filter(u"_一等奖.txt"_s)).size(), 3);
    DO(s.closeAndWaitForExit(mainTitle));
    note(u"restarted: 一等奖 drawn"_s);

    QProcess exporter;
    const QString sheet = s.app().filePath(u"中奖名单.csv"_s);
    exporter.start(QStringLiteral(ZOP_PROGRAM), {u"--export"_s, sheet, s.app().filePath(QString())});
    QVERIFY(exporter.waitForFinished(30000));
    QCOMPARE(exporter.exitCode(), 0);
    const QList<QByteArray> rows = wholeLines(TestSupport::readBytes(sheet));
    QCOMPARE(rows.size(), 35);
    const auto rowsOf = [&](const char *prize) {
        return std::count_if(rows.cbegin(), rows.cend(), [&](const QByteArray &row) { return row.startsWith(prize); });
    };
    QCOMPARE(rowsOf("三等奖,"), 21);
    QCOMPARE(rowsOf("二等奖,"), 10);
    QCOMPARE(rowsOf("一等奖,"), 3);
    // Reveal order: the earlier files first, then tonight's runs; one of tonight's two 三等奖
    // winners is marked absent, and the replacement follows them.
    QVERIFY(rows[18].startsWith("三等奖,18,") && rows[19].startsWith("二等奖,1,"));
    QVERIFY(rows[27].endsWith(",缺席") != rows[28].endsWith(",缺席"));
    QVERIFY(rows[29].startsWith("三等奖,21,") && rows[29].endsWith(",补抽"));
    QVERIFY(rows[31].startsWith("二等奖,10,") && rows[34].startsWith("一等奖,3,"));
    note(u"exported: 21 rows of 三等奖 (one absent, one redrawn), 10 of 二等奖, 3 of 一等奖"_s);
}

// HR's sheet goes into the data file through the editor: the file chosen in the file dialog,
// the preview accepted with Enter, saved; the draw then picks people of the sheet.
void TestEndToEnd::importedRoster()
{
    Session s(display);
    DO(s.startWith(quickDraw));
    const QString roster = s.app().filePath(u"roster.xlsx"_s);
    QProcess python;
    python.start(u"/usr/bin/python3"_s, {u"-c"_s, uR"(
import sys, openpyxl
wb = openpyxl.Workbook()
ws = wb.active
ws.append(["序号", "姓名", "工号", "部门"])
for i in range(1, 41):
    ws.append([i, "员工%d" % i, 5000 + i, "部门%d" % (i % 4)])
wb.save(sys.argv[1])
)"_s, roster});
    QVERIFY(python.waitForFinished(30000) && python.exitCode() == 0);
    QList<QByteArray> sheetEntries;
    for (int i = 1; i <= 40; ++i)
        sheetEntries.append(TestSupport::gbk(u"%1\t员工%2\t部门%3"_s.arg(5000 + i).arg(i).arg(i % 4)));

    // The quick settings panel is open at start-up.
    DO(s.retryUntil(u"the advanced settings dialog"_s, [&] { return s.click(mainTitle, Layout::advancedLink); },
                    [&] { return s.app().window(settingsTitle) != 0; }, 20000, 500));
    DO(s.click(settingsTitle, Layout::editContentsButton));
    DO(s.waitForWindow(editorTitle));
    DO(s.click(editorTitle, Layout::importButton));
    DO(s.waitForWindow(u"导入名单"_s));
    // The file name box has the focus; a full name and Enter open the file.
    DO(s.type(u"导入名单"_s, roster));
    DO(s.keys(u"导入名单"_s, {u"Return"_s}));
    DO(s.waitForWindow(u"导入名单 - roster.xlsx"_s));
    DO(s.keys(u"导入名单 - roster.xlsx"_s, {u"Return"_s}));
    DO(s.waitForWindowGone(u"导入名单 - roster.xlsx"_s));
    note(u"the sheet chosen in the file dialog and the preview accepted"_s);
    DO(s.click(editorTitle, Layout::editorSaveButton));
    DO(s.answerMessageBox()); // 保存完成！
    QCOMPARE(wholeLines(TestSupport::readBytes(s.app().filePath(dataName))), sheetEntries);
    s.entries = sheetEntries;
    DO(s.requestClose(editorTitle));
    DO(s.answerMessageBox());
    DO(s.waitForWindowGone(editorTitle));
    DO(s.click(settingsTitle, Layout::cancelButton));
    DO(s.waitForWindowGone(settingsTitle));
    note(u"the data file holds the 40 people of the sheet"_s);

    DO(s.fill(mainTitle, Layout::drawCountBox, u"5"_s));
    DO(s.click(mainTitle, Layout::confirmButton));
    DO(s.answerMessageBox());
    DO(s.keys(mainTitle, {u"space"_s}));
    DO(s.waitFor(u"five winners"_s, [&] { return s.resultLineCount() >= 5; }, 60000));
    DO(s.checkResults(s.app().resultFiles(), 5));
    note(u"five winners, each a person of the sheet"_s);
    DO(s.closeAndWaitForExit(mainTitle));
}

// Without an X server to run it on, the test says so and counts as skipped.
namespace {

// A cue in a recording: 20 ms windows where its frequency is louder than threshold.
struct Heard {
    QList<double> level;
    double threshold;
    bool at(qsizetype w) const { return level.value(w) > threshold; }
    // Windows where it starts after at least 200 ms without it.
    QList<qsizetype> onsets() const
    {
        QList<qsizetype> found;
        for (qsizetype w = 0, quiet = 10; w < level.size(); ++w) {
            if (at(w) && quiet >= 10)
                found.append(w);
            quiet = at(w) ? 0 : quiet + 1;
        }
        return found;
    }
    // The share of windows in [from, to) where it sounds.
    double share(qsizetype from, qsizetype to) const
    {
        qsizetype n = 0;
        for (qsizetype w = from; w < to; ++w)
            n += at(w) ? 1 : 0;
        return to > from ? double(n) / double(to - from) : 0;
    }
};

constexpr int windowMs = 20;

// Three winners rolling for about a second each, half a second after each.
const QMap<QString, QString> audibleDraw = {
    {u"滚动个数随机小"_s, u"20"_s}, {u"滚动个数随机大"_s, u"20"_s}, {u"滚动速度"_s, u"5"_s},
    {u"一次性摇出延时"_s, u"5"_s},  {u"每点一次出一号标志"_s, u"0"_s},
};

} // namespace

// The hall hears the draw: the shipped sounds played on a sound server of the test's own and
// recorded at its sink. Rolling music from the first step to the last reveal, a bell at each
// reveal, the fanfare after the last; nothing after M, nothing with 声音=0. An idle music file
// that does not decode is named in a message at start-up.
void TestEndToEnd::hallHearsTheDraw()
{
    const QStringList missing = SoundServer::missingTools();
    QVERIFY2(missing.isEmpty(), qPrintable(u"needs "_s + missing.join(u", "_s) + u" (scripts/install-deps)"_s));
    SoundServer hall;
    DO(hall.start());

    // count more winners with the recorder on; M pressed first when asked.
    auto draw = [&](Session &s, qsizetype before, int count, bool mute) -> QList<qint16> {
        [&] {
            if (before == 0) {
                DO(s.fill(mainTitle, Layout::drawCountBox, QString::number(count)));
                DO(s.click(mainTitle, Layout::confirmButton));
            } else {
                // The panel is inert until the last run has shown its closing text.
                DO(s.click(mainTitle, Layout::panelTab));
                DO(s.retryUntil(u"the confirmation"_s, [&] {
                    const QString failure = s.fill(mainTitle, Layout::drawCountBox, QString::number(count));
                    return failure.isEmpty() ? s.click(mainTitle, Layout::confirmButton) : failure;
                }, [&] { return s.app().window(messageBoxTitle) != 0; }, 20000, 1000));
                DO(s.answerMessageBox()); // 已有摇奖结果是否清除？ Yes
            }
            DO(s.answerMessageBox());
            // The focus is in the winner list now, where M is no text.
            if (mute)
                DO(s.keys(mainTitle, {u"m"_s}));
            DO(hall.startRecording());
            DO(s.keys(mainTitle, {u"space"_s}));
            DO(s.waitFor(u"the winners"_s, [&] { return s.resultLineCount() >= before + count; }, 30000));
            // The fanfare follows the last winner's pause and lasts 2.4 s.
            QTest::qWait(3500);
        }();
        return hall.stopRecording();
    };

    {
        Session s(display);
        s.app().setEnvironmentVariable(u"PULSE_SERVER"_s, hall.address());
        DO(s.startWith(audibleDraw, {{u"音效/待机.mp3"_s, QByteArray("no sound in here")}}));
        DO(s.answerMessageBox());
        note(u"the unplayable idle music named once"_s);

        // More winners than a sound back end keeps streams for: every one of them rings.
        const int winners = 6;
        const QList<qint16> heard = draw(s, 0, winners, false);
        QVERIFY(!QTest::currentTestFailed());
        const Heard rolling{SoundServer::levels(heard, 196, windowMs), 300};
        const Heard bell{SoundServer::levels(heard, 1760, windowMs), 300};
        // The fanfare's G and high C, far from the rolling music's harmonics.
        Heard fanfare{SoundServer::levels(heard, 783.99, windowMs), 150};
        for (double note : {1046.5}) {
            const QList<double> level = SoundServer::levels(heard, note, windowMs);
            for (qsizetype w = 0; w < fanfare.level.size(); ++w)
                fanfare.level[w] = std::max(fanfare.level[w], level[w]);
        }
        const QList<qsizetype> bells = bell.onsets();
        const QList<qsizetype> rolls = rolling.onsets();
        QString timeline;
        for (qsizetype w = 0; w < rolling.level.size(); w += 5)
            timeline += (rolling.at(w) ? u'r' : u'.') + QString(bell.at(w) ? u"b"_s : u""_s) + QString(fanfare.at(w) ? u"f"_s : u""_s) + u' ';
        note(u"heard every 100 ms (r rolling, b bell, f fanfare): "_s + timeline);
        QCOMPARE(bells.size(), winners);
        const qsizetype last = bells[winners - 1];
        QVERIFY(!rolls.isEmpty());
        // About a second of rolling before the first winner, and on through every reveal to the last.
        QVERIFY2(bells[0] - rolls[0] >= 800 / windowMs, qPrintable(timeline));
        QVERIFY2(rolling.share(rolls[0], last) > 0.9, qPrintable(timeline));
        QVERIFY2(rolling.share(last + 200 / windowMs, rolling.level.size()) == 0, qPrintable(timeline));
        // The fanfare after the last winner's pause, not before (a bell's first click is heard
        // in every band).
        QVERIFY2(fanfare.share(0, last) < 0.02, qPrintable(timeline));
        QList<qsizetype> fanfares = fanfare.onsets();
        fanfares.removeIf([&](qsizetype w) { return w <= last; });
        QVERIFY2(!fanfares.isEmpty() && fanfares[0] - last < 3000 / windowMs, qPrintable(timeline));
        QVERIFY2(fanfare.share(fanfares[0], fanfares[0] + 2000 / windowMs) > 0.6, qPrintable(timeline));
        note(u"rolling, a bell for each winner and the fanfare heard"_s);

        const QList<qint16> muted = draw(s, winners, 3, true);
        QVERIFY(!QTest::currentTestFailed());
        QVERIFY(!muted.isEmpty());
        QCOMPARE(*std::max_element(muted.cbegin(), muted.cend(), [](qint16 a, qint16 b) { return std::abs(a) < std::abs(b); }), 0);
        note(u"nothing heard after M"_s);
        DO(s.closeAndWaitForExit(mainTitle));
    }
    {
        QMap<QString, QString> off = audibleDraw;
        off.insert(u"声音"_s, u"0"_s);
        Session s(display);
        s.app().setEnvironmentVariable(u"PULSE_SERVER"_s, hall.address());
        DO(s.startWith(off));
        const QList<qint16> silent = draw(s, 0, 3, false);
        QVERIFY(!QTest::currentTestFailed());
        QVERIFY(!silent.isEmpty());
        QCOMPARE(*std::max_element(silent.cbegin(), silent.cend(), [](qint16 a, qint16 b) { return std::abs(a) < std::abs(b); }), 0);
        note(u"nothing heard with 声音=0"_s);
        DO(s.closeAndWaitForExit(mainTitle));
    }
}

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    const QStringList missing = XDisplay::missingTools();
    if (!missing.isEmpty()) {
        std::printf("SKIPPED: the end-to-end test needs %s, which is not installed.\n",
                    qPrintable(missing.join(u" and "_s)));
        return 77;
    }
    TestEndToEnd test;
    QTEST_SET_MAIN_SOURCE_PATH
    return QTest::qExec(&test, argc, argv);
}

#include "tst_EndToEnd.moc"
