#include "MainWindowFixture.h"
#include "ui/sound/HallSound.h"
#include "support/TestSupport.h"
#include "ui/sound/SoundCue.h"
#include "ui/stage/StageView.h"
#include "ui/stage/StageWindow.h"

#include <QApplication>
#include <QTemporaryDir>
#include <QTest>

using namespace Qt::StringLiterals;
using namespace MainWindowFixture;

namespace {

// Notes each cue started ("滚动") and stopped ("-滚动"), and which still sound.
struct CueRecord : CueOutput {
    void play(Cue cue) override
    {
        log.append(SoundCue::name(cue));
        playing.insert(cue);
    }
    void stop(Cue cue) override
    {
        if (playing.remove(cue))
            log.append(u'-' + SoundCue::name(cue));
    }
    void setMuted(bool m) override { muted = m; }

    QStringList log;
    QSet<Cue> playing;
    bool muted = false;
};

struct Hall {
    explicit Hall(Window &w)
        : sound(w.form.drawProcedure(), w.settings, w.messages, &w.form,
                [this](const Settings &, HallSound::Failed f) -> std::unique_ptr<CueOutput> {
                    failed = std::move(f);
                    if (!device)
                        return nullptr;
                    auto out = std::make_unique<CueRecord>();
                    record = out.get();
                    return out;
                })
    {
    }
    bool device = true;
    CueRecord *record = nullptr;
    HallSound::Failed failed;
    HallSound sound;
};

// The window with a hall of its own, confirmed for count winners of 12 rolling five steps each.
struct PreparedRun {
    PreparedRun(int onePerPress, int count)
        : dir({{u"滚动个数随机小"_s, u"5"_s}, {u"滚动个数随机大"_s, u"5"_s}, {u"滚动速度"_s, u"1"_s},
               {u"每点一次出一号标志"_s, QString::number(onePerPress)}, {u"中奖者不再参与"_s, u"0"_s}}),
          w((dir.writeEntries(listFile, 1, 12), dir.path())), hall(w)
    {
        hall.sound.applySettings();
        if (!w.showActive())
            qFatal("the window was not shown");
        confirm(w, QString::number(count));
        w.messages.shown.clear();
    }
    ProgramDir dir;
    Window w;
    Hall hall;
};

void pressSpace()
{
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Space);
}

} // namespace

class TestHallSound : public QObject
{
    Q_OBJECT

private slots:
    void cueSequence_data();
    void cueSequence();
    void unplayableFileNamedOnceAfterTheRun();
    void withoutSound();
    void muteKey();
    void soundFiles();
};

void TestHallSound::cueSequence_data()
{
    QTest::addColumn<int>("onePerPress");
    QTest::addColumn<int>("closeAtWait"); // -1: the run ends by itself
    QTest::addColumn<bool>("redraw");     // the second winner, after the run
    QTest::addColumn<QString>("heard");

    // Idle music is there from the start and after the fanfare; in continuous mode the rolling
    // music goes on from the first step to the last reveal.
    QTest::newRow("continuous") << 0 << -1 << false
                                << u"待机 -待机 滚动 中奖 中奖 -滚动 中奖 结束 待机"_s;
    QTest::newRow("one per press") << 1 << -1 << false
                                   << u"待机 -待机 滚动 -滚动 中奖 滚动 -滚动 中奖 滚动 -滚动 中奖 结束 待机"_s;
    QTest::newRow("redraw") << 1 << -1 << true
                            << u"待机 -待机 滚动 -滚动 中奖 滚动 -滚动 中奖 滚动 -滚动 中奖 结束 待机 -待机 滚动 -滚动 中奖 待机"_s;
    // Five rolling waits and a flash of 8 make a winner: the close comes while the second rolls.
    // A winner takes 170 waits: 5 rolling, 160 of the flash, 5 of the pause.
    QTest::newRow("closed while rolling") << 0 << 170 + 2 << false << u"待机 -待机 滚动 中奖 -滚动 -中奖"_s;
    QTest::newRow("closed during the fanfare") << 0 << 3 * 170 + 10 << false
                                               << u"待机 -待机 滚动 中奖 中奖 -滚动 中奖 结束 待机 -中奖 -结束 -待机"_s;
}

void TestHallSound::cueSequence()
{
    QFETCH(int, onePerPress);
    QFETCH(int, closeAtWait);
    QFETCH(bool, redraw);
    QFETCH(QString, heard);
    PreparedRun prepared(onePerPress, 3);
    Window &w = prepared.w;
    Hall &hall = prepared.hall;
    WaitRecorder waits(w);
    waits.atWait = [&](int i) {
        if (i == closeAtWait)
            w.form.close();
    };
    for (int p = 0; p < (onePerPress ? 3 : 1) && w.form.isVisible(); ++p)
        pressSpace();
    if (redraw) {
        w.messages.answers = {MessageBoxes::Answer::Yes};
        w.form.drawProcedure().redrawAbsentWinner(2);
        QCOMPARE(w.run.winnerList.size(), 4);
    }
    QCOMPARE(hall.record->log.join(u' '), heard);
    // A closed window leaves nothing sounding (the short cues' stops are in the log); a finished
    // run only the idle music.
    const QSet<Cue> loops{Cue::Rolling, Cue::Idle};
    QCOMPARE(hall.record->playing & loops, closeAtWait < 0 ? QSet<Cue>{Cue::Idle} : QSet<Cue>());
}

// A file found unplayable during a run waits for its end, and is named once.
void TestHallSound::unplayableFileNamedOnceAfterTheRun()
{
    PreparedRun prepared(1, 2);
    Window &w = prepared.w;
    Hall &hall = prepared.hall;
    WaitRecorder waits(w);
    waits.atWait = [&](int) { hall.failed(u"/x/中奖.mp3"_s); };
    pressSpace();
    QTest::qWait(700);
    // Between two presses the run is not over.
    QVERIFY(w.messages.shown.isEmpty());
    pressSpace();
    QTRY_COMPARE(w.messages.texts(), QStringList{u"无法播放声音文件“/x/中奖.mp3”，这些声音将不会播放。"_s});
    QCOMPARE(w.messages.shown.first().parent, &w.form);
    hall.failed(u"/x/中奖.mp3"_s);
    hall.sound.applySettings();
    hall.failed(u"/x/中奖.mp3"_s);
    QTest::qWait(700);
    QCOMPARE(w.messages.shown.size(), 1);
}

// 声音=0 makes no output; without a device the state says so and no message is shown. M mutes
// what plays, whatever the state.
void TestHallSound::withoutSound()
{
    ProgramDir dir;
    Window w(dir.path());
    w.settings.soundOn = 0;
    Hall hall(w);
    QList<HallSound::State> states;
    hall.sound.stateChanged = [&](HallSound::State s) { states.append(s); };
    hall.sound.applySettings();
    QVERIFY(!hall.record);

    w.settings.soundOn = 1;
    hall.device = false;
    hall.sound.applySettings();
    QVERIFY(!hall.record);
    hall.device = true;
    hall.sound.applySettings();
    QVERIFY(hall.record && !hall.record->muted);
    hall.sound.toggleMute();
    QVERIFY(hall.record->muted);
    hall.sound.applySettings(); // muted stays muted
    QVERIFY(hall.record->muted);
    hall.sound.toggleMute();
    QVERIFY(!hall.record->muted);
    using S = HallSound::State;
    QCOMPARE(states, (QList<S>{S::Off, S::NoDevice, S::On, S::Muted, S::Muted, S::On}));
    QVERIFY(w.messages.shown.isEmpty());
}

// M mutes and unmutes from the window and the stage, but a text box being typed in takes it.
void TestHallSound::muteKey()
{
    ProgramDir dir;
    Window w(dir.path());
    QVERIFY(w.showActive());
    auto *countBox = w.control(u"drawCountBox"_s);
    countBox->setFocus();
    QTest::keyClick(countBox, Qt::Key_M);
    QVERIFY(!w.form.hallSound().isMuted());
    w.control(u"winnerListBox"_s)->setFocus();
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_M);
    QVERIFY(w.form.hallSound().isMuted());
    w.form.toggleStage();
    QTest::keyClick(&w.form.stageWindow().view(), Qt::Key_M);
    QVERIFY(!w.form.hallSound().isMuted());
}

// The organiser's 音效 folder when there is one (a file taken out of it is a silent cue), else the
// one beside the program, as for an installed program whose files live in a per-user folder.
void TestHallSound::soundFiles()
{
    QTemporaryDir appDir;
    const QString shipped = QDir(QCoreApplication::applicationDirPath()).filePath(u"音效"_s);
    // Beside the test program; left behind only by a run that stopped half-way.
    QVERIFY(QDir(shipped).removeRecursively() && QDir().mkpath(shipped));
    TestSupport::writeBytes(shipped + u"/中奖.wav"_s, "RIFF");
    Settings settings;
    settings.appDir = appDir.path() + u'/';
    QCOMPARE(SoundCue::file(settings, Cue::Winner), shipped + u"/中奖.wav"_s);
    QVERIFY(QDir(appDir.path()).mkdir(u"音效"_s));
    QCOMPARE(SoundCue::file(settings, Cue::Winner), QString());
    TestSupport::writeBytes(appDir.filePath(u"音效/中奖.mp3"_s), "ID3");
    QCOMPARE(SoundCue::file(settings, Cue::Winner), appDir.filePath(u"音效/中奖.mp3"_s));
    QVERIFY(QDir(shipped).removeRecursively());
}

ZOP_MAIN_WINDOW_TEST_MAIN(TestHallSound)
#include "tst_HallSound.moc"
