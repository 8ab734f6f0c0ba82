#pragma once

#include <QAbstractListModel>
#include <QString>

#include <functional>

// A list of text rows read straight from a list the subclass owns: a view over it costs nothing
// per row, so a list of any size opens quickly. Changes to the list are wrapped here so the view
// follows row by row instead of rebuilding.
class RowListModel : public QAbstractListModel
{
    Q_OBJECT

public:
    using QAbstractListModel::QAbstractListModel;

    // The separator the rows join their columns with.
    void setSeparator(const QString &separator);

    int rowCount(const QModelIndex &parent = QModelIndex()) const override;
    QVariant data(const QModelIndex &index, int role = Qt::DisplayRole) const override;

protected:
    virtual int count() const = 0;
    virtual QString rowText(int row) const = 0;

    void resetWith(const std::function<void()> &change);
    void appendWith(const std::function<void()> &add);
    void removeWith(int row, const std::function<void()> &erase);

    QString separator;
};
