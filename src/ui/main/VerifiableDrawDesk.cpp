#include "VerifiableDrawDesk.h"

#include "RandomInputDialog.h"

#include "draw/DrawPreparation.h"
#include "draw/InterruptedDraw.h"
#include "draw/RunData.h"
#include "draw/WinnerList.h"
#include "settings/Settings.h"
#include "ui/common/MessageBoxes.h"
#include "ui/reveal/DrawProcedure.h"

#include <QDialog>
#include <QDir>

using namespace Qt::StringLiterals;

VerifiableDrawDesk::VerifiableDrawDesk(Settings &settings, RunData &run, MessageBoxes &messages,
                                       DrawProcedure &procedure, QWidget *parent, std::function<void()> stopped)
    : settings(settings),
      run(run),
      messages(messages),
      procedure(procedure),
      parent(parent),
      stopped(std::move(stopped))
{
    // A verifiable draw takes its winners from the record's sequence, not the draw order.
    procedure.setBeforeFirstReveal([this] {
        return !this->run.verifiable.isActive() || this->run.verifiable.hasKey() || askRandomInput();
    });
    procedure.setWinnerChooser([this](int p) {
        return this->run.verifiable.isActive() ? winner() : this->run.drawOrder.value(p - 1);
    });
    procedure.setReplacementChooser([this](int absent, const RunData &r, const EntryTable &eventWinners,
                                           DrawRandom &random) {
        return r.verifiable.isActive() ? replacement(absent) : pickReplacement(r, eventWinners, random);
    });
}

QString VerifiableDrawDesk::confirmationText(const QString &done) const
{
    if (!run.verifiable.isActive())
        return done;
    const QString continued = run.verifiable.isContinued()
        ? u"<p>继续摇号记录“%1”：还将揭晓 %2 个中奖者。</p>"_s.arg(
              QDir::toNativeSeparators(run.verifiable.recordFile()).toHtmlEscaped())
              .arg(run.verifiable.winnersToReveal())
        : QString();
    return u"<p>"_s + QString(done).toHtmlEscaped().replace(u"\r\n"_s, u"<br>"_s) + u"</p>"_s + continued
        + poolFixedMessage(run.verifiable.poolSize(), run.verifiable.drawCount(), run.verifiable.poolSha256(),
                           QDir::toNativeSeparators(run.verifiable.poolFile()));
}

bool VerifiableDrawDesk::allowed()
{
    // Anyone placed in advance would make the draw's proof worthless.
    if (run.vipList.vipCount() > 0) {
        messages.error(parent, u"可验证摇号不能预先安排中奖者，请先清空VIP名单（%1 中有 %2 行）。"_s
                                 .arg(QDir::toNativeSeparators(settings.vipFile()),
                                      QString::number(run.vipList.vipCount())));
        return false;
    }
    // The selection's index is hashed as two bytes.
    if (settings.drawCount > Rfc3797::maxIndex) {
        messages.error(parent, u"可验证摇号一次最多摇出 %1 个。"_s.arg(Rfc3797::maxIndex));
        return false;
    }
    return true;
}

bool VerifiableDrawDesk::takeUpInterrupted()
{
    const std::optional<InterruptedDraw> interrupted = findInterruptedDraw(settings.appDir, settings.fieldSeparator);
    if (!interrupted)
        return true;
    const QString record = QDir::toNativeSeparators(interrupted->recordFile);
    QString problem = interrupted->problem;
    if (problem.isEmpty()) {
        // The key fixes the sequence: going on reveals exactly the winners the record owes.
        if (messages.question(parent, u"摇号记录“%1”未完成：共 %2 个中奖者，已揭晓 %3 个。继续这次摇号吗？"
                                       "已记录而未揭晓的先揭晓，其余按原顺序摇出。"_s
                                           .arg(record)
                                           .arg(interrupted->expected)
                                           .arg(interrupted->shown))
            == MessageBoxes::Answer::No) {
            return messages.question(parent, u"不继续而开始新的摇号吗？摇号记录“%1”将保持未完成。"_s.arg(record),
                                     MessageBoxes::Answer::No)
                == MessageBoxes::Answer::Yes;
        }
        problem = run.verifiable.continueDraw(*interrupted, run.entryTable, settings.fieldSeparator);
        if (problem.isEmpty())
            return true;
    }
    // The record stays as it is: it is the evidence of what was drawn.
    return messages.question(parent, u"摇号记录“%1”未完成（共 %2 个中奖者，已记录 %3 个），但无法继续：%4。"
                                     "记录保持不变。开始新的摇号吗？"_s
                                         .arg(record)
                                         .arg(interrupted->expected)
                                         .arg(interrupted->recorded)
                                         .arg(problem),
                             MessageBoxes::Answer::No)
        == MessageBoxes::Answer::Yes;
}

bool VerifiableDrawDesk::begin()
{
    if (run.verifiable.isContinued())
        return true;
    const ExcludedEntries leftOut = excludedEntries(run);
    QList<int> pool;
    for (int e = 1; e <= run.entryTable.entryCount(); ++e) {
        if (leftOut.empty() || !leftOut[std::size_t(e - 1)])
            pool.append(e);
    }
    run.verifiable.setPool(run.entryTable, std::move(pool), settings.fieldSeparator, run.earlierWinnersKeptOut);
    // A draw stopped before its random numbers were given goes on with the same record.
    const QStringList open = run.verifiable.openRecords(settings.appDir, settings.drawCount);
    if (!open.isEmpty()
        && messages.question(parent, u"找到尚未输入随机数的摇号记录“%1”，名单与现在相同。继续使用这份记录吗？"_s
                                       .arg(QDir::toNativeSeparators(open.first())))
               == MessageBoxes::Answer::Yes
        && run.verifiable.resume(open.first(), settings.drawCount))
        return true;
    if (run.verifiable.begin(settings.appDir, procedure.now().toString(u"yyyyMMdd_HHmmss"_s), settings.drawCount,
                             run.prize))
        return true;
    messages.error(parent, u"无法写入摇号名单或摇号记录，请检查程序目录“%1”。"_s
                             .arg(QDir::toNativeSeparators(settings.appDir)));
    run.verifiable.clear();
    return false;
}

bool VerifiableDrawDesk::askRandomInput()
{
    if (randomInput) {
        const std::optional<QStringList> sources = randomInput();
        if (!sources)
            return false;
        if (run.verifiable.setRandomInput(*sources))
            return true;
    } else {
        RandomInputDialog dialog(run.verifiable.poolSize(), run.verifiable.drawCount(),
                                 run.verifiable.poolSha256(), procedure.dialogWindow());
        if (dialog.exec() != QDialog::Accepted)
            return false;
        if (run.verifiable.setRandomInput(dialog.sources()))
            return true;
    }
    messages.error(procedure.dialogWindow(), u"随机数无法写入摇号记录“%1”。"_s.arg(QDir::toNativeSeparators(run.verifiable.recordFile())));
    return false;
}

void VerifiableDrawDesk::setRandomInputHandler(std::function<std::optional<QStringList>()> handler)
{
    randomInput = std::move(handler);
}

int VerifiableDrawDesk::winner()
{
    // Recorded before it is shown; a winner the record lacks is never shown.
    const int entry = run.verifiable.selectNext();
    if (entry == 0) {
        stopped();
        messages.error(procedure.dialogWindow(), u"无法写入摇号记录“%1”，摇号已停止。"_s
                                 .arg(QDir::toNativeSeparators(run.verifiable.recordFile())));
    }
    return entry;
}

int VerifiableDrawDesk::replacement(int absentWinner)
{
    // The replacement is the sequence's next selection and nothing else.
    if (!run.verifiable.canSelect())
        return 0;
    const int entry = run.verifiable.redrawAbsent(absentWinner);
    if (entry == 0) {
        messages.error(procedure.dialogWindow(), u"无法写入摇号记录“%1”，未补抽。"_s
                                 .arg(QDir::toNativeSeparators(run.verifiable.recordFile())));
        return -1;
    }
    return entry;
}
