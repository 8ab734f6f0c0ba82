#pragma once

#include <QString>
#include <QStringList>

namespace AppFiles {

// Where the program keeps its settings, lists and result files.
struct AppLocation {
    QString dir;          // with a trailing "/"
    bool perUser = false; // the program's own folder was not writable
    bool writable = true; // false: nothing can be saved anywhere; say so once
};

// The files shipped beside the program, copied to a per-user folder on its first use.
QStringList shippedFileNames();

// The program's own folder when files can be created there; otherwise perUserDir, created on
// first use and seeded with copies of the shipped files it does not have yet.
AppLocation chooseAppDir(const QString &programDir, const QString &perUserDir);

// Copies each shipped file from fromDir that toDir lacks; returns the names copied.
QStringList seedMissingFiles(const QString &fromDir, const QString &toDir);

// True when a file can be created in dir (tried, not guessed from permission bits).
bool canCreateFilesIn(const QString &dir);

} // namespace AppFiles
