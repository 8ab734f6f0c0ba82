#include "StageWindow.h"

#include "StageDrawView.h"
#include "StageView.h"
#include "ui/reveal/DrawProcedure.h"

#include <QApplication>
#include <QEvent>
#include <QImage>
#include <QTimer>

StageWindow::StageWindow(QWidget &mainWindow, DrawProcedure &procedure, const Settings &settings,
                         const RunData &run)
    : mainWindow(mainWindow),
      procedure(procedure),
      stage(std::make_unique<StageView>()),
      drawView(std::make_unique<StageDrawView>(*stage, settings, run))
{
    stage->setWindowTitle(mainWindow.windowTitle() + QStringLiteral(" 投影大屏"));
    connect(stage.get(), &StageView::closed, this, &StageWindow::closed);
    connect(stage.get(), &StageView::placed, this, &StageWindow::placed);
    connect(stage.get(), &StageView::keyPressed, this, [this](int key, bool autoRepeat) {
        if (keyHandler)
            keyHandler(key, autoRepeat);
    });
}

StageWindow::~StageWindow()
{
    if (!opened)
        return;
    // The stage's own events while it is destroyed must not reach the filter.
    qApp->removeEventFilter(this);
    procedure.removeView(drawView.get());
    procedure.setDialogParent(&mainWindow);
}

void StageWindow::setKeyHandler(std::function<void(int, bool)> handler)
{
    keyHandler = std::move(handler);
}

void StageWindow::open()
{
    if (opened)
        return;
    opened = true;
    qApp->installEventFilter(this);
    drawView->refresh();
    procedure.addView(drawView.get());
    stage->openBeside(&mainWindow);
}

void StageWindow::close()
{
    if (opened)
        stage->close();
}

void StageWindow::toggle()
{
    if (opened)
        close();
    else
        open();
}

void StageWindow::refresh()
{
    if (opened)
        drawView->refresh();
}

void StageWindow::setChosenPrize(const QString &name, const QImage &picture)
{
    drawView->setChosenPrize(name, picture);
}

bool StageWindow::turnPage(int delta)
{
    if (!opened || stage->pageCount() <= 1)
        return false;
    if (delta != 0)
        stage->turnPage(delta);
    return true;
}

void StageWindow::placed()
{
    procedure.setDialogParent(stage->sharesMainScreen() ? stage.get() : &mainWindow);
}

bool StageWindow::eventFilter(QObject *watched, QEvent *event)
{
    // Over the main window's screen the stage stays in front: the main window coming forward
    // and a dialog over the stage closing both give the stage the screen back.
    if (!opened || !stage->sharesMainScreen())
        return false;
    const bool mainForward = watched == &mainWindow && event->type() == QEvent::WindowActivate;
    const auto *widget = watched->isWidgetType() ? static_cast<QWidget *>(watched) : nullptr;
    const bool dialogClosed = event->type() == QEvent::Hide && widget && widget->isWindow()
                              && widget->parentWidget() == stage.get();
    if (mainForward || dialogClosed) {
        QTimer::singleShot(0, stage.get(), [this] {
            if (!opened || QApplication::activeModalWidget())
                return;
            stage->raise();
            stage->activateWindow();
        });
    }
    return false;
}

void StageWindow::closed()
{
    // Also when the stage closes itself: its screen went away.
    if (!opened)
        return;
    opened = false;
    qApp->removeEventFilter(this);
    procedure.setDialogParent(&mainWindow);
    procedure.removeView(drawView.get());
    mainWindow.activateWindow();
}
