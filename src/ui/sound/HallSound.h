#pragma once

#include "CueOutput.h"
#include "ui/reveal/DrawView.h"

#include <QStringList>
#include <QTimer>

#include <functional>
#include <memory>

struct Settings;
class DrawProcedure;
class MessageBoxes;
class QWidget;

// What the hall hears of a draw: rolling music while entries roll (through the whole run in
// continuous mode, towards each winner in one-per-press mode and for a replacement), a sound at
// each reveal, the fanfare with the closing text and, between runs, idle music. It is one more
// view of the draw, so it is told when the audience sees it and never holds the draw up.
class HallSound : public DrawView
{
public:
    enum class State { On, Muted, Off, NoDevice };
    using Failed = std::function<void(const QString &file)>;
    // Makes the output for the settings; nothing means there is no sound device.
    using OutputFactory = std::function<std::unique_ptr<CueOutput>(const Settings &, Failed)>;

    // Adds itself to the procedure's views. Files that cannot be played are named in a message
    // parented to dialogParent, never while a run goes on.
    HallSound(DrawProcedure &procedure, const Settings &settings, MessageBoxes &messages,
              QWidget *dialogParent, OutputFactory factory = deviceOutput);
    ~HallSound() override;
    HallSound(const HallSound &) = delete;
    HallSound &operator=(const HallSound &) = delete;

    // The output on the sound device, or nothing without one.
    static std::unique_ptr<CueOutput> deviceOutput(const Settings &settings, Failed failed);

    // After the settings were (re)loaded: the files they name now, the volume, on or off.
    void applySettings();
    // M: silent at once, and back at once; a run goes on either way.
    void toggleMute();
    bool isMuted() const { return muted; }
    State state() const;
    // Told whenever state() changes.
    std::function<void(State)> stateChanged;

    void revealStarting(int position, int count) override;
    void rollingEntry(int entry) override;
    void winnerFlash(const QColor &colour) override;
    void revealFinished(int winner) override;
    void runFinished() override;
    void closingText(const QString &text) override;
    void winnerAbsent(int winner) override;
    void runStopped() override;

private:
    void play(Cue cue);
    void stop(Cue cue);
    void unplayable(const QString &file);
    void reportUnplayable();
    void announceState();

    DrawProcedure &procedure;
    const Settings &settings;
    MessageBoxes &messages;
    QWidget *dialogParent;
    OutputFactory factory;
    std::unique_ptr<CueOutput> output;
    bool noDevice = false;
    bool muted = false;

    bool inRun = false;        // from the first reveal to the end of the run, presses between
    bool redrawing = false;    // a replacement's reveal
    bool rolling = false;      // the rolling music plays
    bool revealPending = false;
    bool lastReveal = false;   // the rolling music stops at this reveal
    bool closingPlayed = false;
    QStringList toReport, reported;
    QTimer reportTimer;
};
