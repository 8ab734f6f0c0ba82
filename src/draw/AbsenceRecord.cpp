#include "AbsenceRecord.h"

#include "ResultFile.h"
#include "settings/IniFile.h"

#include <QDir>

using namespace Qt::StringLiterals;

namespace {

QString recordPath(const QString &appDir)
{
    return QDir(appDir).filePath(absenceRecordFileName());
}

// A line break inside the free text would start a line readers take for a record.
QString oneLine(QString text)
{
    text.replace(u'\r', u' ');
    text.replace(u'\n', u' ');
    return text;
}

bool isFileName(QStringView name)
{
    return !name.isEmpty() && !name.contains(u'/') && !name.contains(u'\\');
}

} // namespace

QString absenceRecordFileName()
{
    return u"缺席记录.txt"_s;
}

bool appendAbsence(const QString &appDir, const Absence &a, const QString &readableTail)
{
    QString line = a.absentFile + u'\t' + QString::number(a.absentLine) + u'\t' + a.replacementFile
                   + u'\t' + QString::number(a.replacementLine);
    if (!readableTail.isEmpty())
        line += u'\t' + oneLine(readableTail);
    return appendResultLine(line, recordPath(appDir));
}

QList<Absence> readAbsences(const QString &appDir, int *unreadable)
{
    QList<Absence> records;
    int skipped = 0;
    QString text;
    IniFile::readWholeFile(recordPath(appDir), text, TextSource::OwnOutput);
    for (QStringView line : QStringView(text).split(u'\n')) {
        if (line.endsWith(u'\r'))
            line.chop(1);
        if (line.trimmed().isEmpty())
            continue;
        const QList<QStringView> fields = line.split(u'\t');
        Absence a;
        bool ok1 = false, ok2 = false;
        if (fields.size() >= 4) {
            a.absentFile = fields[0].toString();
            a.absentLine = fields[1].toInt(&ok1);
            a.replacementFile = fields[2].toString();
            a.replacementLine = fields[3].toInt(&ok2);
        }
        if (ok1 && ok2 && a.absentLine > 0 && a.replacementLine > 0 && isFileName(a.absentFile)
            && isFileName(a.replacementFile))
            records.append(a);
        else
            ++skipped;
    }
    if (unreadable)
        *unreadable = skipped;
    return records;
}
