#pragma once

#include <QAbstractTableModel>

#include <array>

class RosterSheet;

// The first rows of a roster sheet with all their columns, as the sheet numbers them; the
// columns that become the data file's three are marked in the heading.
class RosterPreviewModel : public QAbstractTableModel
{
    Q_OBJECT

public:
    static constexpr int shownRows = 200;
    static constexpr int shownColumns = 100;

    explicit RosterPreviewModel(QObject *parent = nullptr);

    void setSheet(const RosterSheet *sheet);
    void setMapping(int headerRow, const std::array<int, 3> &columns);

    int rowCount(const QModelIndex &parent = QModelIndex()) const override;
    int columnCount(const QModelIndex &parent = QModelIndex()) const override;
    QVariant data(const QModelIndex &index, int role = Qt::DisplayRole) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role = Qt::DisplayRole) const override;

    // "A", "B", … "AA", as Excel names columns.
    static QString columnName(int column);

private:
    const RosterSheet *sheet = nullptr;
    int headerRow = -1;
    std::array<int, 3> columns{-1, -1, -1};
};
