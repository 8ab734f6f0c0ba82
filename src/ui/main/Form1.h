#pragma once

#include <QWidget>

struct Settings;
class RunData;
class MessageBoxes;
class QLabel;

// The main window: title, display area, start button, quick settings and winner list.
class Form1 : public QWidget
{
    Q_OBJECT

public:
    Form1(Settings &settings, RunData &run, MessageBoxes &messages, const QString &programDir,
          QWidget *parent = nullptr);

    void Form_Load();

private:
    Settings &settings;
    RunData &run;
    MessageBoxes &messages;
    QString programDir;
    QLabel *title = nullptr;
};
