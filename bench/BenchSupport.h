#pragma once

#include "ui/common/MessageBoxes.h"

#include <QObject>
#include <QSize>

class QApplication;
class QString;

// The one widget application all benchmarks share, set up as the program sets itself up (CJK
// faces, Fusion style). Windows go to the offscreen platform unless another one is asked for.
// Null when a benchmark made a non-widget application first.
QApplication *benchApplication();

// Message boxes that show nothing and answer every question the same way.
class SilentMessageBoxes : public MessageBoxes
{
public:
    explicit SilentMessageBoxes(Answer answer = Answer::No) : answer(answer) {}
    Answer question(QWidget *, const QString &, Answer) override { return answer; }
    void error(QWidget *, const QString &) override {}
    void information(QWidget *, const QString &) override {}
    int choose(QWidget *, const QString &, const QStringList &buttons) override { return int(buttons.size()) - 1; }

private:
    Answer answer;
};

// Counts the paints of the widget it filters, to show that each rolling step really repaints.
class PaintCounter : public QObject
{
public:
    int paints = 0;
    bool eventFilter(QObject *watched, QEvent *event) override;
};

// A made-up portrait (a face on a coloured ground), different for each seed, for winners' photos.
class QImage;
QImage samplePortrait(int seed, QSize size = QSize(300, 400));

// A fixture file in GBK, as the program's own files are; a benchmark cannot go on without it.
void writeGbk(const QString &path, const QString &text);

// The default sound device, a PulseAudio null sink of the benchmark's own started at the first
// call; null when no server could be started (then the sound benchmarks say so and skip).
// In sound_bench.cpp, as only zop_bench plays sound.
class SoundServer;
SoundServer *benchSoundServer();
