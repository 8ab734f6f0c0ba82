#include "RowListModel.h"

void RowListModel::setSeparator(const QString &s)
{
    resetWith([&] { separator = s; });
}

int RowListModel::rowCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : count();
}

QVariant RowListModel::data(const QModelIndex &index, int role) const
{
    if (role != Qt::DisplayRole || !index.isValid() || index.row() >= count())
        return QVariant();
    return rowText(index.row());
}

void RowListModel::resetWith(const std::function<void()> &change)
{
    beginResetModel();
    change();
    endResetModel();
}

void RowListModel::appendWith(const std::function<void()> &add)
{
    const int row = count();
    beginInsertRows(QModelIndex(), row, row);
    add();
    endInsertRows();
}

void RowListModel::removeWith(int row, const std::function<void()> &erase)
{
    beginRemoveRows(QModelIndex(), row, row);
    erase();
    endRemoveRows();
}
