#pragma once

#include <QString>

#include <vector>

// One sheet of a roster file as its rows appear: each row keeps its number in the sheet (what
// the user sees in Excel) and each cell its column position, so empty cells and empty rows
// cost nothing and never shift anything. The texts live in one pool, as in EntryTable.
class RosterSheet
{
public:
    // Excel's own limits; a file claiming more is damaged.
    static constexpr int maxRows = 1048576;
    static constexpr int maxColumns = 16384;

    QString name;
    bool hidden = false;

    int rowCount() const { return int(rowNumbers.size()); }
    int rowNumber(int row) const { return rowNumbers[size_t(row)]; }
    // One more than the rightmost column holding text.
    int columnCount() const { return columns; }
    // Row and column from 0; "" where the sheet has nothing.
    QStringView cell(int row, int column) const;
    bool columnHasText(int column) const { return column >= 0 && column < columns && filled[size_t(column)]; }
    bool isRowEmpty(int row) const;

    void clear();
    // Rows come in ascending sheet order; cells of a row in ascending column order.
    void beginRow(int rowNumber);
    // False when the sheet outgrows what one pool can address; nothing is added then.
    bool addCell(int column, QStringView text);

private:
    struct Cell {
        quint32 start;
        quint32 length;
        int column;
    };
    QString pool;
    std::vector<Cell> cells;
    std::vector<quint32> rowFirst; // index of each row's first cell
    std::vector<int> rowNumbers;
    std::vector<bool> filled; // per column: some row has text there
    int columns = 0;
};
