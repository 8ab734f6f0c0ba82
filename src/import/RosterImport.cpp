#include "RosterImport.h"

#include "RosterSheet.h"

#include <QStringList>

using namespace Qt::StringLiterals;

namespace RosterImport {

namespace {

// Heading words for each data column, the likeliest first.
const QStringList numberWords = {u"工号"_s, u"员工编号"_s, u"职工号"_s, u"编号"_s, u"学号"_s, u"号码"_s, u"ID"_s};
const QStringList nameWords = {u"姓名"_s, u"名字"_s, u"Name"_s};
const QStringList unitWords = {u"部门"_s, u"单位"_s, u"科室"_s, u"班级"_s, u"组别"_s, u"Department"_s};
const QStringList otherWords = {u"序号"_s, u"性别"_s, u"岗位"_s, u"职务"_s, u"手机"_s, u"电话"_s, u"备注"_s};

bool hasWord(QStringView text, const QStringList &words)
{
    for (const QString &w : words) {
        if (text.contains(w, Qt::CaseInsensitive))
            return true;
    }
    return false;
}

bool hasDigit(QStringView text)
{
    for (QChar c : text) {
        if (c.isDigit())
            return true;
    }
    return false;
}

int nextNonEmptyRow(const RosterSheet &sheet, int from)
{
    for (int r = from; r < sheet.rowCount(); ++r) {
        if (!sheet.isRowEmpty(r))
            return r;
    }
    return -1;
}

} // namespace

int headerRow(const RosterSheet &sheet)
{
    return nextNonEmptyRow(sheet, 0);
}

bool looksLikeHeader(const RosterSheet &sheet)
{
    const int first = headerRow(sheet);
    if (first < 0)
        return false;
    bool anyDigit = false;
    for (int c = 0; c < sheet.columnCount(); ++c) {
        const QStringView text = sheet.cell(first, c);
        if (hasWord(text, numberWords) || hasWord(text, nameWords) || hasWord(text, unitWords)
            || hasWord(text, otherWords))
            return true;
        anyDigit = anyDigit || hasDigit(text);
    }
    if (anyDigit)
        return false;
    // Words above numbers: 人员 | 编码 over 张三 | 1001.
    const int second = nextNonEmptyRow(sheet, first + 1);
    if (second < 0)
        return false;
    for (int c = 0; c < sheet.columnCount(); ++c) {
        if (!sheet.cell(first, c).isEmpty() && hasDigit(sheet.cell(second, c)))
            return true;
    }
    return false;
}

Mapping defaultMapping(const RosterSheet &sheet, std::optional<bool> header)
{
    Mapping m;
    m.header = header.value_or(looksLikeHeader(sheet));
    const int row = headerRow(sheet);
    if (m.header && row >= 0) {
        const QStringList *sets[3] = {&numberWords, &nameWords, &unitWords};
        for (int k = 0; k < 3; ++k) {
            for (const QString &word : *sets[k]) {
                for (int c = 0; c < sheet.columnCount() && m.columns[k] < 0; ++c) {
                    const bool taken = std::find(m.columns.begin(), m.columns.end(), c) != m.columns.end();
                    if (!taken && sheet.cell(row, c).contains(word, Qt::CaseInsensitive))
                        m.columns[k] = c;
                }
                if (m.columns[k] >= 0)
                    break;
            }
        }
    }
    // What the headings did not name: the first non-empty columns not taken yet.
    int c = 0;
    for (int &column : m.columns) {
        if (column >= 0)
            continue;
        while (c < sheet.columnCount()
               && (!sheet.columnHasText(c) || std::find(m.columns.begin(), m.columns.end(), c) != m.columns.end()))
            ++c;
        if (c < sheet.columnCount())
            column = c++;
    }
    return m;
}

Entries extract(const RosterSheet &sheet, const Mapping &mapping, QStringView separator)
{
    Entries out;
    int first = 0;
    if (mapping.header) {
        const int row = headerRow(sheet);
        first = row < 0 ? sheet.rowCount() : row + 1;
    }
    // A blank cannot stand for a blank separator: there the separator is dropped instead.
    const QString blank = separator.contains(u' ') ? QString() : u" "_s;
    QString cleaned[3];
    for (int r = first; r < sheet.rowCount(); ++r) {
        bool any = false;
        for (int k = 0; k < 3; ++k) {
            const int c = mapping.columns[k];
            const QStringView cell = c >= 0 ? sheet.cell(r, c) : QStringView();
            QString &text = cleaned[k];
            text = cell.toString();
            // A line break is one blank, whichever way it was written.
            bool replaced = text.contains(u"\r\n");
            if (replaced)
                text.replace(u"\r\n"_s, u"\n"_s);
            for (QChar &ch : text) {
                if (ch == u'\t' || ch == u'\r' || ch == u'\n') {
                    ch = u' ';
                    replaced = true;
                }
            }
            if (!separator.isEmpty() && separator != u" ") {
                while (text.contains(separator)) {
                    text.replace(separator.toString(), blank);
                    replaced = true;
                }
            }
            if (separator == u" " && text.trimmed().contains(u' ')) {
                text = text.trimmed().remove(u' ');
                replaced = true;
            }
            text = text.trimmed();
            out.replacedCells += replaced ? 1 : 0;
            any = any || !text.isEmpty();
        }
        if (!any)
            continue;
        out.entries.append(cleaned[0], cleaned[1], cleaned[2]);
        out.rowNumbers.append(sheet.rowNumber(r));
    }
    return out;
}

} // namespace RosterImport

#include "entries/Duplicates.h"

namespace RosterImport {

QString describe(const DuplicateGroup &group, const EntryTable &entries, const QList<int> &rowNumbers, int existing)
{
    const int first = group.entries.front();
    QString key = entries.column(first, 1).toString();
    if (key.isEmpty() || group.wholeRow) {
        QStringList columns;
        for (int c = 1; c <= 3; ++c) {
            if (!entries.column(first, c).isEmpty())
                columns.append(entries.column(first, c).toString());
        }
        key = columns.join(u' ');
    }
    QStringList listed, rows;
    for (int e : group.entries) {
        if (e <= existing)
            listed.append(QString::number(e));
        else if (e - existing - 1 < rowNumbers.size())
            rows.append(QString::number(rowNumbers[e - existing - 1]));
    }
    QStringList places;
    if (!listed.isEmpty())
        places.append(u"现有名单第 %1 条"_s.arg(listed.join(u'、')));
    if (!rows.isEmpty())
        places.append(u"第 %1 行"_s.arg(rows.join(u'、')));
    return key + (group.wholeRow ? u" 整行重复："_s : u" 重复："_s) + places.join(u'，');
}

} // namespace RosterImport
