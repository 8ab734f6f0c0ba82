#include "RecordVerification.h"

#include "VerifiableRecord.h"
#include "VerifiableSelection.h"
#include "settings/IniFile.h"

using namespace Qt::StringLiterals;

namespace {

// Printed before the winners, from the record itself: a list swapped together with a matching
// new digest shows here even when everything recomputes.
QStringList recordFacts(const VerifiableRecord &r)
{
    QStringList lines{u"名单文件：%1"_s.arg(r.poolFileName),
                      u"名单SHA256：%1"_s.arg(VerifiableRecordFile::groupedHex(r.poolSha256)),
                      u"人数：%1"_s.arg(r.poolSize), u"摇出个数：%1"_s.arg(r.drawCount)};
    if (r.prize)
        lines.append(u"奖项：%1"_s.arg(*r.prize));
    if (r.excludedCount)
        lines.append(u"不参与：%1"_s.arg(*r.excludedCount));
    if (r.earlierWinnerCount)
        lines.append(u"已中奖不再参与：%1"_s.arg(*r.earlierWinnerCount));
    for (qsizetype i = 0; i < r.sources.size(); ++i)
        lines.append(u"随机数%1：%2"_s.arg(i + 1).arg(r.sources[i]));
    if (r.key)
        lines.append(u"密钥：%1"_s.arg(*r.key));
    return lines;
}

} // namespace

VerificationResult verifyRecord(const QString &recordFile)
{
    VerificationResult result;
    auto finish = [&](int status, const QString &message) {
        result.status = status;
        result.message = message;
        return result;
    };

    const IniFile::FileText text = IniFile::readTextFile(recordFile);
    if (text.status != IniFile::ReadOk)
        return finish(2, u"无法读取记录文件：%1"_s.arg(recordFile));
    if (text.decoded.hadErrors)
        return finish(2, u"记录文件含无法识别的字符：%1"_s.arg(recordFile));
    const RecordParse parsed = VerifiableRecordFile::parse(text.decoded.text);
    if (!parsed.record)
        return finish(2, u"记录文件第 %1 行格式不对（%2）：%3"_s.arg(parsed.errorLine).arg(parsed.error, recordFile));
    const VerifiableRecord &r = *parsed.record;
    result.lines = recordFacts(r);

    const VerifiableRecordFile::PoolFile pool = VerifiableRecordFile::readPoolFile(recordFile, r);
    if (pool.status != 0)
        return finish(pool.status, pool.problem);
    if (!r.key) {
        result.lines.append(u"不完整：记录中还没有随机数和密钥"_s);
        return finish(3, QString());
    }

    const std::optional<QByteArray> key = Rfc3797::keyFromSources(r.sources);
    if (!key)
        return finish(2, u"记录中的随机数无法构成密钥：%1"_s.arg(recordFile));
    if (QString::fromLatin1(*key) != *r.key)
        return finish(1, u"密钥不一致：由随机数得出 %1，记录为 %2"_s.arg(QString::fromLatin1(*key), *r.key));

    VerifiableSelection selection(r.poolSize, *key);
    int absences = 0;
    const qsizetype firstWinnerLine = result.lines.size();
    QList<int> lineOfWinner; // winner number - 1 -> index in result.lines
    for (const RecordStep &s : r.steps) {
        if (s.absence) {
            ++absences;
            result.lines[lineOfWinner[s.number - 1]] += u"\t（缺席）"_s;
            continue;
        }
        // Only an absence opens a selection beyond the draw count.
        if (s.number > r.drawCount + absences)
            return finish(1, u"中奖%1不一致：摇出个数为 %2，其前只有 %3 条缺席"_s.arg(s.number).arg(r.drawCount).arg(absences));
        const int position = selection.selectNext();
        if (position != s.position) {
            return finish(1, position == 0 ? u"中奖%1不一致：已无可摇的选择"_s.arg(s.number)
                                           : u"中奖%1不一致：应为 %2，记录为 %3"_s.arg(s.number).arg(position).arg(s.position));
        }
        lineOfWinner.append(int(result.lines.size()));
        result.lines.append(u"%1\t%2\t%3"_s.arg(s.number).arg(position).arg(pool.lines[position - 1]));
    }
    // A draw stopped or killed before its last winner: what is there matches, but it is not the draw.
    const int recorded = int(result.lines.size() - firstWinnerLine);
    const int expected = VerifiableRecordFile::expectedWinners(r);
    if (recorded < expected) {
        result.lines.append(u"不完整：已记录的 %1 个中奖一致，应有 %2 个"_s.arg(recorded).arg(expected));
        return finish(3, QString());
    }
    result.lines.append(u"一致"_s);
    return finish(0, QString());
}
