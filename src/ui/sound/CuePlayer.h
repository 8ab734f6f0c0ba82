#pragma once

#include <QObject>
#include <QString>

class QAudioOutput;
class QMediaPlayer;
class QSoundEffect;

// One sound file on the default sound device: a .wav through QSoundEffect, which starts with
// the least delay, anything else through QMediaPlayer. Loaded when made, so that play() only
// starts it. Nothing here blocks: a file that cannot be played says so later through failed().
class CuePlayer : public QObject
{
    Q_OBJECT

public:
    CuePlayer(const QString &file, bool loop, QObject *parent = nullptr);
    ~CuePlayer() override;

    // False without a sound device, or in a build without sound; then nothing can be played.
    static bool deviceAvailable();

    void play();
    void stop();
    bool isPlaying() const;
    // 0..100, as the settings hold it; heard as a loudness scale.
    void setVolume(int percent);
    void setMuted(bool muted);
    QString fileName() const { return file; }

signals:
    // The file cannot be played; said once.
    void failed(const QString &file);
    // It stopped by itself or was stopped.
    void finished();

private:
    void fail();
    QSoundEffect *makeEffect();
    float linearVolume() const;

    QString file;
    bool loop = false;
    int volume = 100;
    bool muted = false;
    // Qt 6.4's sound effect on PulseAudio falls silent after a few plays (its sink stops asking
    // for data below the pre-buffer), so each play takes a fresh one, loaded while the last played.
    QSoundEffect *effect = nullptr;
    QSoundEffect *spare = nullptr;
    QMediaPlayer *player = nullptr;
    QAudioOutput *output = nullptr;
    bool failedOnce = false;
};
