#pragma once

#include <QObject>

#include <functional>
#include <memory>

struct Settings;
class DrawProcedure;
class RunData;
class StageDrawView;
class StageView;
class QWidget;

// The stage of a main window: opened beside it as a second view of its draw, closed again,
// and the keys pressed on it handed to the main window.
class StageWindow : public QObject
{
    Q_OBJECT

public:
    StageWindow(QWidget &mainWindow, DrawProcedure &procedure, const Settings &settings,
                const RunData &run);
    ~StageWindow() override;

    void open();
    void close();
    void toggle();
    bool isOpen() const { return opened; }
    // Title, columns and cards again, after a preparation or a settings save.
    void refresh();

    // Keys pressed on the stage when it has the keyboard (one screen): Qt::Key values.
    void setKeyHandler(std::function<void(int key, bool autoRepeat)> handler);

    StageView &view() { return *stage; }

private:
    void closed();

    QWidget &mainWindow;
    DrawProcedure &procedure;
    std::unique_ptr<StageView> stage;
    std::unique_ptr<StageDrawView> drawView;
    std::function<void(int, bool)> keyHandler;
    bool opened = false;
};
