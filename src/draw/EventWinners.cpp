#include "EventWinners.h"

#include "AbsenceRecord.h"
#include "settings/IniFile.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

using namespace Qt::StringLiterals;

namespace {

// Names of appDir that start like result files: the program's own, and look-alikes (copies,
// backups) when own is false.
QStringList resultLikeFiles(const QString &appDir, bool own)
{
    const QDir dir(appDir);
    // Without QDir::System: a pipe of that name would block the reading.
    const QStringList names = dir.entryList({u"出号结果*.txt"_s}, QDir::Files | QDir::Dirs | QDir::Hidden
                                                                     | QDir::NoDotAndDotDot,
                                            QDir::Name);
    QStringList paths;
    for (const QString &name : names) {
        if (parseResultFileName(name).valid == own)
            paths.append(dir.filePath(name));
    }
    return paths;
}

} // namespace

QStringList resultFiles(const QString &appDir)
{
    return resultLikeFiles(appDir, true);
}

QStringList lookAlikeResultFiles(const QString &appDir)
{
    return resultLikeFiles(appDir, false);
}

namespace {

// The event's files: the result files and their look-alikes, the absence record when there is one, and the lists and
// records of verifiable draws, which account for results of the event.
QStringList eventFiles(const QString &appDir)
{
    QStringList files = resultFiles(appDir) + lookAlikeResultFiles(appDir);
    const QDir dir(appDir);
    const QString record = dir.filePath(absenceRecordFileName());
    if (QFileInfo::exists(record))
        files.append(record);
    for (const QString &name : dir.entryList({u"摇号名单*.txt"_s, u"摇号记录*.txt"_s}, QDir::Files, QDir::Name))
        files.append(dir.filePath(name));
    return files;
}

} // namespace

ResultFileText readResultFile(const QString &path)
{
    ResultFileText result;
    if (!QFileInfo::exists(path))
        return result;
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        result.status = IniFile::ReadFailed;
        return result;
    }
    const QByteArray bytes = file.readAll();
    if (file.error() != QFileDevice::NoError) {
        result.status = IniFile::ReadFailed;
        return result;
    }
    result.status = IniFile::ReadOk;
    // Every line is written with its CR LF in one write; bytes after the last LF are a cut write.
    const qsizetype whole = bytes.lastIndexOf('\n') + 1;
    result.decoded = TextCodec::decode(QByteArrayView(bytes).first(whole), TextSource::OwnOutput);
    // GBK never holds a NUL: a file saved as UTF-16 is unreadable as a whole, not cut short.
    if (bytes.contains('\0'))
        result.decoded.hadErrors = true;
    if (whole < bytes.size()) {
        result.partialLine = TextCodec::decode(QByteArrayView(bytes).sliced(whole), TextSource::OwnOutput).text;
        result.partialLine.remove(u'\r');
    }
    return result;
}

QStringList partialResultLines(const QString &appDir)
{
    QStringList partial;
    for (const QString &path : resultFiles(appDir)) {
        QFile file(path);
        // Only a file that does not end in LF needs reading whole.
        if (!file.open(QIODevice::ReadOnly) || file.size() == 0 || !file.seek(file.size() - 1)
            || file.read(1) == "\n")
            continue;
        const ResultFileText text = readResultFile(path);
        if (!text.partialLine.isEmpty())
            partial.append(u"“"_s + QDir::toNativeSeparators(path) + u"”："_s + text.partialLine);
    }
    return partial;
}

EventWinners readEventWinners(const QString &appDir, const QString &separator,
                              const QList<ResultLine> &unwritten)
{
    EventWinners event;
    const QStringList files = resultFiles(appDir);
    event.fileCount = int(files.size());
    // All lines in one text, cut once: the table then holds one pool instead of one per file.
    QString all;
    for (const QString &file : files) {
        // Bytes that do not decode (a file saved as UTF-16, a line cut short) hide winners.
        ResultFileText read = readResultFile(file);
        if (read.status != IniFile::ReadOk || read.decoded.hadErrors) {
            event.unreadable.append(file);
            continue;
        }
        QString &text = read.decoded.text;
        if (all.isEmpty())
            all = std::move(text);
        else
            all += text;
        if (!all.isEmpty() && !all.endsWith(u'\n'))
            all += u"\r\n"_s;
    }
    // Lines waiting for a file of another folder (an archived event) are not this event's.
    const QString here = QDir::cleanPath(QDir(appDir).absolutePath());
    for (const ResultLine &line : unwritten) {
        if (QDir::cleanPath(QFileInfo(line.fileName).absolutePath()) == here)
            all += line.text + u"\r\n"_s;
    }
    event.winners.parse(std::move(all), separator);
    return event;
}

QString archiveFolderName()
{
    return u"历史结果"_s;
}

ArchiveResult archiveResultFiles(const QString &appDir, const QDateTime &when)
{
    ArchiveResult result;
    const QStringList files = eventFiles(appDir);
    QDir archive(appDir);
    if (!archive.mkpath(archiveFolderName()) || !archive.cd(archiveFolderName()))
        return result;
    // Two new events within one second get folders of their own.
    const QString stamp = when.toString(u"yyyyMMdd_HHmmss"_s);
    QString name = stamp;
    for (int n = 2; !archive.mkdir(name); ++n) {
        if (!archive.exists(name) || n > 99)
            return result;
        name = stamp + u'_' + QString::number(n);
    }
    result.folder = archive.filePath(name);
    // The folder is new, so the rename never replaces anything.
    for (const QString &file : files) {
        if (IniFile::renameOver(file, result.folder + u'/' + QFileInfo(file).fileName()))
            ++result.moved;
        else
            result.notMoved.append(file);
    }
    return result;
}
