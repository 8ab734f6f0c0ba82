#pragma once

#include <QString>
#include <QStringList>

class QWidget;

// Every message the windows show goes through here, so tests can answer and record them.
class MessageBoxes
{
public:
    enum class Answer { Yes, No };

    virtual ~MessageBoxes() = default;
    // Yes/No, question icon; Enter answers defaultAnswer (No where Yes cannot be undone).
    virtual Answer question(QWidget *parent, const QString &text, Answer defaultAnswer = Answer::Yes) = 0;
    virtual void error(QWidget *parent, const QString &text) = 0;       // OK, error icon
    virtual void information(QWidget *parent, const QString &text) = 0; // OK, information icon
    // A question with buttons of its own, warning icon: the index of the button chosen. Enter
    // gives the first, Esc and closing the box the last.
    virtual int choose(QWidget *parent, const QString &text, const QStringList &buttons) = 0;
};

// Files named in a message: “a”、“b”, with the platform's separators.
QString quotedFileNames(const QStringList &paths);

// The real boxes, captioned with the program's name.
class WidgetMessageBoxes : public MessageBoxes
{
public:
    Answer question(QWidget *parent, const QString &text, Answer defaultAnswer = Answer::Yes) override;
    void error(QWidget *parent, const QString &text) override;
    void information(QWidget *parent, const QString &text) override;
    int choose(QWidget *parent, const QString &text, const QStringList &buttons) override;
};
