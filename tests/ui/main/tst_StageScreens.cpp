#include "MainWindowFixture.h"
#include "ui/common/Fonts.h"
#include "ui/stage/StageView.h"
#include "ui/stage/StageWindow.h"

#include <QScreen>

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
    for (const auto &box : std::as_const(w.messages.shown))
        QCOMPARE(box.parent, &w.form);

    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Escape);
    QVERIFY(!w.form.stageWindow().isOpen() && stage.isHidden());
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_F5);
    QTRY_VERIFY(stage.isVisible());
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_F5);
    QVERIFY(stage.isHidden());
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
