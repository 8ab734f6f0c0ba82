#include "Duplicates.h"

#include "EntryTable.h"

#include <QHash>

#include <algorithm>

using namespace Qt::StringLiterals;

namespace {

QString keyText(const EntryTable &table, int entry)
{
    const QStringView first = table.column(entry, 1);
    if (!first.isEmpty())
        return first.toString();
    return QString(table.column(entry, 2) + u' ' + table.column(entry, 3)).trimmed();
}

} // namespace

QList<DuplicateGroup> findDuplicates(const EntryTable &table)
{
    // Views into the table's pool: no copy of a text per entry.
    QHash<QStringView, int> byFirst;
    QHash<QString, int> byRow;
    std::vector<int> groupOf; // group number per first entry seen, -1 while alone
    QList<DuplicateGroup> groups;
    std::vector<int> firstEntry;
    auto join = [&](int slot, int entry) {
        if (groupOf[size_t(slot)] < 0) {
            groupOf[size_t(slot)] = int(groups.size());
            groups.append({{firstEntry[size_t(slot)]}, true});
        }
        DuplicateGroup &g = groups[groupOf[size_t(slot)]];
        const int first = g.entries.front();
        g.wholeRow = g.wholeRow && table.equals(first, table.column(entry, 1), table.column(entry, 2), table.column(entry, 3));
        g.entries.append(entry);
    };
    for (int e = 1; e <= table.entryCount(); ++e) {
        const QStringView first = table.column(e, 1);
        const int next = int(firstEntry.size());
        int slot;
        if (!first.isEmpty()) {
            slot = byFirst.value(first, -1);
            if (slot < 0)
                byFirst.insert(first, next);
        } else {
            const QString key = u'\t' + table.column(e, 2) + u'\t' + table.column(e, 3);
            slot = byRow.value(key, -1);
            if (slot < 0)
                byRow.insert(key, next);
        }
        if (slot < 0) {
            firstEntry.push_back(e);
            groupOf.push_back(-1);
        } else {
            join(slot, e);
        }
    }
    // A group is made when its second entry comes; list them by their first.
    std::sort(groups.begin(), groups.end(),
              [](const DuplicateGroup &a, const DuplicateGroup &b) { return a.entries.front() < b.entries.front(); });
    return groups;
}

std::vector<bool> laterRepeats(const QList<DuplicateGroup> &groups, int entryCount)
{
    std::vector<bool> repeat(size_t(std::max(entryCount, 0)), false);
    for (const DuplicateGroup &g : groups) {
        for (qsizetype k = 1; k < g.entries.size(); ++k) {
            if (g.entries[k] >= 1 && g.entries[k] <= entryCount)
                repeat[size_t(g.entries[k] - 1)] = true;
        }
    }
    return repeat;
}

QString repeatedKeys(const QList<DuplicateGroup> &groups, const EntryTable &table, int shown)
{
    QStringList keys;
    for (qsizetype k = 0; k < groups.size() && k < shown; ++k)
        keys.append(keyText(table, groups[k].entries.front()));
    QString text = keys.join(u'、');
    if (groups.size() > shown)
        text += u" 等"_s;
    return text;
}

QString duplicatesNote(const EntryTable &table)
{
    const QList<DuplicateGroup> groups = findDuplicates(table);
    if (groups.isEmpty())
        return {};
    return u"\r\n数据文件第一列有 %1 个值重复出现：%2。"_s.arg(groups.size()).arg(repeatedKeys(groups, table));
}
