#include "IniFile.h"

#include "ValueText.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>
#include <QStringList>

#include <filesystem>
#include <system_error>

using namespace Qt::StringLiterals;

namespace {

// Lines end at CR LF or at a lone CR; a lone LF stays inside its line.
QList<QStringView> splitLines(QStringView text)
{
    QList<QStringView> lines;
    qsizetype start = 0;
    const qsizetype n = text.size();
    for (qsizetype i = 0; i < n; ++i) {
        if (text[i] == u'\r') {
            lines.append(text.mid(start, i - start));
            if (i + 1 < n && text[i + 1] == u'\n')
                ++i;
            start = i + 1;
        }
    }
    if (start < n)
        lines.append(text.mid(start));
    return lines;
}

bool readBytes(const QString &fileName, QByteArray &bytes)
{
    QFile file(fileName);
    if (!QFileInfo(fileName).isFile() || !file.open(QIODevice::ReadOnly))
        return false;
    bytes = file.readAll();
    return file.error() == QFileDevice::NoError;
}

// A save commits the text to "<file>.zop-saving" first and then renames that over the file.
// Where QSaveFile cannot write an unnamed temporary (Windows, file systems without O_TMPFILE,
// no /proc) it names one "<file>.XXXXXX", and a save killed there leaves a file nobody can tell
// from the user's own. Under this mark every leftover is recognisable: the next save removes it.
constexpr QStringView savingMark = u".zop-saving";

// "<name>.zop-saving" itself, or QSaveFile's "<name>.zop-saving.XXXXXX" beside it.
bool isLeftoverOf(const QString &entry, const QString &name)
{
    const qsizetype stem = name.size() + savingMark.size();
    if (!entry.startsWith(name) || QStringView(entry).mid(name.size(), savingMark.size()) != savingMark)
        return false;
    if (entry.size() == stem)
        return true;
    if (entry.size() != stem + 7 || entry[stem] != u'.')
        return false;
    for (QChar c : QStringView(entry).mid(stem + 1)) {
        if (!(c.isLetterOrNumber() && c.unicode() < 128))
            return false;
    }
    return true;
}

void removeLeftovers(const QFileInfo &target)
{
    QDir folder = target.dir();
    const QStringList entries = folder.entryList(QDir::Files | QDir::Hidden | QDir::System);
    for (const QString &entry : entries) {
        if (isLeftoverOf(entry, target.fileName()))
            folder.remove(entry);
    }
}

} // namespace

namespace IniFile {

bool renameOver(const QString &from, const QString &to)
{
#if defined(Q_OS_WIN)
    const std::filesystem::path source(from.toStdWString()), destination(to.toStdWString());
#else
    const std::filesystem::path source(QFile::encodeName(from).toStdString());
    const std::filesystem::path destination(QFile::encodeName(to).toStdString());
#endif
    std::error_code error;
    std::filesystem::rename(source, destination, error);
    return !error;
}

FileText readTextFile(const QString &fileName, TextSource source)
{
    FileText result;
    if (!QFileInfo::exists(fileName)) {
        result.status = NoSuchFile;
        return result;
    }
    QByteArray bytes;
    if (!readBytes(fileName, bytes)) {
        result.status = ReadFailed;
        return result;
    }
    result.decoded = TextCodec::decode(bytes, source);
    result.status = ReadOk;
    return result;
}

int readWholeFile(const QString &fileName, QString &text, TextSource source)
{
    FileText file = readTextFile(fileName, source);
    if (file.status == NoSuchFile)
        text.clear();
    else if (file.status == ReadOk)
        text = std::move(file.decoded.text);
    return file.status;
}

int writeWholeFile(const QString &text, const QString &fileName, TextEncoding encoding)
{
    // Temporary file and rename: an interrupted save never leaves a truncated file.
    const QFileInfo link(fileName);
    // Like QSaveFile: a symbolic link stays and the file it names is replaced.
    const QFileInfo target(link.isSymLink() ? link.symLinkTarget() : fileName);
    if (target.exists() && (!target.isFile() || !target.isWritable()))
        return ReadFailed;
    removeLeftovers(target);
    const QString saving = target.filePath() + savingMark;
    QSaveFile file(saving);
    if (!file.open(QIODevice::WriteOnly))
        return ReadFailed;
    const QByteArray bytes = TextCodec::encode(text, encoding);
    if (file.write(bytes) != bytes.size()) {
        file.cancelWriting();
        return ReadFailed;
    }
    // Permissions first, so that the file is renamed the moment it has a name.
    if ((target.exists() && !file.setPermissions(target.permissions())) || !file.commit()) {
        file.cancelWriting();
        return ReadFailed;
    }
    if (!renameOver(saving, target.filePath())) {
        QFile::remove(saving);
        return ReadFailed;
    }
    return ReadOk;
}

int writeWholeFile(const QString &text, const QString &fileName)
{
    TextEncoding encoding = TextEncoding::Gb18030;
    const FileText existing = readTextFile(fileName);
    if (existing.status == ReadOk)
        encoding = existing.decoded.encoding;
    return writeWholeFile(text, fileName, encoding);
}

QString iniReadValue(const QString &fileName, const QString &key)
{
    const FileText file = readTextFile(fileName);
    if (file.status != ReadOk)
        return QString();
    const QString search = ValueText::trimBlanks(key).toString().toUpper() + u'=';
    for (QStringView line : splitLines(file.decoded.text)) {
        if (ValueText::trimBlanks(line).startsWith(u';'))
            continue;
        if (line.toString().toUpper().contains(search))
            return line.mid(line.indexOf(u'=') + 1).toString();
    }
    return QString();
}

bool iniWriteValue(const QString &fileName, const QString &key, const QString &value)
{
    const FileText file = readTextFile(fileName);
    if (file.status != ReadOk || file.decoded.hadErrors)
        return false;

    QStringList lines;
    for (QStringView line : splitLines(file.decoded.text)) {
        qsizetype b = 0;
        while (b < line.size() && line[b] == u' ')
            ++b;
        if (line.size() - b < 2)
            continue; // blank and one-character lines disappear at every write
        lines.append(line.mid(b).toString());
    }

    const QString prefix = key.toUpper() + u'=';
    const QString newLine = key + u'=' + value;
    bool replaced = false;
    for (QString &line : lines) {
        if (line.toUpper().startsWith(prefix)) {
            line = newLine;
            replaced = true;
        }
    }
    if (!replaced)
        lines.append(newLine);

    QString text;
    for (const QString &line : std::as_const(lines))
        text += line + u"\r\n"_s;
    return writeWholeFile(text, fileName, file.decoded.encoding) == ReadOk;
}

bool iniWriteValue(const QString &fileName, const QString &key, int value)
{
    return iniWriteValue(fileName, key, QString::number(value));
}

} // namespace IniFile
