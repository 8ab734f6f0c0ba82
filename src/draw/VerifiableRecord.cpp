#include "VerifiableRecord.h"

#include "ResultFile.h"
#include "VerifiableSelection.h"
#include "entries/EntryTable.h"
#include "settings/TextCodec.h"

#include <QCryptographicHash>
#include <QSaveFile>
#include <QSet>

using namespace Qt::StringLiterals;

namespace VerifiableRecordFile {

namespace {

const QString algorithmKey = u"算法"_s;
const QString programKey = u"程序"_s;
const QString poolFileKey = u"名单文件"_s;
const QString digestKey = u"名单SHA256"_s;
const QString poolSizeKey = u"人数"_s;
const QString drawCountKey = u"摇出个数"_s;
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

QStringList headerLines(const QString &poolFileName, const QString &sha256, int poolSize, int drawCount)
{
    return {algorithmKey + u'=' + algorithm,
            programKey + u"=ZOP摇号 V:1.22"_s,
            poolFileKey + u'=' + poolFileName,
            digestKey + u'=' + sha256,
            poolSizeKey + u'=' + QString::number(poolSize),
            drawCountKey + u'=' + QString::number(drawCount)};
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
    QStringList lines = headerLines(r.poolFileName, r.poolSha256, r.poolSize, r.drawCount);
    lines[1] = programKey + u'=' + r.program;
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

        if (key.startsWith(sourceKey)) {
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

} // namespace VerifiableRecordFile
