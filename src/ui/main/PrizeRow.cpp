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
    Label4 = new CaptionLabel(panel);
    Label4->setObjectName(u"Label4(2)"_s);
    Label4->setText(u"本轮奖项："_s);
    // The panel's blue is for its caption only.
    WidgetColours::setForeColor(Label4, QApplication::palette().color(QPalette::WindowText));
    layout.setFont(Label4, Fonts::heiti(), 8);
    Combo1 = new QComboBox(panel);
    Combo1->setObjectName(u"Combo1"_s);
    Combo1->hide();
    Label4->hide();
    prizes = std::make_unique<PrizeChooser>(Combo1);
    comboLock = std::make_unique<ComboLock>([this] {
        if (!choiceLocked())
            return false;
        sayWhyLocked();
        return true;
    });
    Combo1->installEventFilter(comboLock.get());
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
        } else if (p.control->parentWidget() == panel && p.control != Combo1 && p.control != Label4) {
            p.top += row;
        }
    }
    Combo1->setVisible(shown);
    Label4->setVisible(shown);
    layout.setPlacements(std::move(all));
    layout.apply(layout.factor());
}

void PrizeRow::load(bool reportBadLines)
{
    const bool hadRow = !Combo1->isHidden();
    const PrizeListFile list = prizes->reload(settings.appDir, settings.fieldSeparator, run.unwrittenResultLines);
    if (!prizes->hasPrizes())
        prizeCount = 0;
    if (prizes->hasPrizes() != hadRow)
        show(prizes->hasPrizes());
    if (reportBadLines && !list.badLines.isEmpty())
        messages.information(panel->window(), PrizeLists::badLinesMessage(list));
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
    const QPoint at = Combo1->isVisible() ? Combo1->mapToGlobal(QPoint(0, Combo1->height()))
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

QString PrizeRow::currentPicture() const
{
    return prizes->currentPicture();
}

int PrizeRow::drawCount() const
{
    return prizeCount > 0 ? prizeCount : settings.drawCount;
}

void PrizeRow::confirmCount(int count)
{
    if (prizeCount > 0)
        prizeCount = count;
}
