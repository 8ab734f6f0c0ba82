#include "ImportCommand.h"

#include "RosterImport.h"
#include "RosterReader.h"
#include "entries/Duplicates.h"
#include "settings/IniFile.h"
#include "settings/Settings.h"

#include <QDir>

#include <optional>

using namespace Qt::StringLiterals;

namespace ImportCommand {

namespace {

// "2", "B" -> 1 (from 0); "0" or "-" -> -1 (that column stays empty).
std::optional<int> parseColumn(const QString &text)
{
    bool ok = false;
    const int n = text.toInt(&ok);
    if (ok)
        return n >= 0 && n <= 16384 ? std::optional<int>(n - 1) : std::nullopt;
    if (text == u"-")
        return -1;
    int col = 0;
    for (QChar c : text) {
        const char16_t u = c.toUpper().unicode();
        if (u < u'A' || u > u'Z')
            return std::nullopt;
        col = col * 26 + (u - u'A' + 1);
        if (col > 16384)
            return std::nullopt;
    }
    return text.isEmpty() ? std::nullopt : std::optional<int>(col - 1);
}

Outcome failed(const QString &message)
{
    Outcome o;
    o.status = Failed;
    o.err.append(message);
    return o;
}

} // namespace

QString usage()
{
    return u"用法：zop-draw --import <名单.xlsx|名单.csv> <数据文件.txt> [--sheet N] [--columns 2,3,5] [--header | --no-header]"_s;
}

Outcome run(const QStringList &args, const QString &appDir)
{
    QStringList files;
    int sheet = -1;
    std::optional<std::array<int, 3>> columns;
    std::optional<bool> header;
    for (qsizetype i = 0; i < args.size(); ++i) {
        const QString &a = args[i];
        if (a == u"--sheet" && i + 1 < args.size()) {
            bool ok = false;
            sheet = args[++i].toInt(&ok) - 1;
            if (!ok || sheet < 0)
                return failed(u"--sheet 后应为工作表的序号（从 1 起）。"_s);
        } else if (a == u"--columns" && i + 1 < args.size()) {
            const QStringList parts = args[++i].split(u',');
            if (parts.size() > 3)
                return failed(u"--columns 最多三列，例如 2,3,5。"_s);
            std::array<int, 3> cols{-1, -1, -1};
            for (qsizetype k = 0; k < parts.size(); ++k) {
                const std::optional<int> c = parseColumn(parts[k].trimmed());
                if (!c)
                    return failed(u"--columns 中的“%1”不是列号，例如 2,3,5 或 B,C,E。"_s.arg(parts[k]));
                cols[size_t(k)] = *c;
            }
            columns = cols;
        } else if (a == u"--header" || a == u"--no-header") {
            header = a == u"--header";
        } else if (a.startsWith(u"--")) {
            return failed(usage());
        } else {
            files.append(a);
        }
    }
    if (files.size() != 2)
        return failed(usage());

    const QString roster = QDir::current().absoluteFilePath(files[0]);
    const QString target = QDir::current().absoluteFilePath(files[1]);
    RosterFile file = RosterReader::read(roster, sheet);
    if (!file.error.isEmpty())
        return failed(file.error);
    if (sheet >= 0 && (file.sheets.isEmpty() ? sheet > 0 : sheet >= file.sheets.size()))
        return failed(u"%1 没有第 %2 个工作表。"_s.arg(QDir::toNativeSeparators(roster)).arg(sheet + 1));

    Settings settings;
    AppFiles::loadSettings(settings, appDir);
    RosterImport::Mapping mapping = RosterImport::defaultMapping(file.sheet, header);
    if (columns)
        mapping.columns = *columns;
    const RosterImport::Entries imported = RosterImport::extract(file.sheet, mapping, settings.fieldSeparator);

    Outcome o;
    if (imported.entries.isEmpty()) {
        o.status = NothingToImport;
        o.err.append(u"%1 中没有可导入的内容，未写入文件。"_s.arg(QDir::toNativeSeparators(roster)));
        return o;
    }
    QString text;
    const QString &s = settings.fieldSeparator;
    for (int e = 1; e <= imported.entries.entryCount(); ++e)
        text += imported.entries.column(e, 1) + s + imported.entries.column(e, 2) + s
            + imported.entries.column(e, 3) + u"\r\n";
    if (IniFile::writeWholeFile(text, target, TextEncoding::Gb18030) != IniFile::ReadOk)
        return failed(u"无法写入 %1。"_s.arg(QDir::toNativeSeparators(target)));

    const QList<DuplicateGroup> groups = findDuplicates(imported.entries);
    o.status = Written;
    o.out.append(u"已导入 %1 条，重复 %2 处。"_s.arg(imported.entries.entryCount()).arg(groups.size()));
    for (const DuplicateGroup &g : groups)
        o.out.append(RosterImport::describe(g, imported.entries, imported.rowNumbers));
    if (imported.replacedCells > 0)
        o.out.append(u"%1 个单元格中的制表符、换行或分隔符已换成空格。"_s.arg(imported.replacedCells));
    return o;
}

} // namespace ImportCommand
