#pragma once

#include <QAbstractListModel>
#include <QString>

class VipList;
struct VipRecord;

// The rows of the editor's VIP list, read straight from its list; changes go through here.
class VipListModel : public QAbstractListModel
{
    Q_OBJECT

public:
    VipListModel(VipList &list, QObject *parent = nullptr);

    // Row text: the file line without its line break, position + "#*#" + c1 + S + c2 + S + c3.
    void setSeparator(const QString &separator);

    int rowCount(const QModelIndex &parent = QModelIndex()) const override;
    QVariant data(const QModelIndex &index, int role = Qt::DisplayRole) const override;

    // Refills the list from a VIP file; the count of unread lines.
    int load(const QString &fileName);
    void append(const VipRecord &record);
    void remove(int row);

private:
    VipList &list;
    QString separator;
};
