#pragma once

#include <QByteArray>
#include <QList>
#include <QProcess>
#include <QString>
#include <QStringList>
#include <QTemporaryDir>

// A PulseAudio server of the test's own, with one null sink whose monitor is recorded: what a
// program plays there can be listened to. It runs as whoever runs the test (root in CI), in a
// private runtime folder, with no desktop session.
class SoundServer
{
public:
    static constexpr int rate = 22050; // mono, 16 bits

    SoundServer() = default;
    ~SoundServer();
    SoundServer(const SoundServer &) = delete;
    SoundServer &operator=(const SoundServer &) = delete;

    static QStringList missingTools();

    // Empty on success, else why not.
    QString start();
    // For the PULSE_SERVER variable of a program that plays here.
    QString address() const;

    QString startRecording();
    // Samples since startRecording.
    QList<qint16> stopRecording();

    // The amplitude of frequency in each window of windowMs (Goertzel), in sample units.
    static QList<double> levels(const QList<qint16> &samples, double frequency, int windowMs);

private:
    QTemporaryDir dir;
    QProcess server, recorder;
};
