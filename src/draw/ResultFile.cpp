#include "ResultFile.h"

#include "settings/TextCodec.h"

#include <QDateTime>
#include <QFile>

#if defined(Q_OS_UNIX)
#include <unistd.h>
#elif defined(Q_OS_WIN)
#include <io.h>
#include <windows.h>
#endif

using namespace Qt::StringLiterals;

namespace {

bool syncToDisk(QFile &file)
{
#if defined(Q_OS_LINUX)
    return ::fdatasync(file.handle()) == 0;
#elif defined(Q_OS_UNIX)
    return ::fsync(file.handle()) == 0;
#elif defined(Q_OS_WIN)
    const auto handle = reinterpret_cast<HANDLE>(::_get_osfhandle(file.handle()));
    return handle != INVALID_HANDLE_VALUE && ::FlushFileBuffers(handle);
#else
    return true;
#endif
}

// Text that already holds its line ends, appended with one write.
bool appendText(const QString &text, const QString &fileName)
{
    if (fileName.isEmpty())
        return false;
    QFile file(fileName);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Append | QIODevice::Unbuffered))
        return false;
    const qint64 oldSize = file.size();
    const QByteArray bytes = TextCodec::encode(text, TextEncoding::Gb18030);
    bool ok = file.write(bytes) == bytes.size() && syncToDisk(file);
    // A line cut short would otherwise stay in the file and appear twice once it is retried.
    if (!ok)
        file.resize(oldSize);
    file.close();
    return ok && file.error() == QFileDevice::NoError;
}

} // namespace

QString resultFileNameFor(const QString &appDir, const QDateTime &when, const QString &prize)
{
    const QString suffix = prize.isEmpty() ? QString() : u'_' + prizeFileNamePart(prize);
    return appDir + u"出号结果"_s + when.toString(u"yyyyMMdd_HHmmss"_s) + suffix + u".txt"_s;
}

QString prizeFileNamePart(const QString &prize)
{
    QString part = prize;
    for (QChar &c : part) {
        if (c.unicode() < 0x20 || u"<>:\"/\\|?*"_s.contains(c))
            c = u'_';
    }
    return part;
}

ResultFileName parseResultFileName(const QString &fileName)
{
    static const QString prefix = u"出号结果"_s;
    static const QString suffix = u".txt"_s;
    constexpr int stampLength = 15; // yyyyMMdd_HHmmss
    ResultFileName parsed;
    if (!fileName.startsWith(prefix) || !fileName.endsWith(suffix, Qt::CaseInsensitive))
        return parsed;
    const QStringView middle = QStringView(fileName).sliced(prefix.size()).chopped(suffix.size());
    if (middle.size() < stampLength || (middle.size() > stampLength && middle.size() < stampLength + 2)
        || (middle.size() > stampLength && middle[stampLength] != u'_'))
        return parsed;
    parsed.time = QDateTime::fromString(middle.first(stampLength).toString(), u"yyyyMMdd_HHmmss"_s);
    parsed.valid = parsed.time.isValid();
    if (middle.size() > stampLength)
        parsed.prize = middle.sliced(stampLength + 1).toString();
    return parsed;
}

bool appendResultLine(const QString &line, const QString &fileName)
{
    return appendText(line + u"\r\n"_s, fileName);
}

bool appendResultLineKeeping(QList<ResultLine> &kept, const ResultLine &line, QList<ResultLine> *written)
{
    const QString &fileName = line.fileName;
    auto noteWritten = [written](const ResultLine &k, const QString &file) {
        if (written)
            written->append({file, k.text, k.id});
    };
    // Kept lines of other files go back to their own file, all of one file in one write.
    QList<QString> reachedOwnFile;
    QList<QString> refusedOwnFile;
    for (const ResultLine &k : std::as_const(kept)) {
        if (k.fileName == fileName || reachedOwnFile.contains(k.fileName) || refusedOwnFile.contains(k.fileName))
            continue;
        QString text;
        for (const ResultLine &same : std::as_const(kept)) {
            if (same.fileName == k.fileName)
                text += same.text + u"\r\n"_s;
        }
        const bool reached = appendText(text, k.fileName);
        (reached ? reachedOwnFile : refusedOwnFile).append(k.fileName);
        for (const ResultLine &same : std::as_const(kept)) {
            if (reached && same.fileName == k.fileName)
                noteWritten(same, k.fileName);
        }
    }

    QList<ResultLine> ahead;
    QString text;
    for (const ResultLine &k : std::as_const(kept)) {
        if (!reachedOwnFile.contains(k.fileName)) {
            ahead.append(k);
            text += k.text + u"\r\n"_s;
        }
    }
    text += line.text + u"\r\n"_s;
    const bool ok = appendText(text, fileName);
    if (ok) {
        for (const ResultLine &k : std::as_const(ahead))
            noteWritten(k, fileName);
        noteWritten(line, fileName);
    }
    kept = ok ? QList<ResultLine>() : ahead;
    if (!ok)
        kept.append(line);
    return ok;
}

int countLineEnds(const QString &fileName)
{
    QFile file(fileName);
    if (!file.open(QIODevice::ReadOnly))
        return 0;
    int count = 0;
    while (!file.atEnd()) {
        const QByteArray block = file.read(1 << 16);
        if (block.isEmpty())
            break;
        count += int(block.count('\n'));
    }
    return count;
}
