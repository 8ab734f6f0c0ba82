#include "EntryListModel.h"

#include "entries/EntryTable.h"

EntryListModel::EntryListModel(EntryTable &table, QObject *parent)
    : RowListModel(parent), table(table)
{
}

int EntryListModel::count() const
{
    return table.entryCount();
}

QString EntryListModel::rowText(int row) const
{
    const int e = row + 1;
    return table.column(e, 1) + separator + table.column(e, 2) + separator + table.column(e, 3);
}

int EntryListModel::parse(QString text, int *wideLines)
{
    int unread = 0;
    resetWith([&] { unread = table.parse(std::move(text), separator, wideLines); });
    return unread;
}

void EntryListModel::append(const EntryRecord &record)
{
    appendWith([&] { table.append(record); });
}

void EntryListModel::addAll(const EntryTable &entries, bool replace)
{
    resetWith([&] {
        if (replace)
            table.clear();
        for (int e = 1; e <= entries.entryCount(); ++e)
            table.append(entries.column(e, 1), entries.column(e, 2), entries.column(e, 3));
    });
}

void EntryListModel::remove(int row)
{
    removeWith(row, [&] { table.remove(row + 1); });
}

void EntryListModel::replace(int row, const EntryRecord &record)
{
    table.replace(row + 1, record);
    const QModelIndex changed = index(row);
    emit dataChanged(changed, changed, {Qt::DisplayRole});
}
