#include "EntryListModel.h"

#include "entries/EntryTable.h"

EntryListModel::EntryListModel(EntryTable &table, QObject *parent)
    : QAbstractListModel(parent), table(table)
{
}

void EntryListModel::setSeparator(const QString &s)
{
    beginResetModel();
    separator = s;
    endResetModel();
}

int EntryListModel::rowCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : table.entryCount();
}

QVariant EntryListModel::data(const QModelIndex &index, int role) const
{
    if (role != Qt::DisplayRole || !index.isValid() || index.row() >= table.entryCount())
        return QVariant();
    const int e = index.row() + 1;
    return QString(table.column(e, 1) + separator + table.column(e, 2) + separator
                   + table.column(e, 3));
}

int EntryListModel::parse(QString text)
{
    beginResetModel();
    const int unread = table.parse(std::move(text), separator);
    endResetModel();
    return unread;
}

void EntryListModel::append(const EntryRecord &record)
{
    const int row = table.entryCount();
    beginInsertRows(QModelIndex(), row, row);
    table.append(record);
    endInsertRows();
}

void EntryListModel::remove(int row)
{
    beginRemoveRows(QModelIndex(), row, row);
    table.remove(row + 1);
    endRemoveRows();
}

void EntryListModel::replace(int row, const EntryRecord &record)
{
    table.replace(row + 1, record);
    const QModelIndex changed = index(row);
    emit dataChanged(changed, changed, {Qt::DisplayRole});
}
