#include "ResultExport.h"

#include "settings/IniFile.h"
#include "settings/Settings.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <xlsxwriter.h>

#ifdef Q_OS_WIN
#include <windows.h>
#endif

using namespace Qt::StringLiterals;

namespace ResultExport {

namespace {

const QString timeFormat = u"yyyy-MM-dd HH:mm:ss"_s;

QString csvField(const QString &text)
{
    if (!text.contains(u',') && !text.contains(u'"') && !text.contains(u'\r') && !text.contains(u'\n'))
        return text;
    return u'"' + QString(text).replace(u'"', u"\"\""_s) + u'"';
}

QStringList cells(const ResultRow &row)
{
    return {row.prize, QString::number(row.number), row.entry.column1, row.entry.column2,
            row.entry.column3, row.time.isValid() ? row.time.toString(timeFormat) : QString(), row.note};
}

bool writeCsv(const QList<ResultRow> &rows, const QString &fileName)
{
    QString text;
    text.reserve(64 * (rows.size() + 1));
    auto addLine = [&text](const QStringList &fields) {
        for (qsizetype i = 0; i < fields.size(); ++i) {
            if (i > 0)
                text += u',';
            text += csvField(fields[i]);
        }
        text += u"\r\n"_s;
    };
    addLine(headings());
    for (const ResultRow &row : rows)
        addLine(cells(row));
    // The byte order mark makes Excel read the Chinese as UTF-8.
    return IniFile::writeWholeFile(text, fileName, TextEncoding::Utf8Bom) == IniFile::ReadOk;
}

// libxlsxwriter built with MinGW opens the file with the ANSI fopen, which cannot spell every
// name: the folder's short name and an ASCII file name get through any code page.
QByteArray xlsxwriterPath(const QString &path)
{
#ifdef Q_OS_WIN
    const QFileInfo info(path);
    const std::wstring folder = QDir::toNativeSeparators(info.absolutePath()).toStdWString();
    wchar_t shortName[MAX_PATH];
    const DWORD n = GetShortPathNameW(folder.c_str(), shortName, MAX_PATH);
    const QString dir = n > 0 && n < MAX_PATH ? QString::fromWCharArray(shortName, int(n))
                                              : QDir::toNativeSeparators(info.absolutePath());
    return (dir + u'\\' + info.fileName()).toLocal8Bit();
#else
    return QFile::encodeName(path);
#endif
}

bool writeXlsx(const QList<ResultRow> &rows, const QString &path)
{
    // Rows go to the file as they are written, so memory stays flat for any length.
    lxw_workbook_options options{};
    options.constant_memory = LXW_TRUE;
    lxw_workbook *book = workbook_new_opt(xlsxwriterPath(path).constData(), &options);
    if (!book)
        return false;
    lxw_worksheet *sheet = workbook_add_worksheet(book, "中奖名单");
    lxw_format *bold = workbook_add_format(book);
    format_set_bold(bold);
    lxw_format *timeCell = workbook_add_format(book);
    format_set_num_format(timeCell, "yyyy-mm-dd hh:mm:ss");
    const double widths[] = {12, 6, 14, 12, 16, 20, 8};
    for (lxw_col_t c = 0; c < 7; ++c)
        worksheet_set_column(sheet, c, c, widths[c], nullptr);

    const QStringList heads = headings();
    for (lxw_col_t c = 0; c < lxw_col_t(heads.size()); ++c)
        worksheet_write_string(sheet, 0, c, heads[c].toUtf8().constData(), bold);
    lxw_row_t r = 1;
    for (const ResultRow &row : rows) {
        auto text = [&](lxw_col_t c, const QString &s) {
            if (!s.isEmpty())
                worksheet_write_string(sheet, r, c, s.toUtf8().constData(), nullptr);
        };
        text(0, row.prize);
        worksheet_write_number(sheet, r, 1, row.number, nullptr);
        // Entry columns stay text: a number such as 0012 keeps its zeros.
        text(2, row.entry.column1);
        text(3, row.entry.column2);
        text(4, row.entry.column3);
        if (row.time.isValid()) {
            const QDate d = row.time.date();
            const QTime t = row.time.time();
            lxw_datetime when{d.year(), d.month(), d.day(), t.hour(), t.minute(), double(t.second())};
            worksheet_write_datetime(sheet, r, 5, &when, timeCell);
        }
        text(6, row.note);
        ++r;
    }
    return workbook_close(book) == LXW_NO_ERROR;
}

} // namespace

QStringList headings()
{
    return {u"奖项"_s, u"序号"_s, u"列1"_s, u"列2"_s, u"列3"_s, u"时间"_s, u"备注"_s};
}

Outcome writeRows(const QList<ResultRow> &rows, const QString &fileName)
{
    Outcome outcome;
    const QString suffix = QFileInfo(fileName).suffix().toLower();
    const QString shown = QDir::toNativeSeparators(fileName);
    if (suffix != u"xlsx"_s && suffix != u"csv"_s) {
        outcome.message = u"无法导出到“%1”：文件名须以 .xlsx 或 .csv 结尾。"_s.arg(shown);
        return outcome;
    }
    bool ok = false;
    if (suffix == u"csv"_s) {
        ok = writeCsv(rows, fileName);
    } else {
        const QFileInfo target(fileName);
        // Checked first: libxlsxwriter would print its own complaint about a missing folder.
        if ((target.exists() && !target.isFile()) || !target.dir().exists()) {
            ok = false;
        } else {
            // ASCII, for xlsxwriterPath; the next export removes a leftover of a killed one.
            const QString temporary = target.dir().filePath(u"zop-export.xlsx.zop-saving"_s);
            QFile::remove(temporary);
            ok = writeXlsx(rows, temporary) && IniFile::renameOver(temporary, fileName);
            if (!ok)
                QFile::remove(temporary);
        }
    }
    if (!ok) {
        outcome.message = u"无法写入“%1”。"_s.arg(shown);
        return outcome;
    }
    outcome.status = Status::Written;
    outcome.rows = int(rows.size());
    return outcome;
}

Outcome exportEvent(const QString &appDir, const QString &fileName)
{
    if (!QFileInfo(appDir).isDir()) {
        Outcome missing;
        missing.message = u"无法读取文件夹“%1”。"_s.arg(QDir::toNativeSeparators(appDir));
        return missing;
    }
    Settings settings;
    AppFiles::loadSettings(settings, appDir);
    const PrizeListFile prizes = PrizeLists::read(settings.appDir + PrizeLists::fileName());
    const EventResults results = readEventResults(settings.appDir, settings.fieldSeparator, prizes.prizes);
    Outcome outcome;
    if (!results.unreadable.isEmpty()) {
        QStringList names;
        for (const QString &f : results.unreadable)
            names.append(u"“"_s + QDir::toNativeSeparators(f) + u"”"_s);
        outcome.message = u"结果文件%1无法读取，未导出。"_s.arg(names.join(u'、'));
        return outcome;
    }
    if (results.rows.isEmpty()) {
        outcome.status = Status::NothingToExport;
        outcome.message = u"没有可导出的摇号结果。"_s;
        return outcome;
    }
    return writeRows(results.rows, fileName);
}

} // namespace ResultExport
