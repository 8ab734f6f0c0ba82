#include "PrizeRow.h"

#include "draw/PrizeList.h"
#include "draw/RunData.h"
#include "settings/Settings.h"
#include "ui/common/CaptionLabel.h"
#include "ui/common/Fonts.h"
#include "ui/common/MessageBoxes.h"
#include "ui/common/WidgetColours.h"
#include "ui/prizes/PrizeChooser.h"
#include "ui/reveal/DrawProcedure.h"

#include <QApplication>
#include <QComboBox>
#include <QEvent>
#include <QKeyEvent>
#include <QToolTip>

using namespace Qt::StringLiterals;

namespace {

// Takes the drop-down's clicks, wheel turns and keys while refuse() says so.
class ComboLock : public QObject
{
public:
    explicit ComboLock(std::function<bool()> refuse) : refuse(std::move(refuse)) {}

protected:
    bool eventFilter(QObject *, QEvent *event) override
    {
        switch (event->type()) {
        case QEvent::MouseButtonPress:
        case QEvent::MouseButtonDblClick:
        case QEvent::Wheel:
            return refuse();
        case QEvent::KeyPress: {
            const int key = static_cast<QKeyEvent *>(event)->key();
            return key != Qt::Key_Tab && key != Qt::Key_Backtab && refuse();
        }
        default:
            return false;
        }
    }

private:
    std::function<bool()> refuse;
};

} // namespace

PrizeRow::PrizeRow(QWidget *panel, WindowLayout &layout, Settings &settings, RunData &run,
                   MessageBoxes &messages, const DrawProcedure &procedure)
    : panel(panel), layout(layout), settings(settings), run(run), messages(messages), procedure(procedure)
{
    prizeCaption = new CaptionLabel(panel);
    prizeCaption->setObjectName(u"prizeCaption(2)"_s);
    prizeCaption->setText(u"本轮奖项："_s);
    // The panel's blue is for its caption only.
    WidgetColours::setForeColor(prizeCaption, QApplication::palette().color(QPalette::WindowText));
    layout.setFont(prizeCaption, Fonts::heiti(), 8);
    prizeBox = new QComboBox(panel);
    prizeBox->setObjectName(u"prizeBox"_s);
    prizeBox->hide();
    prizeCaption->hide();
    prizes = std::make_unique<PrizeChooser>(prizeBox);
    comboLock = std::make_unique<ComboLock>([this] {
        if (!choiceLocked())
            return false;
        sayWhyLocked();
        return true;
    });
    prizeBox->installEventFilter(comboLock.get());
    prizes->chosen = [this](int remaining) {
        prizeCount = remaining;
        if (chosen)
            chosen();
    };
}

PrizeRow::~PrizeRow() = default;

void PrizeRow::setPlacements(std::vector<WindowLayout::Placement> withoutRow)
{
    placements = std::move(withoutRow);
}

void PrizeRow::show(bool shown)
{
    const int row = shown ? 360 : 0;
    std::vector<WindowLayout::Placement> all = placements;
    for (WindowLayout::Placement &p : all) {
        if (p.control == panel) {
            p.top -= row;
            p.height += row;
        } else if (p.control->parentWidget() == panel && p.control != prizeBox && p.control != prizeCaption) {
            p.top += row;
        }
    }
    prizeBox->setVisible(shown);
    prizeCaption->setVisible(shown);
    layout.setPlacements(std::move(all));
    layout.apply(layout.factor());
}

void PrizeRow::load(bool reportBadLines)
{
    const bool hadRow = !prizeBox->isHidden();
    const PrizeListFile list = prizes->reload(settings.appDir, settings.fieldSeparator, run.unwrittenResultLines);
    if (!prizes->hasPrizes())
        prizeCount = 0;
    if (prizes->hasPrizes() != hadRow)
        show(prizes->hasPrizes());
    if (!reportBadLines)
        return;
    const QString problems = QStringList{PrizeLists::badLinesMessage(list),
                                         PrizeLists::missingPicturesMessage(list.prizes, settings.appDir)}
                                 .join(u"\r\n"_s)
                                 .trimmed();
    if (!problems.isEmpty())
        messages.information(panel->window(), problems);
}

bool PrizeRow::choiceLocked() const
{
    return procedure.isRunning()
           || (settings.onePerClick != 0 && run.pressCount > 0 && run.pressCount < settings.drawCount);
}

void PrizeRow::select(int delta)
{
    if (!choiceLocked())
        prizes->step(delta);
    else if (!procedure.isRunning())
        sayWhyLocked();
}

void PrizeRow::sayWhyLocked() const
{
    QWidget *window = panel->window();
    const QPoint at = prizeBox->isVisible() ? prizeBox->mapToGlobal(QPoint(0, prizeBox->height()))
                                          : window->mapToGlobal(window->rect().center());
    QToolTip::showText(at, u"本轮还有 %1 名未抽出，抽完后才能更换奖项。"_s.arg(settings.drawCount - run.pressCount),
                       window);
}

void PrizeRow::selectAfterRun()
{
    prizes->selectAfterRun(settings.appDir, settings.fieldSeparator, run.unwrittenResultLines);
}

QString PrizeRow::currentName() const
{
    return prizes->currentName();
}

PrizeRow::Tally PrizeRow::currentTally() const
{
    const int i = prizes->current();
    return {prizes->currentName(), prizes->count(i), prizes->won(i)};
}

PrizeRow::Tally PrizeRow::statusTally() const
{
    Tally tally = currentTally();
    const bool going = !run.drawOrder.isEmpty() && !procedure.hasFinishedRun();
    if (tally.count > 0 && going && run.prize == tally.name)
        tally.won = wonAtConfirm + int(run.winnerList.size() - run.absentWinners.size());
    return tally;
}

QString PrizeRow::currentPicture() const
{
    return prizes->currentPicture();
}

int PrizeRow::drawCount() const
{
    return prizeCount > 0 ? prizeCount : settings.drawCount;
}

bool PrizeRow::mayDraw(int drawCount)
{
    const Tally tally = currentTally();
    const int left = tally.count - tally.won;
    if (tally.count == 0 || drawCount <= left)
        return true;
    const QString text = left <= 0
        ? u"“%1”的 %2 名已全部抽出，仍要再抽 %3 名？"_s.arg(tally.name).arg(tally.count).arg(drawCount)
        : u"“%1”共 %2 名，还差 %3 名，本次要抽 %4 名，多出 %5 名。仍要抽 %4 名？"_s.arg(tally.name)
              .arg(tally.count)
              .arg(left)
              .arg(drawCount)
              .arg(drawCount - left);
    return messages.question(panel->window(), text, MessageBoxes::Answer::No) == MessageBoxes::Answer::Yes;
}

void PrizeRow::confirmCount(int count)
{
    wonAtConfirm = currentTally().won;
    if (prizeCount > 0)
        prizeCount = count;
}
