#pragma once

#include "RowListModel.h"

class VipList;
struct VipRecord;

// The rows of the editor's VIP list: the file line without its line break,
// position + "#*#" + c1 + S + c2 + S + c3.
class VipListModel : public RowListModel
{
    Q_OBJECT

public:
    VipListModel(VipList &list, QObject *parent = nullptr);

    // Refills the list from a VIP file; the count of unread lines.
    int load(const QString &fileName, int *wideLines = nullptr);
    void append(const VipRecord &record);
    void remove(int row);

protected:
    int count() const override;
    QString rowText(int row) const override;

private:
    VipList &list;
};
