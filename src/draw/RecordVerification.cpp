#include "RecordVerification.h"

#include "VerifiableRecord.h"
#include "VerifiableSelection.h"
#include "settings/IniFile.h"

#include <QFile>
#include <QDir>
#include <QFileInfo>

using namespace Qt::StringLiterals;

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
    if (!r.key)
        return finish(2, u"记录中还没有随机数和密钥：%1"_s.arg(recordFile));

    const QString poolPath = QFileInfo(recordFile).dir().filePath(r.poolFileName);
    QFile poolFile(poolPath);
    if (!poolFile.open(QIODevice::ReadOnly))
        return finish(2, u"无法读取名单文件：%1"_s.arg(poolPath));
    const QByteArray bytes = poolFile.readAll();
    if (poolFile.error() != QFileDevice::NoError)
        return finish(2, u"无法读取名单文件：%1"_s.arg(poolPath));

    const QString digest = VerifiableRecordFile::sha256Hex(bytes);
    if (digest != r.poolSha256)
        return finish(1, u"名单SHA256不一致：名单文件为 %1，记录为 %2"_s.arg(digest, r.poolSha256));
    const DecodedText pool = TextCodec::decode(bytes, TextSource::OwnOutput);
    QList<QStringView> poolLines = QStringView(pool.text).split(u"\r\n"_s);
    if (!poolLines.isEmpty() && poolLines.last().isEmpty())
        poolLines.removeLast();
    if (poolLines.size() != r.poolSize)
        return finish(1, u"人数不一致：名单文件有 %1 行，记录为 %2"_s.arg(poolLines.size()).arg(r.poolSize));

    const std::optional<QByteArray> key = Rfc3797::keyFromSources(r.sources);
    if (!key)
        return finish(2, u"记录中的随机数无法构成密钥：%1"_s.arg(recordFile));
    if (QString::fromLatin1(*key) != *r.key)
        return finish(1, u"密钥不一致：由随机数得出 %1，记录为 %2"_s.arg(QString::fromLatin1(*key), *r.key));

    VerifiableSelection selection(r.poolSize, *key);
    int absences = 0;
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
        lineOfWinner.append(result.lines.size());
        result.lines.append(u"%1\t%2\t%3"_s.arg(s.number).arg(position).arg(poolLines[position - 1]));
    }
    result.lines.append(u"一致"_s);
    return finish(0, QString());
}
