#include "MainWindowFixture.h"
#include "ui/common/Fonts.h"
#include "ui/common/MessageBoxes.h"
#include "ui/common/QtChinese.h"
#include "ui/common/Twips.h"
#include "ui/common/WidgetColours.h"
#include "ui/reveal/ColourFlash.h"

#include <QApplication>
#include <QGroupBox>
#include <QMessageBox>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QScreen>
#include <QTest>
#include <QTimer>

#include <map>

using namespace Qt::StringLiterals;
using namespace MainWindowFixture;

namespace {

// The screens of the offscreen platform this program runs on, side by side.
const QList<TestScreen> testScreens = {
    {"hd", QRect(0, 0, 1280, 720)},
    {"fullhd", QRect(1280, 0, 1920, 1080)},
    {"uhd", QRect(3200, 0, 3840, 2160)},
    {"xga", QRect(7040, 0, 1024, 768)}, // 4:3, where the collapsed state gains
    {"sxga150", QRect(8064, 0, 853, 683)}, // 1280x1024 at a 150% desktop scale
    {"vga", QRect(8917, 0, 640, 480)},
};

QScreen *screenNamed(const QString &name)
{
    for (QScreen *s : QGuiApplication::screens()) {
        if (s->name() == name)
            return s;
    }
    qFatal("no screen %s", qPrintable(name));
}

// What F11 twice must give back: every widget's place, size, visibility and font.
struct WidgetState {
    QRect geometry;
    bool visible;
    QFont font;
    bool operator==(const WidgetState &) const = default;
};
std::map<QString, WidgetState> widgetStates(MainWindow &form)
{
    std::map<QString, WidgetState> states;
    int unnamed = 0;
    for (QWidget *w : form.findChildren<QWidget *>()) {
        QString key = w->objectName();
        if (key.isEmpty())
            key = QString::fromLatin1(w->metaObject()->className()) + QString::number(unnamed++);
        // Qt's own parts (scroll bar containers) share names across controls.
        while (states.count(key))
            key += u'+';
        states[key] = {w->geometry(), w->isVisibleTo(&form), w->font()};
    }
    states[u"window"_s] = {form.geometry(), form.isVisible(), form.font()};
    return states;
}

// The controls of the layout, by name, with their place in the client area.
std::map<QString, QRect> layoutPlaces(MainWindow &form)
{
    const QWidget *client = form.findChild<QWidget *>(u"ClientArea"_s);
    std::map<QString, QRect> places;
    for (QWidget *w : client->findChildren<QWidget *>()) {
        if (w->objectName().isEmpty() || w->objectName().startsWith(u"qt_"_s))
            continue;
        places[w->objectName()] = QRect(w->mapTo(client, QPoint(0, 0)), w->size());
    }
    return places;
}

std::map<QString, double> pointSizes(MainWindow &form)
{
    std::map<QString, double> sizes;
    for (QWidget *w : form.findChildren<QWidget *>()) {
        if (!w->objectName().isEmpty() && !w->objectName().startsWith(u"qt_"_s))
            sizes[w->objectName()] = w->font().pointSizeF();
    }
    return sizes;
}

void moveOnto(MainWindow &form, QScreen *screen)
{
    form.move(screen->geometry().center() - QPoint(form.width() / 2, form.height() / 2));
}

// The window centred on the named screen, shown and active; null when it did not become active.
QScreen *showOn(Window &w, const QString &name)
{
    QScreen *screen = screenNamed(name);
    moveOnto(w.form, screen);
    return w.showActive() ? screen : nullptr;
}

void pressKey(Qt::Key key)
{
    QWidget *target = QApplication::focusWidget() ? QApplication::focusWidget()
                                                  : QApplication::activeWindow();
    QTest::keyClick(target, key);
}

} // namespace

class TestFullScreen : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();

    void scaledOnTheWindowsScreen_data();
    void scaledOnTheWindowsScreen();
    void widthStateInFullScreen_data();
    void widthStateInFullScreen();
    void escapeOnlyLeaves_data();
    void escapeOnlyLeaves();
    void drawInFullScreen_data();
    void drawInFullScreen();
    void messageBoxCentredOnTheScreen();
    void normalWindowKeptOnItsScreen_data();
    void normalWindowKeptOnItsScreen();
};

void TestFullScreen::initTestCase()
{
    Fonts::installSubstitutions();
    QApplication::setStyle(u"Fusion"_s);
    QVERIFY(QtChinese::install());
    QCOMPARE(QGuiApplication::screens().size(), testScreens.size());
}

void TestFullScreen::scaledOnTheWindowsScreen_data()
{
    QTest::addColumn<QString>("screen");
    QTest::addColumn<bool>("collapsed");
    QTest::addColumn<double>("factor");
    // The height limits on wide screens: 629 client pixels at factor 1.
    QTest::newRow("1280x720, expanded") << u"hd"_s << false << 720 / 629.0;
    QTest::newRow("1280x720, collapsed") << u"hd"_s << true << 720 / 629.0;
    QTest::newRow("1920x1080, expanded") << u"fullhd"_s << false << 1080 / 629.0;
    QTest::newRow("1920x1080, collapsed") << u"fullhd"_s << true << 1080 / 629.0;
    QTest::newRow("3840x2160, expanded") << u"uhd"_s << false << 2160 / 629.0;
    QTest::newRow("3840x2160, collapsed") << u"uhd"_s << true << 2160 / 629.0;
    // On 4:3 the expanded width (948) limits, the collapsed one (577) does not.
    QTest::newRow("1024x768, expanded") << u"xga"_s << false << 1024 / 948.0;
    QTest::newRow("1024x768, collapsed") << u"xga"_s << true << 768 / 629.0;
}

void TestFullScreen::scaledOnTheWindowsScreen()
{
    QFETCH(QString, screen);
    QFETCH(bool, collapsed);
    QFETCH(double, factor);
    ProgramDir dir;
    Window w(dir.path());
    QScreen *target = showOn(w, screen);
    QVERIFY(target);
    if (collapsed)
        QTest::mouseClick(w.control(u"widthHandle(0)"_s), Qt::LeftButton);
    const auto before = widgetStates(w.form);
    const auto normalPlaces = layoutPlaces(w.form);
    const auto normalPoints = pointSizes(w.form);

    pressKey(Qt::Key_F11);
    QVERIFY(w.form.isPresenting());
    QTRY_COMPARE(w.form.geometry(), target->geometry());
    QCOMPARE(w.form.screen(), target);
    QCOMPARE(w.form.layoutScale(), factor);

    // Centred: equal margins, and no margin on the side that limits.
    const QRect client = w.control(u"ClientArea"_s)->geometry();
    const QSize area = target->geometry().size();
    QVERIFY(qAbs(client.left() - (area.width() - client.right() - 1)) <= 1);
    QVERIFY(qAbs(client.top() - (area.height() - client.bottom() - 1)) <= 1);
    QVERIFY(client.left() <= 1 || client.top() <= 1);
    QCOMPARE(client.width(), qRound((collapsed ? 577 : 948) * factor));

    // Every control where the normal layout has it, scaled; every font scaled.
    const auto places = layoutPlaces(w.form);
    QCOMPARE(places.size(), normalPlaces.size());
    const double slack = 1 + factor; // two rounded edges, before and after scaling
    for (const auto &[name, normal] : normalPlaces) {
        const QRect now = places.at(name);
        const QList<std::pair<int, int>> pairs = {{now.x(), normal.x()}, {now.y(), normal.y()},
                                                  {now.width(), normal.width()},
                                                  {now.height(), normal.height()}};
        for (const auto &[scaled, plain] : pairs)
            QVERIFY2(qAbs(scaled - plain * factor) <= slack, qPrintable(name));
    }
    for (const auto &[name, points] : normalPoints)
        QVERIFY2(qFuzzyCompare(pointSizes(w.form).at(name), points * factor), qPrintable(name));

    pressKey(Qt::Key_F11);
    QVERIFY(!w.form.isPresenting());
    QTRY_COMPARE(w.form.geometry(), before.at(u"window"_s).geometry);
    QVERIFY(!w.form.isFullScreen());
    QCOMPARE(w.form.layoutScale(), 1.0);
    const auto after = widgetStates(w.form);
    for (const auto &[name, state] : before)
        QVERIFY2(after.at(name) == state, qPrintable(name));
    QCOMPARE(w.form.minimumSize(), w.form.maximumSize());
}

void TestFullScreen::widthStateInFullScreen_data()
{
    QTest::addColumn<bool>("startCollapsed");
    QTest::newRow("expanded window, collapsed in full screen") << false;
    QTest::newRow("collapsed window, expanded in full screen") << true;
}

void TestFullScreen::widthStateInFullScreen()
{
    QFETCH(bool, startCollapsed);
    ProgramDir dir;
    Window w(dir.path());
    QScreen *xga = showOn(w, u"xga"_s);
    QVERIFY(xga);
    if (startCollapsed) {
        QTest::mouseClick(w.control(u"widthHandle(0)"_s), Qt::LeftButton);
        // Back and forth once, so that the titles have their narrower expanded width.
        QTest::mouseClick(w.control(u"widthHandle(1)"_s), Qt::LeftButton);
        QTest::mouseClick(w.control(u"widthHandle(0)"_s), Qt::LeftButton);
    }
    const auto before = widgetStates(w.form);

    pressKey(Qt::Key_F11);
    QTRY_COMPARE(w.form.geometry(), xga->geometry());
    const double first = w.form.layoutScale();
    const double firstRowPoints = w.label(u"rollingRow(1)"_s)->font().pointSizeF();
    const int handle = startCollapsed ? 1 : 0;
    QTest::mouseClick(w.control(u"widthHandle(%1)"_s.arg(handle)), Qt::LeftButton);
    const double second = w.form.layoutScale();
    // The narrower client area takes the larger factor, and the rolling rows grow with it.
    QCOMPARE(second > first, !startCollapsed);
    QCOMPARE(w.label(u"rollingRow(1)"_s)->font().pointSizeF() / firstRowPoints, second / first);
    QVERIFY(w.control(u"widthHandle(%1)"_s.arg(handle))->isHidden());

    // Collapsed, the winner list stays cut off: the margin right of the client area shows the
    // window's background, not the list.
    const QWidget *client = w.control(u"ClientArea"_s);
    const bool nowCollapsed = !startCollapsed;
    QCOMPARE(client->width(), qRound((nowCollapsed ? 577 : 948) * w.form.layoutScale()));
    const QImage shot = w.form.grab().toImage();
    const int right = client->geometry().right();
    const QColor margin = shot.pixelColor(right + (shot.width() - right) / 2, shot.height() / 2);
    if (nowCollapsed)
        QCOMPARE(margin, w.form.palette().color(QPalette::Window));
    else
        QCOMPARE(client->geometry().right(), shot.width() - 1);

    pressKey(Qt::Key_F11);
    QTRY_COMPARE(w.form.geometry(), before.at(u"window"_s).geometry);
    const auto after = widgetStates(w.form);
    for (const auto &[name, state] : before)
        QVERIFY2(after.at(name) == state, qPrintable(name));
}

void TestFullScreen::escapeOnlyLeaves_data()
{
    QTest::addColumn<QString>("focus");
    QTest::newRow("draw count box") << u"drawCountBox"_s;
    QTest::newRow("confirm button") << u"confirmButton"_s;
    QTest::newRow("winner list") << u"winnerListBox"_s;
}

void TestFullScreen::escapeOnlyLeaves()
{
    QFETCH(QString, focus);
    ProgramDir dir;
    Window w(dir.path());
    QVERIFY(w.showActive());
    w.control(focus)->setFocus();
    QTRY_COMPARE(QApplication::focusWidget(), w.control(focus));
    const QRect normal = w.form.geometry();

    pressKey(Qt::Key_Escape);
    QVERIFY(!w.form.isPresenting());
    QCOMPARE(w.form.geometry(), normal);

    pressKey(Qt::Key_F11);
    QTRY_VERIFY(w.form.isFullScreen());
    QCOMPARE(QApplication::focusWidget(), w.control(focus));
    pressKey(Qt::Key_Escape);
    QVERIFY(!w.form.isPresenting());
    QTRY_COMPARE(w.form.geometry(), normal);
    QVERIFY2(w.messages.shown.isEmpty(), qPrintable(w.messages.texts().join(u'|')));
}

void TestFullScreen::drawInFullScreen_data()
{
    QTest::addColumn<bool>("collapsed");
    QTest::newRow("1920x1080, expanded") << false;
    QTest::newRow("1920x1080, collapsed") << true;
}

void TestFullScreen::drawInFullScreen()
{
    QFETCH(bool, collapsed);
    ProgramDir dir({{u"滚动个数随机小"_s, u"20"_s}, {u"滚动个数随机大"_s, u"20"_s}});
    dir.writeEntries(listFile, 1, 12);
    Window w(dir.path());
    QScreen *fullhd = showOn(w, u"fullhd"_s);
    QVERIFY(fullhd);
    // Collapsed before, so that leaving and entering again keeps it collapsed.
    if (collapsed)
        QTest::mouseClick(w.control(u"widthHandle(0)"_s), Qt::LeftButton);
    const QRect normal = w.form.geometry();
    pressKey(Qt::Key_F11);
    QTRY_COMPARE(w.form.geometry(), fullhd->geometry());

    // The quick settings panel, the keys, the flashes and the winner list, all in full screen.
    confirm(w, u"3"_s);
    QCOMPARE(w.messages.texts(), QStringList{u"设置完成！"_s});
    QVERIFY(w.control(u"quickSettingsPanel"_s)->isHidden());
    QTRY_VERIFY(!w.label(u"rollList"_s)->text().isEmpty());
    const QString suffix = collapsed ? u"-collapsed"_s : u"-expanded"_s;
    grab(w.form, u"fullscreen-roll-list"_s + suffix);

    WaitRecorder waits(w);
    int rolling = 0;
    bool flashSeen = false, toggledInRoll = false, leftInFlash = false;
    waits.atWait = [&](int i) {
        const WaitRecorder::Wait &now = waits.waits[i];
        if (now.caption != u"正在摇号(2/3)..."_s)
            return;
        if (now.panel == QColor(0x80, 0x80, 0xFF) && ++rolling == 10) {
            grab(w.form, u"fullscreen-reveal"_s + suffix);
            // Out of full screen and back in while the names roll.
            pressKey(Qt::Key_F11);
            pressKey(Qt::Key_F11);
            toggledInRoll = w.form.isPresenting() && w.form.isFullScreen()
                && w.control(u"widthHandle(1)"_s)->isVisible() == collapsed;
        }
        if (now.panel == ColourFlash::colourTable()[1] && !flashSeen) {
            flashSeen = true;
            grab(w.form, u"fullscreen-flash"_s + suffix);
        }
    };
    pressKey(Qt::Key_Space);
    QCOMPARE(w.run.winnerList.size(), 3);
    grab(w.form, u"fullscreen-closing"_s + suffix);
    QVERIFY(toggledInRoll);
    QVERIFY(flashSeen);
    QCOMPARE(w.label(u"rollingRow(2)"_s)->text(), u"**** 谢谢参与! ****"_s);
    QVERIFY(w.label(u"rollingRow(2)"_s)->textFits());
    QVERIFY(w.control<QPlainTextEdit>(u"winnerListBox"_s)->toPlainText().endsWith(
        u"A%1 名%1 部%1"_s.arg(w.run.drawOrder[2])));
    QTRY_COMPARE(w.form.geometry(), fullhd->geometry());

    // Esc during the closing flash of a second run leaves at once; the run goes on to its end.
    w.messages.answers = {MessageBoxes::Answer::Yes};
    confirm(w, u"1"_s);
    waits.atWait = [&](int) {
        if (!leftInFlash && w.label(u"rollingRow(2)"_s)->text() == u"**** 谢谢参与! ****"_s) {
            pressKey(Qt::Key_Escape);
            leftInFlash = !w.form.isPresenting();
        }
    };
    pressKey(Qt::Key_Return);
    QVERIFY(leftInFlash);
    QCOMPARE(w.run.winnerList.size(), 1);
    QTRY_COMPARE(w.form.geometry(), normal);
}

void TestFullScreen::messageBoxCentredOnTheScreen()
{
    ProgramDir dir;
    Settings settings;
    RunData run;
    WidgetMessageBoxes boxes;
    MainWindow form(settings, run, boxes, dir.path());
    form.startUp();
    QScreen *uhd = screenNamed(u"uhd"_s);
    moveOnto(form, uhd);
    form.show();
    QVERIFY(QTest::qWaitForWindowActive(&form));
    QTest::keyClick(&form, Qt::Key_F11);
    QTRY_COMPARE(form.geometry(), uhd->geometry());

    QRect boxGeometry;
    QWidget *boxParent = nullptr;
    QString buttonText;
    QTimer closer;
    closer.setInterval(10);
    connect(&closer, &QTimer::timeout, [&] {
        if (auto *box = qobject_cast<QMessageBox *>(QApplication::activeModalWidget())) {
            boxGeometry = box->frameGeometry();
            boxParent = box->parentWidget();
            buttonText = box->buttons().value(0)->text();
            box->accept();
        }
    });
    closer.start();
    form.startDraw(); // nothing prepared: an error box
    closer.stop();
    QCOMPARE(boxParent, &form);
    QCOMPARE(buttonText, u"确定"_s); // Qt's own texts are Chinese too
    QVERIFY(uhd->geometry().contains(boxGeometry));
    QVERIFY2((boxGeometry.center() - uhd->geometry().center()).manhattanLength() <= 8,
             qPrintable(u"%1,%2"_s.arg(boxGeometry.center().x()).arg(boxGeometry.center().y())));
    form.leaveFullScreen();
}

void TestFullScreen::normalWindowKeptOnItsScreen_data()
{
    QTest::addColumn<QString>("screen");
    QTest::addColumn<double>("factor"); // 0: scaled down just enough to fit
    QTest::addColumn<double>("collapsedFactor");
    QTest::newRow("1280x720: fits, nothing changes") << u"hd"_s << 1.0 << 1.0;
    QTest::newRow("1280x1024 at 150%: the width limits") << u"sxga150"_s << 0.0 << 1.0;
    QTest::newRow("640x480: not below the readable minimum") << u"vga"_s << 0.75 << 0.0;
}

void TestFullScreen::normalWindowKeptOnItsScreen()
{
    QFETCH(QString, screen);
    QFETCH(double, factor);
    QFETCH(double, collapsedFactor);
    ProgramDir dir;
    Window w(dir.path());
    QScreen *target = showOn(w, screen);
    QVERIFY(target);
    QCOMPARE(w.form.screen(), target);
    const QRect available = target->availableGeometry();
    const QRect frame = w.form.frameGeometry();
    if (factor == 0) {
        factor = w.form.layoutScale();
        QVERIFY(factor < 1);
        QVERIFY(available.contains(frame));
        QVERIFY(frame.width() >= available.width() - 8); // no smaller than it must be
    } else {
        QCOMPARE(w.form.layoutScale(), factor);
        // Too wide even so: the title bar stays on the screen.
        QVERIFY(frame.left() == available.left() || available.contains(frame));
        QVERIFY(frame.top() >= available.top());
    }
    QCOMPARE(w.form.size(), QSize(Twips::toPixels(14220, factor), Twips::toPixels(9435, factor)));

    QTest::mouseClick(w.control(u"widthHandle(0)"_s), Qt::LeftButton);
    if (collapsedFactor == 0)
        QVERIFY(w.form.layoutScale() > 0.75 && w.form.layoutScale() < 1);
    else
        QCOMPARE(w.form.layoutScale(), collapsedFactor);
    QVERIFY(available.contains(w.form.frameGeometry()));
    QTest::mouseClick(w.control(u"widthHandle(1)"_s), Qt::LeftButton);
    QCOMPARE(w.form.layoutScale(), factor);
    pressKey(Qt::Key_F11);
    QVERIFY(w.form.isPresenting());
    pressKey(Qt::Key_F11);
    QVERIFY(!w.form.isPresenting());
    QCOMPARE(w.form.layoutScale(), factor);
}

int main(int argc, char *argv[])
{
    return runOnScreens(argc, argv, testScreens, [](int n, char *args[]) {
        QApplication app(n, args);
        TestFullScreen test;
        return QTest::qExec(&test, n, args);
    });
}

#include "tst_FullScreen.moc"
