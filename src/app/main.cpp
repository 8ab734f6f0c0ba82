#include "draw/RecordVerification.h"
#include "draw/RunData.h"
#include "export/ResultExport.h"
#include "import/ImportCommand.h"
#include "settings/AppLocation.h"
#include "settings/Settings.h"
#include "settings/TextCodec.h"
#include "ui/common/Fonts.h"
#include "ui/common/MessageBoxes.h"
#include "ui/common/QtChinese.h"
#include "ui/main/MainWindow.h"

#include <QApplication>
#include <QDir>
#include <QMessageBox>
#include <QStandardPaths>

#include <cstdio>
#include <cstring>

#ifdef Q_OS_WIN
#include <windows.h>
#endif

using namespace Qt::StringLiterals;

namespace {

AppFiles::AppLocation appLocation()
{
    // An installed program's folder is read-only: its files then live in a per-user folder.
    return AppFiles::chooseAppDir(QCoreApplication::applicationDirPath(),
                                 QStandardPaths::writableLocation(QStandardPaths::AppDataLocation));
}

// A window program has no console of its own; unless its output is redirected it writes to the
// console it was started from.
void attachParentConsole()
{
#ifdef Q_OS_WIN
    const HANDLE out = GetStdHandle(STD_OUTPUT_HANDLE);
    if ((out == nullptr || out == INVALID_HANDLE_VALUE) && AttachConsole(ATTACH_PARENT_PROCESS)) {
        std::freopen("CONOUT$", "w", stdout);
        std::freopen("CONOUT$", "w", stderr);
    }
#endif
}

// zop-draw --export <file.xlsx|file.csv> [<folder>]: no window; 0 written, 1 nothing, 2 failed.
int exportWithoutWindow(int argc, char *argv[])
{
    attachParentConsole();
    QCoreApplication app(argc, argv);
    QCoreApplication::setApplicationName(u"zop-draw"_s);
    const QStringList args = QCoreApplication::arguments();
    if (args.size() < 3 || args.size() > 4) {
        std::fputs("usage: zop-draw --export <file.xlsx|file.csv> [<folder>]\n", stderr);
        return int(ResultExport::Status::Failed);
    }
    if (!TextCodec::available()) {
        std::fputs(u"缺少GB18030字符集支持，程序无法运行。\n"_s.toLocal8Bit().constData(), stderr);
        return int(ResultExport::Status::Failed);
    }
    const QString folder = args.size() == 4 ? QDir(args[3]).absolutePath() : appLocation().dir;
    const QString file = QDir::current().absoluteFilePath(args[2]);
    const ResultExport::Outcome outcome = ResultExport::exportEvent(AppFiles::withTrailingSeparator(folder), file);
    if (outcome.status == ResultExport::Status::Written)
        std::printf("%d\n", outcome.rows);
    else
        std::fprintf(stderr, "%s\n", outcome.message.toLocal8Bit().constData());
    return int(outcome.status);
}

void printLine(FILE *stream, const QString &text)
{
    // The console's own code page: UTF-8 on Linux, the ANSI code page on Windows.
    const QByteArray bytes = (text + u'\n').toLocal8Bit();
    std::fwrite(bytes.constData(), 1, size_t(bytes.size()), stream);
}

// zop-draw --verify <record>: no window and no display, only the exit status and the text:
// 0 consistent, 1 a difference, 2 unreadable or malformed, 3 consistent so far but incomplete.
int runVerify(int argc, char *argv[])
{
    attachParentConsole();
    QCoreApplication app(argc, argv);
    const QStringList args = QCoreApplication::arguments();
    if (args.size() != 3) {
        printLine(stderr, u"用法：zop-draw --verify <摇号记录文件>\n"
                          "退出码：0 一致；1 不一致；2 无法读取或格式不对；3 已记录的部分一致，但摇号不完整"_s);
        return 2;
    }
    if (!TextCodec::available()) {
        printLine(stderr, u"缺少GB18030字符集支持，程序无法运行。"_s);
        return 2;
    }
    const VerificationResult result = verifyRecord(args[2]);
    for (const QString &line : result.lines)
        printLine(stdout, line);
    std::fflush(stdout);
    if (!result.message.isEmpty())
        printLine(stderr, result.message);
    return result.status;
}

// zop-draw --import <roster> <data file> [options]: no window; 0 written, 1 nothing, 2 failed.
int importWithoutWindow(int argc, char *argv[])
{
    attachParentConsole();
    QCoreApplication app(argc, argv);
    QCoreApplication::setApplicationName(u"zop-draw"_s);
    if (!TextCodec::available()) {
        printLine(stderr, u"缺少GB18030字符集支持，程序无法运行。"_s);
        return ImportCommand::Failed;
    }
    const ImportCommand::Outcome outcome = ImportCommand::run(QCoreApplication::arguments().mid(2), appLocation().dir);
    for (const QString &line : outcome.out)
        printLine(stdout, line);
    std::fflush(stdout);
    for (const QString &line : outcome.err)
        printLine(stderr, line);
    return outcome.status;
}

// Qt's own options, which QApplication takes out of the arguments; it accepts them with two
// dashes as well.
bool isQtOption(const char *arg)
{
    static const char *const names[] = {"platform", "platformpluginpath", "platformtheme", "plugin",
                                        "qwindowgeometry", "qwindowicon", "qwindowtitle", "reverse",
                                        "session", "style", "stylesheet", "widgetcount", "display",
                                        "geometry", "title", "name", "nograb", "dograb"};
    const char *name = arg + (std::strncmp(arg, "--", 2) == 0 ? 2 : 1);
    for (const char *n : names) {
        if (std::strcmp(name, n) == 0)
            return true;
    }
    return false;
}

int refuseArguments()
{
    attachParentConsole();
    std::fputs("usage: zop-draw [--export <file.xlsx|file.csv> [<folder>]]\n"
               "       zop-draw --verify <record>\n"
               "       zop-draw --import <roster.xlsx|roster.csv> <data.txt> [--sheet N] [--columns 2,3,5] "
               "[--header | --no-header]\n",
               stderr);
    return 2;
}

} // namespace

int main(int argc, char *argv[])
{
    if (argc >= 2 && std::strcmp(argv[1], "--export") == 0)
        return exportWithoutWindow(argc, argv);
    if (argc >= 2 && std::strcmp(argv[1], "--verify") == 0)
        return runVerify(argc, argv);
    if (argc >= 2 && std::strcmp(argv[1], "--import") == 0)
        return importWithoutWindow(argc, argv);
    // An option the program does not know is a mistake to say, not a reason to open the window;
    // decided before QApplication, which needs a display.
    if (argc >= 2 && argv[1][0] == '-' && !isQtOption(argv[1]))
        return refuseArguments();

    QApplication app(argc, argv);
    if (QCoreApplication::arguments().size() > 1)
        return refuseArguments();
    QCoreApplication::setApplicationName(u"zop-draw"_s);
    QtChinese::install();
    if (!TextCodec::available()) {
        QMessageBox::critical(nullptr, u"ZOP摇号"_s, u"缺少GB18030字符集支持，程序无法运行。"_s);
        return 1;
    }
    Fonts::installSubstitutions();
    // The layout's button and panel colours show in this style on every platform.
    QApplication::setStyle(u"Fusion"_s);

    Settings settings;
    RunData run;
    WidgetMessageBoxes messages;
    const AppFiles::AppLocation location = appLocation();
    MainWindow form(settings, run, messages, location.dir);
    form.startUp();
    form.show();
    if (!location.writable)
        messages.error(&form, u"程序目录无法写入，设置和摇号结果将无法保存。"_s);
    return app.exec();
}
