#include "RosterReader.h"

#include "CsvReader.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

using namespace Qt::StringLiterals;

namespace RosterReader {

namespace {

// Larger files are no roster: Excel's largest sheet as text is well below this.
constexpr qint64 maxFileSize = qint64(1) << 30;

QString shown(const QString &path)
{
    return QDir::toNativeSeparators(path);
}

// An OLE compound file: an old .xls, or an .xlsx with a password (its package is encrypted
// into an "EncryptedPackage" stream).
bool isCompoundFile(const QByteArray &bytes)
{
    return bytes.startsWith("\xD0\xCF\x11\xE0\xA1\xB1\x1A\xE1");
}

bool isEncryptedPackage(const QByteArray &bytes)
{
    static const QByteArray name = QByteArray("E\0n\0c\0r\0y\0p\0t\0e\0d\0P\0a\0c\0k\0a\0g\0e\0", 32);
    return bytes.contains(name);
}

} // namespace

RosterFile readBytes(const QByteArray &bytes, const QString &path, int sheetIndex)
{
    RosterFile file;
    const QString name = shown(path);
    const QString suffix = QFileInfo(path).suffix().toLower();
    if (isCompoundFile(bytes)) {
        file.error = isEncryptedPackage(bytes)
            ? u"%1 设有密码保护，请在 Excel 中取消密码并保存后再导入。"_s.arg(name)
            : u"%1 是旧版 Excel 文件（.xls），请在 Excel 中另存为 Excel 工作簿（.xlsx）后再导入。"_s.arg(name);
        return file;
    }
    const QString damaged = u"%1 已损坏或不是 Excel 工作簿，请在 Excel 中打开并另存为 .xlsx 后再导入。"_s.arg(name);
    const QString tooLarge = u"%1 太大，无法导入。"_s.arg(name);
    if (bytes.startsWith("PK")) {
        XlsxReader::Book book = XlsxReader::read(bytes, sheetIndex);
        if (book.status != XlsxReader::Status::Ok) {
            file.error = book.status == XlsxReader::Status::TooLarge ? tooLarge : damaged;
            return file;
        }
        file.sheets = std::move(book.sheets);
        file.sheetIndex = book.sheetIndex;
        file.sheet = std::move(book.sheet);
        return file;
    }
    if (suffix == u"xlsx" || suffix == u"xlsm" || suffix == u"xls") {
        file.error = damaged;
        return file;
    }
    const CsvReader::Result csv = CsvReader::read(bytes, file.sheet);
    if (csv.status == CsvReader::Status::BadEncoding)
        file.error = u"%1 的文字编码无法识别，请在 Excel 中另存为“CSV UTF-8”后再导入。"_s.arg(name);
    else if (csv.status == CsvReader::Status::TooLarge)
        file.error = tooLarge;
    file.sheet.name = QFileInfo(path).fileName();
    return file;
}

RosterFile read(const QString &path, int sheetIndex)
{
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly)) {
        RosterFile file;
        file.error = u"无法读取 %1，请确认文件存在且没有被其他程序占用。"_s.arg(shown(path));
        return file;
    }
    if (f.size() > maxFileSize) {
        RosterFile file;
        file.error = u"%1 太大，无法导入。"_s.arg(shown(path));
        return file;
    }
    const QByteArray bytes = f.readAll();
    if (f.error() != QFileDevice::NoError) {
        RosterFile file;
        file.error = u"无法读取 %1，请确认文件存在且没有被其他程序占用。"_s.arg(shown(path));
        return file;
    }
    return readBytes(bytes, path, sheetIndex);
}

} // namespace RosterReader
