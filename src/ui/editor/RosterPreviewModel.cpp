#include "RosterPreviewModel.h"

#include "import/RosterSheet.h"

#include <QBrush>
#include <QColor>
#include <QFont>

#include <algorithm>

using namespace Qt::StringLiterals;

RosterPreviewModel::RosterPreviewModel(QObject *parent) : QAbstractTableModel(parent)
{
}

void RosterPreviewModel::setSheet(const RosterSheet *s)
{
    beginResetModel();
    sheet = s;
    endResetModel();
}

void RosterPreviewModel::setMapping(int row, const std::array<int, 3> &cols)
{
    headerRow = row;
    columns = cols;
    emit headerDataChanged(Qt::Horizontal, 0, std::max(0, columnCount() - 1));
    if (rowCount() > 0 && columnCount() > 0)
        emit dataChanged(index(0, 0), index(rowCount() - 1, columnCount() - 1));
}

int RosterPreviewModel::rowCount(const QModelIndex &parent) const
{
    return parent.isValid() || !sheet ? 0 : std::min(sheet->rowCount(), shownRows);
}

int RosterPreviewModel::columnCount(const QModelIndex &parent) const
{
    return parent.isValid() || !sheet ? 0 : std::min(sheet->columnCount(), shownColumns);
}

QVariant RosterPreviewModel::data(const QModelIndex &index, int role) const
{
    if (!sheet || !index.isValid())
        return {};
    switch (role) {
    case Qt::DisplayRole:
        return sheet->cell(index.row(), index.column()).toString();
    case Qt::BackgroundRole:
        if (std::find(columns.begin(), columns.end(), index.column()) != columns.end())
            return QBrush(QColor(255, 244, 214));
        return {};
    case Qt::FontRole:
        if (index.row() == headerRow) {
            QFont bold;
            bold.setBold(true);
            return bold;
        }
        return {};
    default:
        return {};
    }
}

QVariant RosterPreviewModel::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (role != Qt::DisplayRole || !sheet)
        return {};
    if (orientation == Qt::Vertical)
        return section < sheet->rowCount() ? QVariant(sheet->rowNumber(section)) : QVariant();
    QString text = columnName(section);
    for (int k = 0; k < 3; ++k) {
        if (columns[size_t(k)] == section)
            text += u" → 列%1"_s.arg(k + 1);
    }
    return text;
}

QString RosterPreviewModel::columnName(int column)
{
    QString name;
    for (int n = column + 1; n > 0; n = (n - 1) / 26)
        name.prepend(QChar(u'A' + (n - 1) % 26));
    return name;
}
