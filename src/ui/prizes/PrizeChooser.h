#pragma once

#include "draw/PrizeList.h"
#include "draw/ResultFile.h"

#include <QList>
#include <QString>

#include <algorithm>
#include <functional>

class QComboBox;

// The prize drop-down of the quick settings panel: the prizes of 奖项设置.txt in drawing order,
// then one item for a run without a prize ("不按奖项", or "全部奖项已抽完" once every prize has
// its winners). What each prize still needs comes from the event's result files.
class PrizeChooser
{
public:
    explicit PrizeChooser(QComboBox *combo);
    PrizeChooser(const PrizeChooser &) = delete;
    PrizeChooser &operator=(const PrizeChooser &) = delete;

    // Told the chosen prize's remaining count whenever the choice is made (0 for no prize).
    std::function<void(int remaining)> chosen;

    // Reads the list and the result files again. The chosen prize stays while it is listed;
    // otherwise the first that needs winners is chosen. Returns the list as read.
    PrizeListFile reload(const QString &appDir, const QString &separator,
                         const QList<ResultLine> &unwritten = {});

    bool hasPrizes() const { return !prizes.isEmpty(); }
    bool allDrawn() const;
    int current() const; // index into the list; -1 for a run without a prize
    QString currentName() const;
    // The chosen prize's picture as a full path (a relative name is in appDir); "" without one.
    QString currentPicture() const;
    int remaining(int index) const { return std::max(0, count(index) - won(index)); }
    // The prize's number of winners, and its winners in the event (absent ones not counted).
    int count(int index) const { return index >= 0 && index < prizes.size() ? prizes[index].count : 0; }
    int won(int index) const { return wonCounts.value(index); }

    void select(int index); // -1: the item for a run without a prize
    // The previous (-1) or next (1) item, stopping at either end.
    void step(int delta);
    // After a run: the same prize while it still needs winners, else the next one that does.
    void selectAfterRun(const QString &appDir, const QString &separator,
                        const QList<ResultLine> &unwritten = {});

private:
    void fill();

    QComboBox *combo;
    QString appDir;
    QList<Prize> prizes;
    QList<int> remainingCounts;
    QList<int> wonCounts;
};
