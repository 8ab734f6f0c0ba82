#include "StageWindow.h"

#include "StageDrawView.h"
#include "StageView.h"
#include "ui/reveal/DrawProcedure.h"

StageWindow::StageWindow(QWidget &mainWindow, DrawProcedure &procedure, const Settings &settings,
                         const RunData &run)
    : mainWindow(mainWindow),
      procedure(procedure),
      stage(std::make_unique<StageView>()),
      drawView(std::make_unique<StageDrawView>(*stage, settings, run))
{
    stage->setWindowTitle(mainWindow.windowTitle() + QStringLiteral(" 投影大屏"));
    connect(stage.get(), &StageView::closed, this, &StageWindow::closed);
    connect(stage.get(), &StageView::keyPressed, this, [this](int key, bool autoRepeat) {
        if (keyHandler)
            keyHandler(key, autoRepeat);
    });
}

StageWindow::~StageWindow()
{
    if (opened)
        procedure.removeView(drawView.get());
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

void StageWindow::closed()
{
    // Also when the stage closes itself: its screen went away.
    if (!opened)
        return;
    opened = false;
    procedure.removeView(drawView.get());
    mainWindow.activateWindow();
}
