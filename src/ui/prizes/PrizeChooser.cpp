#include "PrizeChooser.h"

#include "draw/EventResults.h"

#include <QComboBox>
#include <QDir>
#include <QSignalBlocker>

using namespace Qt::StringLiterals;

PrizeChooser::PrizeChooser(QComboBox *combo) : combo(combo)
{
    QObject::connect(combo, &QComboBox::currentIndexChanged, combo, [this] {
        if (this->combo->currentIndex() >= 0 && chosen)
            chosen(current() >= 0 ? remaining(current()) : 0);
    });
}

bool PrizeChooser::allDrawn() const
{
    return hasPrizes() && PrizeLists::nextOpen(remainingCounts, -1) < 0;
}

int PrizeChooser::current() const
{
    const int i = combo->currentIndex();
    return i >= 0 && i < prizes.size() ? i : -1;
}

QString PrizeChooser::currentName() const
{
    return current() >= 0 ? prizes[current()].name : QString();
}

QString PrizeChooser::currentPicture() const
{
    if (current() < 0 || prizes[current()].picture.isEmpty())
        return {};
    return QDir(appDir).absoluteFilePath(prizes[current()].picture);
}

PrizeListFile PrizeChooser::reload(const QString &dir, const QString &separator,
                                   const QList<ResultLine> &unwritten)
{
    appDir = dir;
    const QString before = currentName();
    const PrizeListFile file = PrizeLists::read(dir + PrizeLists::fileName());
    prizes = file.prizes;
    const EventResults results = readEventResults(dir, separator, prizes, unwritten);
    remainingCounts.clear();
    wonCounts.clear();
    for (const Prize &p : std::as_const(prizes)) {
        wonCounts.append(prizeWinners(p.name, results));
        remainingCounts.append(std::max(0, p.count - wonCounts.last()));
    }
    fill();
    int keep = -1;
    for (int i = 0; i < prizes.size(); ++i) {
        if (prizes[i].name == before)
            keep = i;
    }
    select(keep >= 0 ? keep : PrizeLists::nextOpen(remainingCounts, -1));
    return file;
}

void PrizeChooser::fill()
{
    const QSignalBlocker quiet(combo);
    combo->clear();
    if (!hasPrizes())
        return;
    for (const Prize &p : std::as_const(prizes))
        combo->addItem(p.name);
    combo->addItem(allDrawn() ? u"全部奖项已抽完"_s : u"不按奖项"_s);
    combo->setCurrentIndex(-1);
}

void PrizeChooser::select(int index)
{
    if (!hasPrizes())
        return;
    const int item = index >= 0 && index < prizes.size() ? index : int(prizes.size());
    if (combo->currentIndex() == item && chosen)
        chosen(current() >= 0 ? remaining(current()) : 0); // the count may have changed under the same item
    combo->setCurrentIndex(item);
}

void PrizeChooser::step(int delta)
{
    if (!hasPrizes())
        return;
    const int item = std::clamp(combo->currentIndex() + delta, 0, combo->count() - 1);
    select(item < prizes.size() ? item : -1);
}

void PrizeChooser::selectAfterRun(const QString &dir, const QString &separator,
                                  const QList<ResultLine> &unwritten)
{
    const int was = current();
    reload(dir, separator, unwritten);
    if (was < 0 || current() != was || remaining(was) > 0)
        return;
    select(PrizeLists::nextOpen(remainingCounts, was));
}
