#include "INIFileModule1.h"

#include <QFile>
#include <QFileInfo>
#include <QSaveFile>
#include <QStringList>

using namespace Qt::StringLiterals;

namespace {

QStringView trimBlanks(QStringView s)
{
    qsizetype b = 0, e = s.size();
    while (b < e && s[b] == u' ')
        ++b;
    while (e > b && s[e - 1] == u' ')
        --e;
    return s.mid(b, e - b);
}

// Lines end at CR LF or at a lone CR; a lone LF stays inside its line.
QList<QStringView> splitLines(QStringView text)
{
    QList<QStringView> lines;
    qsizetype start = 0;
    const qsizetype n = text.size();
    for (qsizetype i = 0; i < n; ++i) {
        if (text[i] == u'\r') {
            lines.append(text.mid(start, i - start));
            if (i + 1 < n && text[i + 1] == u'\n')
                ++i;
            start = i + 1;
        }
    }
    if (start < n)
        lines.append(text.mid(start));
    return lines;
}

bool readBytes(const QString &fileName, QByteArray &bytes)
{
    QFile file(fileName);
    if (!QFileInfo(fileName).isFile() || !file.open(QIODevice::ReadOnly))
        return false;
    bytes = file.readAll();
    return file.error() == QFileDevice::NoError;
}

} // namespace

namespace INIFileModule1 {

FileText readTextFile(const QString &fileName)
{
    FileText result;
    if (!QFileInfo::exists(fileName)) {
        result.status = NoSuchFile;
        return result;
    }
    QByteArray bytes;
    if (!readBytes(fileName, bytes)) {
        result.status = ReadFailed;
        return result;
    }
    result.decoded = TextCodec::decode(bytes);
    result.status = ReadOk;
    return result;
}

int readWholeFile(const QString &fileName, QString &text)
{
    FileText file = readTextFile(fileName);
    if (file.status == NoSuchFile)
        text.clear();
    else if (file.status == ReadOk)
        text = std::move(file.decoded.text);
    return file.status;
}

int writeWholeFile(const QString &text, const QString &fileName, TextEncoding encoding)
{
    // Temporary file and rename: an interrupted save never leaves a truncated file.
    QSaveFile file(fileName);
    if (!file.open(QIODevice::WriteOnly))
        return ReadFailed;
    const QByteArray bytes = TextCodec::encode(text, encoding);
    if (file.write(bytes) != bytes.size()) {
        file.cancelWriting();
        return ReadFailed;
    }
    return file.commit() ? ReadOk : ReadFailed;
}

int writeWholeFile(const QString &text, const QString &fileName)
{
    TextEncoding encoding = TextEncoding::Gb18030;
    const FileText existing = readTextFile(fileName);
    if (existing.status == ReadOk)
        encoding = existing.decoded.encoding;
    return writeWholeFile(text, fileName, encoding);
}

QString iniReadValue(const QString &fileName, const QString &key)
{
    const FileText file = readTextFile(fileName);
    if (file.status != ReadOk)
        return QString();
    const QString search = trimBlanks(key).toString().toUpper() + u'=';
    for (QStringView line : splitLines(file.decoded.text)) {
        if (trimBlanks(line).startsWith(u';'))
            continue;
        if (line.toString().toUpper().contains(search))
            return line.mid(line.indexOf(u'=') + 1).toString();
    }
    return QString();
}

bool iniWriteValue(const QString &fileName, const QString &key, const QString &value)
{
    const FileText file = readTextFile(fileName);
    if (file.status != ReadOk || file.decoded.hadErrors)
        return false;

    QStringList lines;
    for (QStringView line : splitLines(file.decoded.text)) {
        qsizetype b = 0;
        while (b < line.size() && line[b] == u' ')
            ++b;
        if (line.size() - b < 2)
            continue; // blank and one-character lines disappear at every write
        lines.append(line.mid(b).toString());
    }

    const QString prefix = key.toUpper() + u'=';
    const QString newLine = key + u'=' + value;
    bool replaced = false;
    for (QString &line : lines) {
        if (line.toUpper().startsWith(prefix)) {
            line = newLine;
            replaced = true;
        }
    }
    if (!replaced)
        lines.append(newLine);

    QString text;
    for (const QString &line : std::as_const(lines))
        text += line + u"\r\n"_s;
    return writeWholeFile(text, fileName, file.decoded.encoding) == ReadOk;
}

bool iniWriteValue(const QString &fileName, const QString &key, int value)
{
    return iniWriteValue(fileName, key, QString::number(value));
}

} // namespace INIFileModule1
