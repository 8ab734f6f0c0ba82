#include "VipListModel.h"

#include "entries/VipList.h"

VipListModel::VipListModel(VipList &list, QObject *parent) : QAbstractListModel(parent), list(list)
{
}

void VipListModel::setSeparator(const QString &s)
{
    beginResetModel();
    separator = s;
    endResetModel();
}

int VipListModel::rowCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : list.vipCount();
}

QVariant VipListModel::data(const QModelIndex &index, int role) const
{
    if (role != Qt::DisplayRole || !index.isValid() || index.row() >= list.vipCount())
        return QVariant();
    const VipRecord &r = list.record(index.row() + 1);
    return QString(r.position + QStringView(vipMark) + r.column1 + separator + r.column2
                   + separator + r.column3);
}

int VipListModel::load(const QString &fileName)
{
    beginResetModel();
    const int unread = loadVipFile(fileName, separator, list);
    endResetModel();
    return unread;
}

void VipListModel::append(const VipRecord &record)
{
    const int row = list.vipCount();
    beginInsertRows(QModelIndex(), row, row);
    list.append(record);
    endInsertRows();
}

void VipListModel::remove(int row)
{
    beginRemoveRows(QModelIndex(), row, row);
    list.remove(row + 1);
    endRemoveRows();
}
