#pragma once

#include "SoundCue.h"

#include <QGroupBox>

#include <array>
#include <functional>
#include <memory>

struct Settings;
class CuePlayer;
class MessageBoxes;
class QCheckBox;
class QLineEdit;
class QSlider;

// The advanced settings' 声音 frame: sound on or off, the volume, and a file for each cue,
// chosen with a file dialog and tried with 试听.
class SoundSettingsFrame : public QGroupBox
{
public:
    // Height in twips; the dialog makes room for it.
    static constexpr int heightTwips = 1620;

    SoundSettingsFrame(const Settings &settings, MessageBoxes &messages, QWidget *parent);
    ~SoundSettingsFrame() override;

    void load();
    // Writes the keys to the settings file; false when one could not be written.
    bool save(const QString &settingsFile) const;
    // 试听 for a cue: plays the file its box names (or the one in 音效/ for an empty box).
    void tryCue(Cue cue);

    // The open-file dialog; tests put their own in its place.
    std::function<QString(QWidget *parent, const QString &start)> chooseFile;

private:
    void browse(Cue cue);

    const Settings &settings;
    MessageBoxes &messages;
    QCheckBox *soundOn = nullptr;
    QSlider *volume = nullptr;
    std::array<QLineEdit *, 4> files{};
    std::unique_ptr<CuePlayer> preview;
};
