#pragma once

#include "RowListModel.h"

class EntryTable;
struct EntryRecord;

// The rows of the editor's entry list: column1 + S + column2 + S + column3.
class EntryListModel : public RowListModel
{
    Q_OBJECT

public:
    EntryListModel(EntryTable &table, QObject *parent = nullptr);

    // Replaces the table's content with the entries of text; the count of unread lines (and of
    // lines with more than three columns in wideLines, when given).
    int parse(QString text, int *wideLines = nullptr);
    void append(const EntryRecord &record);
    // An imported list: in place of the table's content, or after it.
    void addAll(const EntryTable &entries, bool replace);
    void remove(int row);
    void replace(int row, const EntryRecord &record);

protected:
    int count() const override;
    QString rowText(int row) const override;

private:
    EntryTable &table;
};
