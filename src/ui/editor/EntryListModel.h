#pragma once

#include <QAbstractListModel>
#include <QString>

class EntryTable;
struct EntryRecord;

// The rows of the editor's entry list, read straight from its table: a view over it costs
// nothing per row, so a file of any size opens quickly. Every change to the table goes through
// here so the view follows row by row instead of rebuilding.
class EntryListModel : public QAbstractListModel
{
    Q_OBJECT

public:
    EntryListModel(EntryTable &table, QObject *parent = nullptr);

    // Row text: column1 + S + column2 + S + column3.
    void setSeparator(const QString &separator);

    int rowCount(const QModelIndex &parent = QModelIndex()) const override;
    QVariant data(const QModelIndex &index, int role = Qt::DisplayRole) const override;

    // Replaces the table's content with the entries of text; the count of unread lines.
    int parse(QString text);
    void append(const EntryRecord &record);
    void remove(int row);
    void replace(int row, const EntryRecord &record);

private:
    EntryTable &table;
    QString separator;
};
