#pragma once

#include <QObject>

#include <functional>
#include <memory>

struct Settings;
class DrawProcedure;
class RunData;
class StageDrawView;
class StageView;
class QImage;
class QString;
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

    // The prize chosen in the main window; the stage names it until a run starts.
    void setChosenPrize(const QString &name, const QImage &picture);
    // Up (-1) and Down (1) turn the stage's pages (0: none); false when it is closed or has one page.
    bool turnPage(int delta);

    // Keys pressed on the stage when it has the keyboard (one screen): Qt::Key values.
    void setKeyHandler(std::function<void(int key, bool autoRepeat)> handler);

    StageView &view() { return *stage; }

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void closed();
    void placed();

    QWidget &mainWindow;
    DrawProcedure &procedure;
    std::unique_ptr<StageView> stage;
    std::unique_ptr<StageDrawView> drawView;
    std::function<void(int, bool)> keyHandler;
    bool opened = false;
};
