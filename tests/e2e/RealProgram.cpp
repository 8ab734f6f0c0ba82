#include "RealProgram.h"

#include "XDisplay.h"
#include "settings/IniFile.h"
#include "support/TestSupport.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

using namespace Qt::StringLiterals;

namespace {

const QString programPath = QStringLiteral(ZOP_PROGRAM);
const QString settingsName = u"ZOP摇号设置.ini"_s;
const QStringList shippedFiles = {settingsName, u"测试数据.txt"_s, u"GoodLuck.txt"_s, u"不参与摇号.txt"_s};

} // namespace

RealProgram::RealProgram(XDisplay &display) : display(display)
{
    process.setProcessEnvironment(display.environment());
}

RealProgram::~RealProgram()
{
    // A failed test can leave it running or waiting in a message box.
    if (process.state() != QProcess::NotRunning) {
        process.kill();
        process.waitForFinished(10000);
    }
}

QString RealProgram::install(const QMap<QString, QString> &settings)
{
    if (!root.isValid())
        return u"no temporary folder: "_s + root.errorString();
    dir = root.filePath(u"program"_s);
    if (!QDir().mkpath(dir))
        return u"cannot create "_s + dir;
    const QString program = filePath(QFileInfo(programPath).fileName());
    if (!QFile::copy(programPath, program))
        return u"cannot copy "_s + programPath;
    const QString shipped = TestSupport::shippedDataDir();
    for (const QString &name : shippedFiles)
        if (!QFile::copy(QDir(shipped).filePath(name), filePath(name)))
            return u"cannot copy the shipped file "_s + QDir(shipped).filePath(name);
    for (auto it = settings.cbegin(); it != settings.cend(); ++it)
        if (!IniFile::iniWriteValue(filePath(settingsName), it.key(), it.value()))
            return u"cannot set "_s + it.key();

    // A private runtime folder, as a desktop session gives one.
    const QString runtime = root.filePath(u"runtime"_s);
    if (!QDir().mkpath(runtime))
        return u"cannot create "_s + runtime;
    QFile::setPermissions(runtime, QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner);
    QProcessEnvironment env = process.processEnvironment();
    env.insert(u"XDG_RUNTIME_DIR"_s, runtime);
    // Only matters in the sanitizer build: leaks of system libraries are not the program's.
    const QString lsan = env.value(u"LSAN_OPTIONS"_s);
    env.insert(u"LSAN_OPTIONS"_s, (lsan.isEmpty() ? QString() : lsan + u':')
                   + u"suppressions="_s + QStringLiteral(ZOP_LSAN_SUPPRESSIONS) + u":print_suppressions=0"_s);
    process.setProcessEnvironment(env);

    process.setProgram(program);
    process.setWorkingDirectory(root.path());
    process.setProcessChannelMode(QProcess::MergedChannels);
    process.setStandardOutputFile(root.filePath(u"output.txt"_s));
    return QString();
}

QString RealProgram::start()
{
    process.start();
    if (!process.waitForStarted(10000))
        return u"the program did not start: "_s + process.errorString();
    return QString();
}

QString RealProgram::filePath(const QString &name) const
{
    return QDir(dir).filePath(name);
}

QStringList RealProgram::resultFiles() const
{
    return QDir(dir).entryList({u"出号结果*.txt"_s}, QDir::Files, QDir::Name);
}

unsigned long RealProgram::window(const QString &title) const
{
    if (process.state() != QProcess::Running)
        return 0;
    for (const XDisplay::Window &w : display.windowsOf(process.processId()))
        if (w.title == title)
            return w.id;
    return 0;
}

QStringList RealProgram::windowTitles() const
{
    QStringList titles;
    if (process.state() == QProcess::Running)
        for (const XDisplay::Window &w : display.windowsOf(process.processId()))
            titles.append(w.title);
    return titles;
}

bool RealProgram::isRunning() const
{
    return process.state() != QProcess::NotRunning;
}

void RealProgram::kill()
{
    process.kill();
    process.waitForFinished(10000);
}

bool RealProgram::waitForExit(int timeoutMs)
{
    return process.state() == QProcess::NotRunning || process.waitForFinished(timeoutMs);
}

QString RealProgram::output() const
{
    return QString::fromLocal8Bit(TestSupport::readBytes(root.filePath(u"output.txt"_s)));
}
