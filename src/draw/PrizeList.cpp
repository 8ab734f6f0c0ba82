#include "PrizeList.h"

#include "ResultFile.h"
#include "settings/IniFile.h"
#include "settings/ValueText.h"

#include <QSet>
#include <QStringList>

using namespace Qt::StringLiterals;

namespace PrizeLists {

QString fileName()
{
    return u"奖项设置.txt"_s;
}

PrizeListFile parse(QStringView text)
{
    PrizeListFile file;
    file.status = IniFile::ReadOk;
    QSet<QString> taken; // by file name part: two names that give one file name would share results
    int number = 0;
    for (QStringView line : text.tokenize(u'\n')) {
        ++number;
        if (line.endsWith(u'\r'))
            line.chop(1);
        if (ValueText::trimBlanks(line).isEmpty())
            continue;
        const QList<QStringView> fields = line.split(u'\t');
        bool ok = fields.size() == 2 || fields.size() == 3;
        Prize prize;
        if (ok) {
            prize.name = ValueText::trimBlanks(fields[0]).toString();
            prize.count = ValueText::trimBlanks(fields[1]).toInt(&ok);
            if (fields.size() == 3)
                prize.picture = ValueText::trimBlanks(fields[2]).toString();
            ok = ok && !prize.name.isEmpty() && prize.count >= 1 && prize.count <= maxCount
                 && !taken.contains(prizeFileNamePart(prize.name));
        }
        if (!ok) {
            file.badLines.append(number);
            continue;
        }
        taken.insert(prizeFileNamePart(prize.name));
        file.prizes.append(prize);
    }
    // A final CR LF ends the last line; it does not start another.
    return file;
}

PrizeListFile read(const QString &fileName)
{
    const IniFile::FileText read = IniFile::readTextFile(fileName);
    if (read.status != IniFile::ReadOk) {
        PrizeListFile file;
        file.status = read.status;
        return file;
    }
    PrizeListFile file = parse(read.decoded.text);
    file.encoding = read.decoded.encoding;
    file.hadErrors = read.decoded.hadErrors;
    return file;
}

QString text(const QList<Prize> &prizes)
{
    QString all;
    for (const Prize &p : prizes) {
        all += p.name + u'\t' + QString::number(p.count);
        if (!p.picture.isEmpty())
            all += u'\t' + p.picture;
        all += u"\r\n"_s;
    }
    return all;
}

QString badLinesMessage(const PrizeListFile &file)
{
    if (file.badLines.isEmpty())
        return {};
    QStringList numbers;
    for (int n : file.badLines)
        numbers.append(QString::number(n));
    return u"“%1”第 %2 行无法读取（应为：奖项名称、TAB、人数、可选TAB和图片文件名），已跳过。"_s
        .arg(fileName(), numbers.join(u'、'));
}

int nextOpen(const QList<int> &remaining, int after)
{
    const int n = int(remaining.size());
    for (int k = 1; k <= n; ++k) {
        const int i = (after + k) % n;
        if (i >= 0 && remaining[i] > 0)
            return i;
    }
    return -1;
}

} // namespace PrizeLists
