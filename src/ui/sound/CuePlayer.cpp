#include "CuePlayer.h"

#include <algorithm>
#include <utility>

#ifdef ZOP_HAS_SOUND
#include <QAudioDevice>
#include <QAudioOutput>
#include <QMediaDevices>
#include <QMediaPlayer>
#include <QSoundEffect>
#include <QUrl>
#endif

using namespace Qt::StringLiterals;

#ifdef ZOP_HAS_SOUND

CuePlayer::CuePlayer(const QString &file, bool loop, QObject *parent) : QObject(parent), file(file), loop(loop)
{
    const QUrl url = QUrl::fromLocalFile(file);
    if (file.endsWith(u".wav"_s, Qt::CaseInsensitive)) {
        effect = makeEffect();
        spare = makeEffect();
        return;
    }
    output = new QAudioOutput(this);
    player = new QMediaPlayer(this);
    player->setAudioOutput(output);
    player->setLoops(loop ? int(QMediaPlayer::Infinite) : 1);
    connect(player, &QMediaPlayer::errorOccurred, this, [this] { fail(); });
    connect(player, &QMediaPlayer::mediaStatusChanged, this, [this](QMediaPlayer::MediaStatus status) {
        if (status == QMediaPlayer::InvalidMedia)
            fail();
    });
    connect(player, &QMediaPlayer::playbackStateChanged, this, [this](QMediaPlayer::PlaybackState state) {
        if (state == QMediaPlayer::StoppedState)
            emit finished();
    });
    player->setSource(url);
}

// The settings' 0..100 heard as a loudness scale.
float CuePlayer::linearVolume() const
{
    return QAudio::convertVolume(volume / 100.0f, QAudio::LogarithmicVolumeScale, QAudio::LinearVolumeScale);
}

QSoundEffect *CuePlayer::makeEffect()
{
    auto *made = new QSoundEffect(this);
    made->setLoopCount(loop ? int(QSoundEffect::Infinite) : 1);
    made->setVolume(linearVolume());
    made->setMuted(muted);
    connect(made, &QSoundEffect::statusChanged, this, [this, made] {
        if (made->status() == QSoundEffect::Error)
            fail();
    });
    connect(made, &QSoundEffect::playingChanged, this, [this, made] {
        if (made == effect && !made->isPlaying())
            emit finished();
    });
    made->setSource(QUrl::fromLocalFile(file));
    return made;
}

CuePlayer::~CuePlayer() = default;

bool CuePlayer::deviceAvailable()
{
    return !QMediaDevices::defaultAudioOutput().isNull();
}

void CuePlayer::play()
{
    if (failedOnce)
        return;
    if (effect) {
        // The one that played is dropped quietly: its stop is no cue's end.
        QSoundEffect *played = std::exchange(effect, spare);
        played->stop();
        played->deleteLater();
        spare = makeEffect();
        effect->play();
    } else {
        player->setPosition(0);
        player->play();
    }
}

void CuePlayer::stop()
{
    // A media player that failed can take a second to stop.
    if (failedOnce || !isPlaying())
        return;
    if (effect)
        effect->stop();
    else
        player->stop();
}

bool CuePlayer::isPlaying() const
{
    return effect ? effect->isPlaying() : player->playbackState() == QMediaPlayer::PlayingState;
}

void CuePlayer::setVolume(int percent)
{
    volume = std::clamp(percent, 0, 100);
    const float linear = linearVolume();
    if (effect) {
        effect->setVolume(linear);
        spare->setVolume(linear);
    } else {
        output->setVolume(linear);
    }
}

void CuePlayer::setMuted(bool on)
{
    muted = on;
    if (effect) {
        effect->setMuted(on);
        spare->setMuted(on);
    } else {
        output->setMuted(on);
    }
}

#else

// A build without Qt Multimedia: there is no device, so nothing is ever made to play.
CuePlayer::CuePlayer(const QString &file, bool, QObject *parent) : QObject(parent), file(file) {}
CuePlayer::~CuePlayer() = default;
bool CuePlayer::deviceAvailable() { return false; }
void CuePlayer::play() {}
void CuePlayer::stop() {}
bool CuePlayer::isPlaying() const { return false; }
void CuePlayer::setVolume(int) {}
void CuePlayer::setMuted(bool) {}

#endif

void CuePlayer::fail()
{
    if (failedOnce)
        return;
    failedOnce = true;
    // Queued: a player may fail inside a call of its owner's, which then hears of it afterwards.
    QMetaObject::invokeMethod(this, [this] { emit failed(file); }, Qt::QueuedConnection);
}
