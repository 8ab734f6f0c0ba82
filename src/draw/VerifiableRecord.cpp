#include "VerifiableRecord.h"

#include "ResultFile.h"
#include "VerifiableSelection.h"
#include "entries/EntryTable.h"
#include "settings/IniFile.h"
#include "settings/TextCodec.h"

#include <QCryptographicHash>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>
#include <QSet>

#include <algorithm>

using namespace Qt::StringLiterals;

namespace VerifiableRecordFile {

namespace {

const QString algorithmKey = u"算法"_s;
const QString programKey = u"程序"_s;
const QString poolFileKey = u"名单文件"_s;
const QString digestKey = u"名单SHA256"_s;
const QString poolSizeKey = u"人数"_s;
const QString drawCountKey = u"摇出个数"_s;
const QString prizeKey = u"奖项"_s;
const QString excludedKey = u"不参与"_s;
const QString earlierWinnersKey = u"已中奖不再参与"_s;
const QString sourceKey = u"随机数"_s;
const QString keyKey = u"密钥"_s;
const QString winnerKey = u"中奖"_s;
const QString absenceKey = u"缺席"_s;
const QString algorithm = u"RFC3797"_s;

// Plain digits only, at most nine of them: no sign, blank or exponent slips through.
std::optional<int> plainNumber(QStringView s)
{
    if (s.isEmpty() || s.size() > 9)
        return std::nullopt;
    int n = 0;
    for (QChar c : s) {
        if (c < u'0' || c > u'9')
            return std::nullopt;
        n = n * 10 + (c.unicode() - u'0');
    }
    return n;
}

bool isLowerHex(QStringView s)
{
    for (QChar c : s) {
        if (!((c >= u'0' && c <= u'9') || (c >= u'a' && c <= u'f')))
            return false;
    }
    return true;
}

} // namespace

QString poolFileName(const QString &stamp)
{
    return u"摇号名单"_s + stamp + u".txt"_s;
}

QString recordFileName(const QString &stamp)
{
    return u"摇号记录"_s + stamp + u".txt"_s;
}

QByteArray poolBytes(const EntryTable &table, const QList<int> &entries, const QString &separator)
{
    QString text;
    qsizetype length = 0;
    for (int e : entries)
        length += table.column(e, 1).size() + table.column(e, 2).size() + table.column(e, 3).size()
            + 2 * separator.size() + 2;
    text.reserve(length);
    for (int e : entries) {
        text += table.column(e, 1);
        text += separator;
        text += table.column(e, 2);
        text += separator;
        text += table.column(e, 3);
        text += u"\r\n"_s;
    }
    return TextCodec::encode(text, TextEncoding::Gb18030);
}

bool writePoolFile(const QString &fileName, const QByteArray &bytes)
{
    QSaveFile file(fileName);
    if (!file.open(QIODevice::WriteOnly))
        return false;
    if (file.write(bytes) != bytes.size()) {
        file.cancelWriting();
        return false;
    }
    return file.commit();
}

QString sha256Hex(const QByteArray &bytes)
{
    return QString::fromLatin1(QCryptographicHash::hash(bytes, QCryptographicHash::Sha256).toHex());
}

QString groupedHex(QStringView hex)
{
    QString out;
    for (qsizetype i = 0; i < hex.size(); i += 4) {
        if (i > 0)
            out += u' ';
        out += hex.mid(i, 4);
    }
    return out;
}

PoolFile readPoolFile(const QString &recordFile, const VerifiableRecord &r)
{
    PoolFile pool;
    pool.path = QFileInfo(recordFile).dir().filePath(r.poolFileName);
    QFile file(pool.path);
    if (!file.exists()) {
        pool.problem = u"名单文件“%1”不存在"_s.arg(QDir::toNativeSeparators(pool.path));
        return pool;
    }
    const QByteArray bytes = file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
    if (!file.isOpen() || file.error() != QFileDevice::NoError) {
        pool.problem = u"无法读取名单文件“%1”"_s.arg(QDir::toNativeSeparators(pool.path));
        return pool;
    }
    pool.status = 1;
    const QString digest = sha256Hex(bytes);
    if (digest != r.poolSha256) {
        pool.problem = u"名单SHA256不一致：名单文件为 %1，记录为 %2"_s.arg(digest, r.poolSha256);
        return pool;
    }
    const DecodedText text = TextCodec::decode(bytes, TextSource::OwnOutput);
    QStringList lines = text.text.split(u"\r\n"_s);
    if (!lines.isEmpty() && lines.last().isEmpty())
        lines.removeLast();
    if (lines.size() != r.poolSize) {
        pool.problem = u"人数不一致：名单文件有 %1 行，记录为 %2"_s.arg(lines.size()).arg(r.poolSize);
        return pool;
    }
    pool.status = 0;
    pool.lines = std::move(lines);
    return pool;
}

QString programName()
{
    return u"ZOP摇号 V:1.22"_s;
}

QStringList headerLines(const VerifiableRecord &r)
{
    QStringList lines{algorithmKey + u'=' + algorithm,
                      programKey + u'=' + r.program,
                      poolFileKey + u'=' + r.poolFileName,
                      digestKey + u'=' + r.poolSha256,
                      poolSizeKey + u'=' + QString::number(r.poolSize),
                      drawCountKey + u'=' + QString::number(r.drawCount)};
    if (r.prize)
        lines.append(prizeKey + u'=' + *r.prize);
    if (r.excludedCount)
        lines.append(excludedKey + u'=' + QString::number(*r.excludedCount));
    if (r.earlierWinnerCount)
        lines.append(earlierWinnersKey + u'=' + QString::number(*r.earlierWinnerCount));
    return lines;
}

QStringList randomInputLines(const QStringList &sources, const QString &key)
{
    QStringList lines;
    for (qsizetype i = 0; i < sources.size(); ++i)
        lines.append(sourceKey + QString::number(i + 1) + u'=' + sources[i]);
    lines.append(keyKey + u'=' + key);
    return lines;
}

QString winnerLine(int number, int position)
{
    return winnerKey + QString::number(number) + u'=' + QString::number(position);
}

QString absenceLine(int winnerNumber)
{
    return absenceKey + u'=' + QString::number(winnerNumber);
}

QStringList allLines(const VerifiableRecord &r)
{
    QStringList lines = headerLines(r);
    // Sources may stand without their key: a record cut short while they were written.
    lines += randomInputLines(r.sources, r.key.value_or(QString()));
    if (!r.key)
        lines.removeLast();
    for (const RecordStep &s : r.steps)
        lines.append(s.absence ? absenceLine(s.number) : winnerLine(s.number, s.position));
    return lines;
}

bool appendLines(const QString &fileName, const QStringList &lines)
{
    return !lines.isEmpty() && appendResultLine(lines.join(u"\r\n"_s), fileName);
}

RecordParse parse(QStringView text)
{
    RecordParse result;
    VerifiableRecord r;
    const QString headerKeys[] = {algorithmKey, programKey, poolFileKey, digestKey, poolSizeKey, drawCountKey};
    int header = 0; // header lines read so far
    int winners = 0;
    QSet<int> absent;
    int lineNumber = 0;
    auto fail = [&](const QString &why) {
        result.errorLine = lineNumber;
        result.error = why;
        return result;
    };

    const QList<QStringView> lines = text.split(u'\n');
    for (qsizetype i = 0; i < lines.size(); ++i) {
        QStringView line = lines.at(i);
        ++lineNumber;
        // CR LF ends a line; a CR with no LF after it, at the very end as well, stays in the line.
        if (i + 1 < lines.size() && line.endsWith(u'\r'))
            line.chop(1);
        if (line.isEmpty())
            continue;
        const qsizetype eq = line.indexOf(u'=');
        if (eq < 0)
            return fail(u"没有“=”"_s);
        const QStringView key = line.left(eq);
        const QStringView value = line.mid(eq + 1);

        if (header < 6) {
            if (key != headerKeys[header])
                return fail(u"应为“%1=”"_s.arg(headerKeys[header]));
            switch (header++) {
            case 0:
                if (value != algorithm)
                    return fail(u"算法不是 RFC3797"_s);
                break;
            case 1:
                r.program = value.toString();
                break;
            case 2:
                if (value.isEmpty() || value.contains(u'/') || value.contains(u'\\') || value == u"."_s
                    || value == u".."_s)
                    return fail(u"名单文件名不对"_s);
                r.poolFileName = value.toString();
                break;
            case 3:
                if (value.size() != 64 || !isLowerHex(value))
                    return fail(u"SHA256 应为 64 位小写十六进制数"_s);
                r.poolSha256 = value.toString();
                break;
            case 4:
                if (const auto n = plainNumber(value); n && *n > 0)
                    r.poolSize = *n;
                else
                    return fail(u"人数不对"_s);
                break;
            case 5:
                if (const auto k = plainNumber(value); k && *k > 0 && *k <= Rfc3797::maxIndex && *k <= r.poolSize)
                    r.drawCount = *k;
                else
                    return fail(u"摇出个数不对"_s);
                break;
            }
            continue;
        }

        // What was left out of the list is said before the random numbers, each once.
        const bool beforeRandom = r.sources.isEmpty() && !r.key;
        if (key == prizeKey || key == excludedKey || key == earlierWinnersKey) {
            if (!beforeRandom || (key == prizeKey ? r.prize.has_value()
                                  : key == excludedKey ? r.excludedCount.has_value()
                                                       : r.earlierWinnerCount.has_value()))
                return fail(u"“%1”的位置不对"_s.arg(key));
            if (key == prizeKey) {
                r.prize = value.toString();
                continue;
            }
            const auto n = plainNumber(value);
            if (!n)
                return fail(u"“%1”不是数字"_s.arg(key));
            (key == excludedKey ? r.excludedCount : r.earlierWinnerCount) = *n;
        } else if (key.startsWith(sourceKey)) {
            const auto j = plainNumber(key.mid(sourceKey.size()));
            if (r.key || !j || *j != r.sources.size() + 1)
                return fail(u"随机数的编号或位置不对"_s);
            if (!Rfc3797::keyFromSources({value.toString()}))
                return fail(u"随机数应为以空格分隔的非负整数"_s);
            r.sources.append(value.toString());
        } else if (key == keyKey) {
            if (r.key || r.sources.isEmpty())
                return fail(u"密钥的位置不对"_s);
            r.key = value.toString();
        } else if (key.startsWith(winnerKey)) {
            const auto i = plainNumber(key.mid(winnerKey.size()));
            const auto position = plainNumber(value);
            if (!r.key || !i || *i != winners + 1)
                return fail(u"中奖的编号或位置不对"_s);
            if (!position)
                return fail(u"中奖位置不是数字"_s);
            r.steps.append({false, *i, *position});
            ++winners;
        } else if (key == absenceKey) {
            const auto j = plainNumber(value);
            if (!r.key || !j || *j < 1 || *j > winners || absent.contains(*j))
                return fail(u"缺席没有对应的中奖行"_s);
            r.steps.append({true, *j, 0});
            absent.insert(*j);
        } else {
            return fail(u"未知的项“%1”"_s.arg(key));
        }
    }
    if (header < 6) {
        ++lineNumber;
        return fail(u"记录不完整"_s);
    }
    result.record = std::move(r);
    return result;
}

std::optional<VerifiableRecord> readRecord(const QString &recordFile)
{
    const IniFile::FileText text = IniFile::readTextFile(recordFile);
    if (text.status != IniFile::ReadOk || text.decoded.hadErrors)
        return std::nullopt;
    return parse(text.decoded.text).record;
}

int recordedWinners(const VerifiableRecord &r)
{
    return int(std::count_if(r.steps.cbegin(), r.steps.cend(), [](const RecordStep &s) { return !s.absence; }));
}

int expectedWinners(const VerifiableRecord &r)
{
    return r.drawCount + int(r.steps.size()) - recordedWinners(r);
}

} // namespace VerifiableRecordFile
