#include "ResultFile.h"

#include "settings/TextCodec.h"

#include <QDateTime>
#include <QFile>
#include <QRegularExpression>

#include <algorithm>

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

// A kill in the middle of a write can leave the start of a line (the kernel stops a write at a
// page boundary for a fatal signal). That winner was never shown: the next line takes its place
// rather than being glued to it.
bool cutPartialLine(QFile &file)
{
    const qint64 end = file.size();
    qint64 from = end;
    while (from > 0) {
        const qint64 start = std::max<qint64>(0, from - 4096);
        if (!file.seek(start))
            return false;
        const QByteArray block = file.read(from - start);
        if (block.size() != from - start)
            return false;
        if (const qsizetype lf = block.lastIndexOf('\n'); lf >= 0)
            return start + lf + 1 == end || file.resize(start + lf + 1);
        from = start;
    }
    return end == 0 || file.resize(0);
}

// Text that already holds its line ends, appended with one write.
bool appendText(const QString &text, const QString &fileName)
{
    if (fileName.isEmpty())
        return false;
    QFile file(fileName);
    if (!file.open(QIODevice::ReadWrite | QIODevice::Append | QIODevice::Unbuffered))
        return false;
    if (!cutPartialLine(file))
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

bool looksLikeCopy(QStringView prizePart)
{
    // What Windows, macOS, the Linux file managers and browsers add to a copied or downloaded
    // file's name: "X - 副本", "X - Copy (2)", "X (1)", "X copy 2", "X的副本", "X (another copy)".
    static const QRegularExpression mark(
        uR"((\s*-\s*(副本|copy)|的副本|\s+copy|\s*\((copy|another copy|\d+(st|nd|rd|th) copy|副本|另一个副本|第\s*\d+\s*个副本)\))(\s*\(?\d+\)?)?$|\s*\(\d+\)$)"_s,
        QRegularExpression::CaseInsensitiveOption);
    return mark.match(prizePart).hasMatch();
}

bool makesFileName(const QString &prize)
{
    // 255 is the longest name ext4 takes (in UTF-8 bytes) and Windows takes (in UTF-16 units).
    const QString name = resultFileNameFor(QString(), QDateTime(QDate(2000, 1, 1), QTime(0, 0)), prize);
    return name.size() <= 255 && name.toUtf8().size() <= 255;
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
    if (middle.size() > stampLength) {
        parsed.prize = middle.sliced(stampLength + 1).toString();
        // A copy of a result file would count its winners twice.
        parsed.valid = parsed.valid && !looksLikeCopy(parsed.prize);
    }
    return parsed;
}

bool appendResultLine(const QString &line, const QString &fileName)
{
    return appendText(line + u"\r\n"_s, fileName);
}

bool appendResultLineKeeping(QList<ResultLine> &kept, const ResultLine &line, QList<ResultLine> *written)
{
    kept.append(line);
    return writeKeptLines(kept, written).contains(line.fileName);
}

QStringList writeKeptLines(QList<ResultLine> &kept, QList<ResultLine> *written)
{
    // A line only ever goes to its own file: written into another run's file it would count
    // for the wrong prize and shift that file's line numbers.
    QStringList reached;
    QStringList refused;
    for (const ResultLine &k : std::as_const(kept)) {
        if (reached.contains(k.fileName) || refused.contains(k.fileName))
            continue;
        QString text;
        for (const ResultLine &same : std::as_const(kept)) {
            if (same.fileName == k.fileName)
                text += same.text + u"\r\n"_s;
        }
        (appendText(text, k.fileName) ? reached : refused).append(k.fileName);
    }
    QList<ResultLine> left;
    for (const ResultLine &k : std::as_const(kept)) {
        if (!reached.contains(k.fileName))
            left.append(k);
        else if (written)
            written->append(k);
    }
    kept = left;
    return reached;
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
