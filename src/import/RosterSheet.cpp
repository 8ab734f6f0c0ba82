#include "RosterSheet.h"

#include <algorithm>
#include <cstdint>

QStringView RosterSheet::cell(int row, int column) const
{
    const auto first = cells.begin() + rowFirst[size_t(row)];
    const auto last = size_t(row) + 1 < rowFirst.size() ? cells.begin() + rowFirst[size_t(row) + 1] : cells.end();
    const auto it = std::lower_bound(first, last, column, [](const Cell &c, int col) { return c.column < col; });
    if (it == last || it->column != column)
        return {};
    return QStringView(pool).mid(it->start, it->length);
}

bool RosterSheet::isRowEmpty(int row) const
{
    const size_t next = size_t(row) + 1 < rowFirst.size() ? rowFirst[size_t(row) + 1] : cells.size();
    return rowFirst[size_t(row)] == next;
}

void RosterSheet::clear()
{
    pool.clear();
    cells.clear();
    rowFirst.clear();
    rowNumbers.clear();
    filled.clear();
    columns = 0;
}

void RosterSheet::beginRow(int rowNumber)
{
    rowFirst.push_back(quint32(cells.size()));
    rowNumbers.push_back(rowNumber);
}

bool RosterSheet::addCell(int column, QStringView text)
{
    if (text.isEmpty())
        return true;
    if (pool.size() + text.size() >= qsizetype(UINT32_MAX) || cells.size() >= size_t(UINT32_MAX))
        return false;
    if (pool.capacity() == pool.size())
        pool.reserve(std::max<qsizetype>(4096, pool.size() * 2));
    cells.push_back({quint32(pool.size()), quint32(text.size()), column});
    pool.append(text);
    if (column >= columns) {
        columns = column + 1;
        filled.resize(size_t(columns), false);
    }
    filled[size_t(column)] = true;
    return true;
}
