#include "MainWindowFixture.h"
#include "support/TestSupport.h"
#include "ui/common/Fonts.h"
#include "ui/stage/StageView.h"
#include "ui/stage/StageWindow.h"

#include <QComboBox>
#include <QDir>
#include <QScreen>
#include <QStringDecoder>
#include <QToolTip>

using namespace Qt::StringLiterals;
using namespace MainWindowFixture;

namespace {

// A laptop and a projector beside it.
const QList<TestScreen> testScreens = {{"laptop", QRect(0, 0, 1920, 1080)},
                                       {"projector", QRect(1920, 0, 1280, 720)}};

QScreen *screenNamed(const QString &name)
{
    for (QScreen *s : QGuiApplication::screens()) {
        if (s->name() == name)
            return s;
    }
    qFatal("no screen %s", qPrintable(name));
}

} // namespace

class TestStageScreens : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase() { Fonts::installSubstitutions(); }
    void besideTheMainWindow_data();
    void besideTheMainWindow();
    void headingNamesTheRunOnShow();
};

void TestStageScreens::besideTheMainWindow_data()
{
    QTest::addColumn<QString>("mainScreen");
    QTest::addColumn<QString>("stageScreen");
    QTest::newRow("main window on the laptop") << u"laptop"_s << u"projector"_s;
    QTest::newRow("main window on the projector") << u"projector"_s << u"laptop"_s;
}

void TestStageScreens::besideTheMainWindow()
{
    QFETCH(QString, mainScreen);
    QFETCH(QString, stageScreen);
    ProgramDir dir({{u"每点一次出一号标志"_s, u"1"_s}});
    dir.writeEntries(listFile, 1, 12);
    Window w(dir.path());
    w.form.move(screenNamed(mainScreen)->geometry().topLeft() + QPoint(20, 20));
    QVERIFY(w.showActive());
    QCOMPARE(w.form.screen(), screenNamed(mainScreen));
    confirm(w, u"3"_s);
    WaitRecorder waits(w); // the run's waits pass at once

    QTest::keyClick(QApplication::focusWidget(), Qt::Key_F5);
    StageView &stage = w.form.stageWindow().view();
    QTRY_VERIFY(stage.isVisible());
    QCOMPARE(stage.geometry(), screenNamed(stageScreen)->geometry());
    // The organiser's window keeps the keyboard: the clicker's keys reach it.
    QCOMPARE(QApplication::activeWindow(), &w.form);
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_PageDown);
    QCOMPARE(w.run.winnerList.size(), 1);
    QCOMPARE(stage.winnerCount(), 1);
    QCOMPARE(QApplication::activeWindow(), &w.form);
    for (int press = 2; press <= 3; ++press)
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_PageDown);

    // Each card shows the fields written to the result file for its winner: the name, then
    // the other two.
    const QStringList results = QDir(dir.path()).entryList({u"出号结果*.txt"_s}, QDir::Files, QDir::Name);
    QCOMPARE(results.size(), 1);
    QStringDecoder gb18030("GB18030");
    const QStringList lines = QString(gb18030(TestSupport::readBytes(dir.filePath(results[0]))))
                                  .split(u"\r\n"_s, Qt::SkipEmptyParts);
    QCOMPARE(lines.size(), 3);
    QCOMPARE(stage.winnerCount(), 3);
    for (int i = 0; i < 3; ++i) {
        const QStringList fields = lines[i].split(u'\t');
        QCOMPARE(stage.cardLines(i), QStringList({fields.value(1), fields.value(0) + u' ' + fields.value(2)}));
    }
    for (const auto &box : std::as_const(w.messages.shown))
        QCOMPARE(box.parent, &w.form);

    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Escape);
    QVERIFY(!w.form.stageWindow().isOpen() && stage.isHidden());
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_F5);
    QTRY_VERIFY(stage.isVisible());
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_F5);
    QVERIFY(stage.isHidden());
}

// Two prizes, one per press: the stage names the prize about to be drawn, then the run's prize
// until the next run is prepared, whatever the drop-down shows meanwhile.
void TestStageScreens::headingNamesTheRunOnShow()
{
    ProgramDir dir({{u"每点一次出一号标志"_s, u"1"_s}});
    dir.writeEntries(listFile, 1, 12);
    TestSupport::writeBytes(dir.filePath(u"奖项设置.txt"_s), TestSupport::gbk(u"三等奖\t2\r\n二等奖\t1\r\n"_s));
    Window w(dir.path());
    QVERIFY(w.showActive());
    auto *combo = w.control<QComboBox>(u"prizeBox"_s);
    StageView &stage = w.form.stageWindow().view();
    w.form.toggleStage();
    QCOMPARE(stage.prizeShown(), u"三等奖"_s);
    QCOMPARE(stage.phase(), StageLayout::Phase::BeforeRun);
    confirm(w, u"2"_s);
    WaitRecorder waits(w);

    QTest::keyClick(QApplication::focusWidget(), Qt::Key_PageDown);
    QCOMPARE(w.run.winnerList.size(), 1);
    // Mid-run the prize cannot change: the press is refused and the window says why.
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_PageUp);
    w.form.selectPrize(1);
    QCOMPARE(combo->currentText(), u"三等奖"_s);
    QCOMPARE(stage.prizeShown(), u"三等奖"_s);
    QCOMPARE(QToolTip::text(), u"本轮还有 1 名未抽出，抽完后才能更换奖项。"_s);
    QTest::mouseClick(w.label(u"openPanelTab"_s), Qt::LeftButton); // the quick settings panel
    QTest::mouseClick(combo, Qt::LeftButton);
    QTest::keyClick(combo, Qt::Key_Down);
    QCOMPARE(combo->currentText(), u"三等奖"_s);

    QTest::mouseClick(w.control(u"startButton"_s), Qt::LeftButton);
    QCOMPARE(w.run.winnerList.size(), 2);
    QCOMPARE(combo->currentText(), u"二等奖"_s); // offered for the next run
    QCOMPARE(stage.prizeShown(), u"三等奖"_s);
    QCOMPARE(stage.phase(), StageLayout::Phase::AfterRun);

    w.messages.answers = {MessageBoxes::Answer::Yes};
    confirm(w, u"1"_s);
    QCOMPARE(stage.prizeShown(), u"二等奖"_s);
    QCOMPARE(stage.phase(), StageLayout::Phase::BeforeRun);
    QCOMPARE(stage.winnerCount(), 0);
}

int main(int argc, char *argv[])
{
    return runOnScreens(argc, argv, testScreens, [](int n, char *args[]) {
        QApplication app(n, args);
        TestStageScreens test;
        return QTest::qExec(&test, n, args);
    });
}

#include "tst_StageScreens.moc"
