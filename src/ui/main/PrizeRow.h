#pragma once

#include "WindowLayout.h"

#include <QString>

#include <functional>
#include <memory>
#include <vector>

struct Settings;
class RunData;
class MessageBoxes;
class DrawProcedure;
class CaptionLabel;
class PrizeChooser;
class QComboBox;
class QObject;

// The prize row of the quick settings panel: caption "本轮奖项：" (prizeCaption(2)) and the prize
// drop-down (prizeBox). The panel has the row only while there is a prize list.
class PrizeRow
{
public:
    // The controls are made in panel; layout places them and the rest of the window.
    PrizeRow(QWidget *panel, WindowLayout &layout, Settings &settings, RunData &run,
             MessageBoxes &messages, const DrawProcedure &procedure);
    ~PrizeRow();
    PrizeRow(const PrizeRow &) = delete;
    PrizeRow &operator=(const PrizeRow &) = delete;

    // Told after each choice of the drop-down.
    std::function<void()> chosen;

    QComboBox *combo() const { return prizeBox; }
    CaptionLabel *caption() const { return prizeCaption; }

    // The window's placements without the row; the panel is laid out again around it.
    void setPlacements(std::vector<WindowLayout::Placement> withoutRow);
    // The panel with or without the row; it grows upwards, so nothing in it moves on screen.
    void show(bool shown);

    void load(bool reportBadLines);
    // Refused, with a note why, while a one-per-press run still has winners to draw: the run's
    // prize is fixed, on the main window and on the stage.
    void select(int delta);
    bool choiceLocked() const;
    void selectAfterRun();
    QString currentName() const;
    QString currentPicture() const;
    // The chosen prize's number of winners and its winners in the event so far (absent ones
    // not counted); count is 0 without a prize.
    struct Tally {
        QString name;
        int count = 0;
        int won = 0;
    };
    Tally currentTally() const;
    // The same for the status line: while the run for that prize goes on, its winners so far
    // count on top of those the event had when it was confirmed.
    Tally statusTally() const;

    // For the draw count box: what the chosen prize still needs, else the count last confirmed.
    int drawCount() const;
    // A confirmed count replaces what the prize still needs, while a prize is chosen.
    void confirmCount(int count);
    // Drawing drawCount for the chosen prize: asked first (default No) when that is more than it
    // still needs or it has all its winners. False when the organiser says No.
    bool mayDraw(int drawCount);

private:
    void sayWhyLocked() const;

    QWidget *panel;
    WindowLayout &layout;
    Settings &settings;
    RunData &run;
    MessageBoxes &messages;
    const DrawProcedure &procedure;

    CaptionLabel *prizeCaption = nullptr;
    QComboBox *prizeBox = nullptr;
    std::unique_ptr<PrizeChooser> prizes;
    std::unique_ptr<QObject> comboLock;
    int prizeCount = 0; // 0 without a prize that needs winners
    int wonAtConfirm = 0;
    std::vector<WindowLayout::Placement> placements;
};
