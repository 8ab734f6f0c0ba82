#pragma once

#include "TextCodec.h"

#include <QString>

// The routines every file of the program goes through. None reports to the user.
namespace IniFile {

// Value after the first "=" of the first non-comment line that holds KEY= anywhere
// (case-insensitive); "" when the file, the key or the value is missing.
QString iniReadValue(const QString &fileName, const QString &key);

// Replaces every line that starts with KEY= (case-insensitive) or appends key=value, then
// rewrites the whole file atomically. Never creates the file; false when it cannot be read,
// did not decode cleanly, or cannot be written.
bool iniWriteValue(const QString &fileName, const QString &key, const QString &value);
bool iniWriteValue(const QString &fileName, const QString &key, int value);

enum ReadStatus { ReadOk = 0, ReadFailed = -1, NoSuchFile = -2 };

// 0 read, -1 exists but unreadable (text unchanged), -2 missing (text set to "").
// The text is decoded by TextCodec::decode for source.
int readWholeFile(const QString &fileName, QString &text, TextSource source = TextSource::AnyTool);

// readWholeFile with what the caller needs to write the file back faithfully.
struct FileText {
    int status = NoSuchFile;
    DecodedText decoded;
};
FileText readTextFile(const QString &fileName, TextSource source = TextSource::AnyTool);

// 0 written, -1 failed (the old file, if any, is left whole). An existing file keeps its
// encoding; a new one is written in GB18030. Temporary files a killed save of the same file
// left beside it ("<file>.zop-saving*") are removed.
int writeWholeFile(const QString &text, const QString &fileName);
int writeWholeFile(const QString &text, const QString &fileName, TextEncoding encoding);

// A rename within one file system, never a copy and a delete (QFile::rename falls back to one);
// an existing target is replaced, which QFile::rename refuses.
bool renameOver(const QString &from, const QString &to);

} // namespace IniFile
