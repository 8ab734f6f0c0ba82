#pragma once

#include <QStringList>

#include <functional>
#include <optional>

struct Settings;
class RunData;
class MessageBoxes;
class DrawProcedure;
class QWidget;

// The main window's part of a verifiable draw (可验证摇号): the refusals before the pool is fixed,
// its files, the random numbers asked for before the first winner, and the winners and
// replacements taken from the record's sequence instead of the draw order.
class VerifiableDrawDesk
{
public:
    // stopped: the start button is to be disabled, as the record could not take a winner.
    VerifiableDrawDesk(Settings &settings, RunData &run, MessageBoxes &messages, DrawProcedure &procedure,
                       QWidget *parent, std::function<void()> stopped);
    VerifiableDrawDesk(const VerifiableDrawDesk &) = delete;
    VerifiableDrawDesk &operator=(const VerifiableDrawDesk &) = delete;

    // Refusals that come before anything is written (VIP list, draw count).
    bool allowed();
    // A draw a crash or a closed window left unfinished: offered for continuing; a new draw
    // instead is asked for. False when no draw is to be prepared.
    bool takeUpInterrupted();
    // The pool and the record: a new pair, or an open record of the same pool continued.
    bool begin();
    // The confirmation text with the pool's size, count and digest added when a draw is verifiable.
    QString confirmationText(const QString &done) const;
    // Asks for the random numbers in place of the dialog (tests); nothing stands for 取消.
    void setRandomInputHandler(std::function<std::optional<QStringList>()> handler);

private:
    bool askRandomInput();
    int winner();
    int replacement(int absentWinner);

    Settings &settings;
    RunData &run;
    MessageBoxes &messages;
    DrawProcedure &procedure;
    QWidget *parent;
    std::function<void()> stopped;
    std::function<std::optional<QStringList>()> randomInput;
};
