#include "SoundServer.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QStandardPaths>
#include <QTest>

#include <cmath>
#include <numbers>

using namespace Qt::StringLiterals;

SoundServer::~SoundServer()
{
    for (QProcess *p : {&recorder, &server}) {
        if (p->state() != QProcess::NotRunning) {
            p->terminate();
            if (!p->waitForFinished(5000)) {
                p->kill();
                p->waitForFinished(5000);
            }
        }
    }
}

QStringList SoundServer::missingTools()
{
    QStringList missing;
    for (const QString &tool : {u"pulseaudio"_s, u"parec"_s})
        if (QStandardPaths::findExecutable(tool).isEmpty())
            missing.append(tool);
    return missing;
}

QString SoundServer::start()
{
    if (!dir.isValid())
        return u"no temporary folder for the sound server"_s;
    QFile::setPermissions(dir.path(), QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner);
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    // Its own home and runtime folder: nothing of a desktop session, whoever runs the test.
    env.insert(u"HOME"_s, dir.path());
    env.insert(u"XDG_RUNTIME_DIR"_s, dir.path());
    env.remove(u"PULSE_SERVER"_s);
    env.remove(u"DBUS_SESSION_BUS_ADDRESS"_s);
    server.setProcessEnvironment(env);
    recorder.setProcessEnvironment(env);
    server.setProcessChannelMode(QProcess::MergedChannels);
    server.setStandardOutputFile(dir.filePath(u"pulseaudio.log"_s));
    server.start(u"pulseaudio"_s,
                 {u"-n"_s, u"--daemonize=no"_s, u"--system=false"_s, u"--exit-idle-time=-1"_s,
                  u"--use-pid-file=false"_s, u"--log-target=stderr"_s,
                  u"-L"_s, u"module-null-sink sink_name=hall rate=%1 channels=1"_s.arg(rate),
                  u"-L"_s, u"module-native-protocol-unix auth-anonymous=1 socket=%1"_s.arg(dir.filePath(u"native"_s))});
    if (!server.waitForStarted(10000))
        return u"pulseaudio did not start: "_s + server.errorString();
    if (!QTest::qWaitFor([&] { return QFile::exists(dir.filePath(u"native"_s)) || server.state() == QProcess::NotRunning; }, 10000)
        || server.state() == QProcess::NotRunning)
    {
        QFile log(dir.filePath(u"pulseaudio.log"_s));
        return u"pulseaudio did not open its socket; it printed:\n"_s
               + QString::fromLocal8Bit(log.open(QIODevice::ReadOnly) ? log.readAll() : QByteArray());
    }
    return QString();
}

QString SoundServer::address() const
{
    return u"unix:"_s + dir.filePath(u"native"_s);
}

QString SoundServer::startRecording()
{
    QProcessEnvironment env = recorder.processEnvironment();
    env.insert(u"PULSE_SERVER"_s, address());
    recorder.setProcessEnvironment(env);
    recorder.setStandardOutputFile(dir.filePath(u"hall.raw"_s));
    recorder.start(u"parec"_s, {u"-d"_s, u"hall.monitor"_s, u"--raw"_s, u"--format=s16le"_s,
                                u"--rate=%1"_s.arg(rate), u"--channels=1"_s, u"--latency-msec=20"_s});
    if (!recorder.waitForStarted(10000))
        return u"parec did not start: "_s + recorder.errorString();
    // The stream is connected once the first silence arrives.
    if (!QTest::qWaitFor([&] { return QFileInfo(dir.filePath(u"hall.raw"_s)).size() > 0; }, 10000))
        return u"parec records nothing"_s;
    return QString();
}

QList<qint16> SoundServer::stopRecording()
{
    recorder.terminate();
    recorder.waitForFinished(5000);
    QFile raw(dir.filePath(u"hall.raw"_s));
    if (!raw.open(QIODevice::ReadOnly))
        return {};
    const QByteArray bytes = raw.readAll();
    QList<qint16> samples(bytes.size() / 2);
    for (qsizetype i = 0; i < samples.size(); ++i)
        samples[i] = qint16(quint8(bytes[2 * i]) | quint8(bytes[2 * i + 1]) << 8);
    return samples;
}

QList<double> SoundServer::levels(const QList<qint16> &samples, double frequency, int windowMs)
{
    const qsizetype n = rate * windowMs / 1000;
    const double coefficient = 2 * std::cos(2 * std::numbers::pi * frequency / rate);
    QList<double> out;
    for (qsizetype start = 0; start + n <= samples.size(); start += n) {
        double s1 = 0, s2 = 0;
        for (qsizetype i = start; i < start + n; ++i) {
            const double s0 = samples[i] + coefficient * s1 - s2;
            s2 = s1;
            s1 = s0;
        }
        const double power = s1 * s1 + s2 * s2 - coefficient * s1 * s2;
        out.append(2 * std::sqrt(std::max(0.0, power)) / n);
    }
    return out;
}
