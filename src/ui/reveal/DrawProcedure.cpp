#include "DrawProcedure.h"

#include "ColourFlash.h"
#include "DrawView.h"
#include "DrawWaits.h"
#include "RollingDisplay.h"
#include "WinnerListText.h"
#include "draw/AbsenceRecord.h"
#include "draw/DrawRandom.h"
#include "draw/EventWinners.h"
#include "draw/ResultFile.h"
#include "draw/RunData.h"
#include "draw/WinnerList.h"
#include "settings/Settings.h"
#include "ui/common/MessageBoxes.h"

#include <QDir>

#include <algorithm>

using namespace Qt::StringLiterals;

namespace {

// Only a hand-edited settings file asks for more; the sequence is held in memory.
constexpr int maxRollCount = 100000;

int choosePick(int, const RunData &run, const EntryTable &eventWinners, DrawRandom &random)
{
    return pickReplacement(run, eventWinners, random);
}

QString absenceNotWrittenText(const QString &appDir)
{
    return u"无法写入缺席记录“"_s + QDir::toNativeSeparators(QDir(appDir).filePath(absenceRecordFileName()))
        + u"”，将在下次写入结果时补上。"_s;
}

} // namespace

DrawProcedure::DrawProcedure(Settings &settings, RunData &run, MessageBoxes &messages,
                             QWidget *dialogParent)
    : settings(settings),
      run(run),
      messages(messages),
      dialogParent(dialogParent),
      random(std::make_unique<DrawRandom>()),
      clock([] { return QDateTime::currentDateTime(); }),
      chooseReplacement(choosePick)
{
}

DrawProcedure::~DrawProcedure() = default;

void DrawProcedure::addView(DrawView *view)
{
    if (!views.contains(view))
        views.append(view);
}

void DrawProcedure::removeView(DrawView *view)
{
    views.removeAll(view);
}

template<typename Event>
void DrawProcedure::tell(Event event)
{
    // A view may go (and remove itself) while it is told.
    const QList<DrawView *> told = views;
    for (DrawView *view : told) {
        if (views.contains(view))
            event(*view);
    }
}

void DrawProcedure::setDrawRandom(std::unique_ptr<DrawRandom> generator)
{
    random = std::move(generator);
}

void DrawProcedure::setClock(Clock c)
{
    clock = std::move(c);
}

void DrawProcedure::setBeforeFirstReveal(std::function<bool()> hook)
{
    beforeFirstReveal = std::move(hook);
}

void DrawProcedure::setWinnerChooser(WinnerChooser chooser)
{
    chooseWinner = std::move(chooser);
}

void DrawProcedure::setReplacementChooser(ReplacementChooser chooser)
{
    chooseReplacement = chooser ? std::move(chooser) : ReplacementChooser(choosePick);
}

bool DrawProcedure::prepare()
{
    if (!prepareDraw(run, settings.drawCount, *random, &rollExcluded))
        return false;
    resultErrorShown = false;
    return true;
}

void DrawProcedure::requestStop()
{
    if (!running)
        return;
    stopRequested = true;
    DrawWaits::setWaitsCancelled(true);
}

void DrawProcedure::start()
{
    if (running)
        return;
    runInHandler([this] {
        if (settings.onePerClick == 0)
            drawContinuous();
        else
            drawOnePerPress();
    });
}

void DrawProcedure::runInHandler(const std::function<void()> &body)
{
    running = true;
    abandoned = false;
    body();
    running = false;
    if (stopRequested) {
        stopRequested = false;
        DrawWaits::setWaitsCancelled(false);
        tell([](DrawView &v) { v.runStopped(); });
    }
}

void DrawProcedure::drawContinuous()
{
    if (beforeFirstReveal && !beforeFirstReveal())
        return;
    run.resultFileName = resultFileNameFor(settings.appDir, clock(), run.prize);
    const int drawCount = settings.drawCount;
    for (int p = 1; p <= drawCount; ++p) {
        tell([&](DrawView &v) { v.revealStarting(p, drawCount); });
        revealWinner(p);
        if (stopRequested || abandoned)
            return;
    }
    showClosingText();
    tell([](DrawView &v) { v.runFinished(); });
    finished = true;
}

void DrawProcedure::drawOnePerPress()
{
    // After the last position the start is disabled; this is only reached by a direct call.
    if (run.pressCount >= settings.drawCount)
        return;
    if (run.pressCount == 0 && beforeFirstReveal && !beforeFirstReveal())
        return;
    const int p = ++run.pressCount;
    const int drawCount = settings.drawCount;
    tell([&](DrawView &v) { v.revealStarting(p, drawCount); });
    run.resultFileName = resultFileNameFor(settings.appDir, clock(), run.prize);
    revealWinner(p);
    if (stopRequested || abandoned)
        return;
    if (p < drawCount) {
        tell([&](DrawView &v) { v.waitingForPress(p + 1, drawCount); });
        return;
    }
    tell([](DrawView &v) { v.runFinished(); });
    showClosingText();
    finished = true;
}

void DrawProcedure::showClosingText()
{
    tell([this](DrawView &v) { v.closingText(settings.closingText); });
    ColourFlash::foreFlash(8, [this](const QColor &colour) {
        tell([&](DrawView &v) { v.closingFlash(colour); });
    });
}

void DrawProcedure::revealWinner(int p)
{
    if (p < 1)
        return;
    if (!chooseWinner) {
        revealEntry(run.drawOrder.value(p - 1));
        return;
    }
    const int entry = chooseWinner(p);
    abandoned = entry == 0;
    revealEntry(entry);
}

void DrawProcedure::revealEntry(int entry)
{
    // Only entries of the table now loaded are ever shown or recorded.
    if (entry < 1 || entry > run.entryTable.entryCount())
        return;

    const int rollCount = std::min(random->randomHalfOpen(settings.rollCountMin, settings.rollCountMax),
                                   maxRollCount);
    QList<int> sequence = RollingDisplay::makeRollSequence(*random, rollCount,
                                                           run.entryTable.entryCount(), rollExcluded);
    if (!sequence.isEmpty())
        sequence.last() = entry;
    for (int rolling : std::as_const(sequence)) {
        // A stop ends the run here, before a winner is on display.
        if (stopRequested)
            return;
        tell([rolling](DrawView &v) { v.rollingEntry(rolling); });
        DrawWaits::processPendingEvents();
        DrawWaits::pauseHundredths(settings.scrollSpeed);
    }

    // The winner is on display: from here on it is recorded, even if the run is stopping.
    ColourFlash::backFlash(2, [this](const QColor &colour) {
        tell([&](DrawView &v) { v.winnerFlash(colour); });
    });
    const bool written = addWinner(run, settings, entry);
    const int winner = int(run.winnerList.size());
    tell([winner](DrawView &v) { v.winnerRecorded(winner); });
    if (!written && !resultErrorShown) {
        resultErrorShown = true;
        messages.error(dialogParent, u"无法写入结果文件“"_s + QDir::toNativeSeparators(run.resultFileName)
                                         + u"”，未写入的结果将在下次写入成功时补上。"_s);
    }
    DrawWaits::pauseTenths(settings.drawPause);
    tell([winner](DrawView &v) { v.revealFinished(winner); });
}

bool DrawProcedure::canRedraw(int winner) const
{
    return finished && !running && winner >= 1 && winner <= run.winnerList.size()
           && !run.absentWinners.contains(winner);
}

void DrawProcedure::redrawAbsentWinner(int winner)
{
    if (!canRedraw(winner))
        return;
    const QString name = WinnerListText::winnerLine(winner, run.winnerList.at(winner - 1), 0, settings.winnerColumns);
    // A stray double-click and Enter must not redraw in front of the room.
    if (messages.question(dialogParent, name + u" 不在场，为其补抽一名？"_s, MessageBoxes::Answer::No)
        != MessageBoxes::Answer::Yes)
        return;
    // Nobody wins twice in one event, whatever 中奖者不再参与 says.
    EventWinners event;
    if (!readEventWinnersAsking(event))
        return;
    const int replacement = chooseReplacement(winner, run, event.winners, *random);
    if (replacement < 0)
        return;
    if (replacement == 0) {
        messages.information(dialogParent, u"已没有可以补抽的人。"_s);
        return;
    }
    // The absent winner's line stays in the result file: they were drawn in public.
    run.absentWinners.insert(winner);
    tell([winner](DrawView &v) { v.winnerAbsent(winner); });
    const int listed = int(run.winnerList.size());
    runInHandler([this, replacement] { revealEntry(replacement); });
    if (run.winnerList.size() > listed && !recordAbsence(run, settings, winner, listed + 1))
        messages.error(dialogParent, absenceNotWrittenText(settings.appDir));
}

bool DrawProcedure::readEventWinnersAsking(EventWinners &event)
{
    event = readEventWinners(settings.appDir, settings.fieldSeparator, run.unwrittenResultLines);
    if (event.unreadable.isEmpty())
        return true;
    return messages.question(dialogParent, u"无法读取结果文件"_s + quotedFileNames(event.unreadable)
                                               + u"，其中的中奖者可能再次中奖，是否继续？"_s,
                             MessageBoxes::Answer::No)
           == MessageBoxes::Answer::Yes;
}
