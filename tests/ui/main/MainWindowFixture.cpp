#include "MainWindowFixture.h"

#include "draw/DrawRandom.h"
#include "support/TestSupport.h"
#include "ui/common/Twips.h"
#include "ui/common/WidgetColours.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRegularExpression>
#include <QStringDecoder>
#include <QTest>

using namespace Qt::StringLiterals;

namespace MainWindowFixture {

ProgramDir::ProgramDir(const QList<std::pair<QString, QString>> &changes)
{
    const QDir shipped(TestSupport::shippedDataDir());
    // Without the prize list the window works as it did before there were prizes.
    for (const QString &name : shipped.entryList({u"*.txt"_s, u"*.ini"_s}, QDir::Files))
        if (name != u"奖项设置.txt"_s)
            QFile::copy(shipped.filePath(name), dir.filePath(name));
    if (changes.isEmpty())
        return;
    const QString file = dir.filePath(u"ZOP摇号设置.ini"_s);
    QString text = QStringDecoder("GBK").decode(TestSupport::readBytes(file));
    for (const auto &[key, value] : changes) {
        const QRegularExpression line(u"(?m)^"_s + QRegularExpression::escape(key) + u"=[^\r\n]*"_s);
        if (!text.contains(line))
            qFatal("no key %s", qPrintable(key));
        text.replace(line, key + u'=' + value);
    }
    QFile::remove(file);
    TestSupport::writeBytes(file, TestSupport::gbk(text));
}

void ProgramDir::writeEntries(const QString &name, int first, int last)
{
    QString text;
    for (int i = first; i <= last; ++i)
        text += entryLine(i) + u"\r\n"_s;
    QFile::remove(dir.filePath(name));
    TestSupport::writeBytes(dir.filePath(name), TestSupport::gbk(text));
}

QByteArray ProgramDir::settingsBytes() const
{
    return TestSupport::readBytes(dir.filePath(u"ZOP摇号设置.ini"_s));
}

QString entryLine(int i, const QString &sep)
{
    return u"A%1"_s.arg(i) + sep + u"名%1"_s.arg(i) + sep + u"部%1"_s.arg(i);
}

Window::Window(const QString &programDir)
    : form(settings, run, messages, programDir)
{
    form.drawProcedure().setDrawRandom(std::make_unique<DrawRandom>(std::make_unique<XoshiroSource>(7)));
    form.drawProcedure().setClock([this] {
        const QDateTime t = now;
        now = now.addSecs(clockStep);
        return t;
    });
    form.startUp();
}

QWidget *Window::at(int leftTwips, int topTwips)
{
    return form.childAt(Twips::toPixels(leftTwips), Twips::toPixels(topTwips));
}

bool Window::showActive()
{
    form.show();
    form.activateWindow();
    return QTest::qWaitForWindowActive(&form);
}

WaitRecorder::WaitRecorder(Window &window)
    : w(window),
      fake([this](int ms) {
          waits.append({ms, w.control<QPushButton>(u"startButton"_s)->text(),
                        w.control(u"startButton"_s)->isEnabled(), w.label(u"rollingRow(1)"_s)->text(),
                        WidgetColours::backColor(w.label(u"flashPanel"_s)),
                        WidgetColours::foreColor(w.label(u"rollingRow(2)"_s)),
                        int(w.run.winnerList.size()),
                        int(w.control<QPlainTextEdit>(u"winnerListBox"_s)->toPlainText().count(u"\n["_s)),
                        w.label(u"statusLabel(2)"_s)->text()});
          note();
          if (atWait)
              atWait(int(waits.size()) - 1);
      })
{
}

void WaitRecorder::note()
{
    const QString now = w.control<QPushButton>(u"startButton"_s)->text();
    if (seen.isEmpty() || seen.last() != now)
        seen.append(now);
}

void confirm(Window &w, const QString &count, const QString &dataFile)
{
    if (w.control(u"quickSettingsPanel"_s)->isHidden())
        QTest::mouseClick(w.label(u"openPanelTab"_s), Qt::LeftButton);
    for (auto [name, text] : {std::pair{u"drawCountBox"_s, count}, std::pair{u"dataFileBox"_s, dataFile}}) {
        auto *box = w.control<QLineEdit>(name);
        box->selectAll();
        QTest::keyClick(box, Qt::Key_Delete);
        // Typed character by character, Chinese included.
        for (QChar c : text)
            QTest::sendKeyEvent(QTest::Click, box, Qt::Key_unknown, QString(c), Qt::NoModifier);
    }
    QTest::mouseClick(w.control(u"confirmButton"_s), Qt::LeftButton);
}

int runOnScreens(int argc, char *argv[], const QList<TestScreen> &screens,
                 const std::function<int(int, char *[])> &run)
{
    QTemporaryDir dir;
    // Another platform, or screens set by hand, are left as they are.
    if (qEnvironmentVariable("QT_QPA_PLATFORM") == u"offscreen"_s) {
        QJsonArray list;
        for (const TestScreen &s : screens) {
            list.append(QJsonObject{{u"name"_s, QString::fromLatin1(s.name)},
                                    {u"x"_s, s.geometry.x()}, {u"y"_s, s.geometry.y()},
                                    {u"width"_s, s.geometry.width()},
                                    {u"height"_s, s.geometry.height()},
                                    {u"logicalDpi"_s, 96}, {u"logicalBaseDpi"_s, 96},
                                    {u"dpr"_s, 1.0}});
        }
        const QString config = dir.filePath(u"screens.json"_s);
        QFile file(config);
        if (!file.open(QIODevice::WriteOnly)
            || file.write(QJsonDocument(QJsonObject{{u"screens"_s, list}}).toJson()) < 0)
            qFatal("cannot write %s", qPrintable(config));
        file.close();
        qputenv("QT_QPA_PLATFORM", (u"offscreen:configfile="_s + config).toLocal8Bit());
    }
    return run(argc, argv);
}

void grab(QWidget &window, const QString &name)
{
    const QString dir = qEnvironmentVariable("ZOP_GRAB_DIR");
    if (!dir.isEmpty())
        window.grab().save(QDir(dir).filePath(name + u".png"_s));
}

} // namespace MainWindowFixture
