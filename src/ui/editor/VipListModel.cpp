#include "VipListModel.h"

#include "entries/VipList.h"

VipListModel::VipListModel(VipList &list, QObject *parent) : RowListModel(parent), list(list) {}

int VipListModel::count() const
{
    return list.vipCount();
}

QString VipListModel::rowText(int row) const
{
    const VipRecord &r = list.record(row + 1);
    return r.position + QStringView(vipMark) + r.column1 + separator + r.column2 + separator
        + r.column3;
}

int VipListModel::load(const QString &fileName, int *wideLines)
{
    int unread = 0;
    resetWith([&] { unread = loadVipFile(fileName, separator, list, wideLines); });
    return unread;
}

void VipListModel::append(const VipRecord &record)
{
    appendWith([&] { list.append(record); });
}

void VipListModel::remove(int row)
{
    removeWith(row, [&] { list.remove(row + 1); });
}
