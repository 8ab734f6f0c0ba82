#include "draw/RecordVerification.h"
#include "draw/RunData.h"
#include "settings/AppLocation.h"
#include "settings/Settings.h"
#include "settings/TextCodec.h"
#include "ui/common/Fonts.h"
#include "ui/common/MessageBoxes.h"
#include "ui/common/QtChinese.h"
#include "ui/main/Form1.h"

#include <QApplication>
#include <QMessageBox>
#include <QStandardPaths>

#include <cstdio>

#if defined(Q_OS_WIN)
#include <windows.h>
#endif

using namespace Qt::StringLiterals;

namespace {

void printLine(FILE *stream, const QString &text)
{
    // The console's own code page: UTF-8 on Linux, the ANSI code page on Windows.
    const QByteArray bytes = (text + u'\n').toLocal8Bit();
    std::fwrite(bytes.constData(), 1, size_t(bytes.size()), stream);
}

// zop-draw --verify <record>: no window and no display, only the exit status and the text.
int runVerify(int argc, char *argv[])
{
#if defined(Q_OS_WIN)
    // A window program has no console of its own; unless its output is redirected it writes to
    // the console it was started from.
    const HANDLE out = GetStdHandle(STD_OUTPUT_HANDLE);
    if ((out == nullptr || out == INVALID_HANDLE_VALUE) && AttachConsole(ATTACH_PARENT_PROCESS)) {
        std::freopen("CONOUT$", "w", stdout);
        std::freopen("CONOUT$", "w", stderr);
    }
#endif
    QCoreApplication app(argc, argv);
    const QStringList args = QCoreApplication::arguments();
    if (args.size() != 3) {
        printLine(stderr, u"用法：zop-draw --verify <摇号记录文件>"_s);
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

} // namespace

int main(int argc, char *argv[])
{
    if (argc >= 2 && qstrcmp(argv[1], "--verify") == 0)
        return runVerify(argc, argv);
    QApplication app(argc, argv);
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
    // An installed program's folder is read-only: its files then live in a per-user folder.
    const Module1::AppLocation location = Module1::chooseAppDir(
        QCoreApplication::applicationDirPath(),
        QStandardPaths::writableLocation(QStandardPaths::AppDataLocation));
    Form1 form(settings, run, messages, location.dir);
    form.Form_Load();
    form.show();
    if (!location.writable)
        messages.error(&form, u"程序目录无法写入，设置和摇号结果将无法保存。"_s);
    return app.exec();
}
