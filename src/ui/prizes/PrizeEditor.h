#pragma once

#include "draw/PrizeList.h"

#include <QDialog>

#include <functional>

class MessageBoxes;
class QPushButton;
class QTableWidget;

// The table editor of the prize list (奖项设置.txt in appDir): add, delete, move up and down,
// edit name, count and picture. "保存" checks the rows and rewrites the file atomically; a file
// that could not be read whole is never overwritten, and lines it skipped are dropped only
// after asking.
class PrizeEditor : public QDialog
{
    Q_OBJECT

public:
    PrizeEditor(const QString &appDir, MessageBoxes &messages, QWidget *parent = nullptr);
    PrizeEditor(const PrizeEditor &) = delete;
    PrizeEditor &operator=(const PrizeEditor &) = delete;

    // The picture chooser, a file dialog; tests put their own in its place.
    std::function<QString(QWidget *parent, const QString &folder)> choosePicture;

    QList<Prize> prizes() const;
    // True when written; says why not otherwise.
    bool save();

private:
    void addRow(const Prize &prize);
    void moveRow(int by);
    void pickPicture();
    // The first row that cannot be saved, as a message; "" when every row can.
    QString rowProblem() const;

    QString appDir;
    QString path;
    MessageBoxes &messages;
    PrizeListFile loaded;
    QTableWidget *table = nullptr;
};
