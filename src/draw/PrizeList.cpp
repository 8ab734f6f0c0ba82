#include "PrizeList.h"

#include "ResultFile.h"
#include "settings/IniFile.h"
#include "settings/ValueText.h"

#include <QDir>
#include <QFileInfo>

using namespace Qt::StringLiterals;

namespace PrizeLists {

QString fileName()
{
    return u"奖项设置.txt"_s;
}

QString nameProblem(const QString &name, const QStringList &earlierNames)
{
    if (name.isEmpty())
        return u"缺少奖项名称"_s;
    if (name.contains(u'\t'))
        return u"奖项名称不能含有 Tab"_s;
    for (const QString &earlier : earlierNames) {
        if (earlier == name)
            return u"与前面的奖项“%1”重名"_s.arg(earlier);
        if (prizeFileNamePart(earlier) == prizeFileNamePart(name))
            return u"与前面的奖项“%1”的结果文件同名（文件名中不能有的 <>:\"/\\|?* 都换成 _）"_s.arg(earlier);
    }
    if (!makesFileName(name))
        return u"奖项名称太长，结果文件名超出文件系统的限制"_s;
    if (looksLikeCopy(prizeFileNamePart(name)))
        return u"奖项名称的结尾像复制文件时加上的“ - 副本”“(2)”，其结果文件会被当作副本"_s;
    return {};
}

PrizeListFile parse(QStringView text)
{
    PrizeListFile file;
    file.status = IniFile::ReadOk;
    QStringList names;
    int number = 0;
    for (QStringView line : text.tokenize(u'\n')) {
        ++number;
        if (line.endsWith(u'\r'))
            line.chop(1);
        if (ValueText::trimBlanks(line).isEmpty())
            continue;
        const QList<QStringView> fields = line.split(u'\t');
        Prize prize;
        prize.name = ValueText::trimBlanks(fields[0]).toString();
        QString why;
        if (fields.size() > 3) {
            why = u"多于三项"_s;
        } else if (fields.size() < 2 || ValueText::trimBlanks(fields[1]).isEmpty()) {
            why = u"缺少人数（名称后应有 Tab 和人数）"_s;
        } else {
            bool ok = false;
            prize.count = ValueText::trimBlanks(fields[1]).toInt(&ok);
            if (!ok || prize.count < 1 || prize.count > maxCount)
                why = u"人数须为 1 至 %1 的整数"_s.arg(maxCount);
            if (fields.size() == 3)
                prize.picture = ValueText::trimBlanks(fields[2]).toString();
        }
        if (why.isEmpty())
            why = nameProblem(prize.name, names);
        if (!why.isEmpty()) {
            file.badLines.append(number);
            file.badReasons.append(why);
            continue;
        }
        names.append(prize.name);
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
    QString lines;
    for (qsizetype i = 0; i < file.badLines.size(); ++i)
        lines += u"\r\n第 %1 行：%2"_s.arg(file.badLines[i]).arg(file.badReasons.value(i));
    return u"“%1”有 %2 行无法读取，已跳过（每行应为：奖项名称、Tab、人数、可选 Tab 和图片文件名）："_s
               .arg(fileName())
               .arg(file.badLines.size())
        + lines;
}

QString missingPicturesMessage(const QList<Prize> &prizes, const QString &appDir)
{
    QStringList missing;
    for (const Prize &p : prizes) {
        if (!p.picture.isEmpty() && !QFileInfo(QDir(appDir).absoluteFilePath(p.picture)).isFile())
            missing.append(u"%1：“%2”"_s.arg(p.name, QDir::toNativeSeparators(p.picture)));
    }
    if (missing.isEmpty())
        return {};
    return u"找不到奖项图片，这些奖项将不显示图片：\r\n"_s + missing.join(u"\r\n"_s);
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
