#pragma once

#include <QList>
#include <QMap>
#include <QProcess>
#include <QString>
#include <QTemporaryDir>

class XDisplay;

// The built program, copied with the shipped files into a folder of its own (it keeps its files
// beside itself), run on an X display.
class RealProgram
{
public:
    explicit RealProgram(XDisplay &display);
    ~RealProgram();
    RealProgram(const RealProgram &) = delete;
    RealProgram &operator=(const RealProgram &) = delete;

    // Copies the program and the shipped files and sets the given settings keys. Empty on
    // success, else what went wrong.
    QString install(const QMap<QString, QString> &settings);
    QString start();

    QString filePath(const QString &name) const;
    // Result files, oldest name first.
    QStringList resultFiles() const;

    // The mapped window with exactly this title, 0 while there is none.
    unsigned long window(const QString &title) const;
    // Titles of all its mapped windows, for failure messages.
    QStringList windowTitles() const;

    bool isRunning() const;
    // Ends it at once with SIGKILL, as a crash or a power cut would.
    void kill();
    // Waits for the process to end; false if it did not within timeoutMs.
    bool waitForExit(int timeoutMs);
    QProcess::ExitStatus exitStatus() const { return process.exitStatus(); }
    int exitCode() const { return process.exitCode(); }
    // What the program printed (warnings, sanitizer reports).
    QString output() const;

private:
    XDisplay &display;
    QTemporaryDir root;
    QString dir; // the program's folder
    QProcess process;
};
