#pragma once

#include "ui/common/MessageBoxes.h"

#include <QList>
#include <QStringList>

// Answers questions from a script and records every text shown, so no box ever blocks a test.
class ScriptedMessageBoxes : public MessageBoxes
{
public:
    enum class Kind { Question, Error, Information, Choice };
    struct Shown {
        Kind kind;
        QString text;
        QWidget *parent = nullptr; // the window the box would open over
        Answer defaultAnswer = Answer::Yes; // what Enter would answer a question
        QStringList buttons = {};           // of a choice
    };

    QList<Answer> answers; // next answers to questions, first first; No when empty
    QList<int> choices;    // next buttons chosen, first first; the last (Esc) when empty
    QList<Shown> shown;

    Answer question(QWidget *parent, const QString &text, Answer defaultAnswer = Answer::Yes) override;
    void error(QWidget *parent, const QString &text) override;
    void information(QWidget *parent, const QString &text) override;
    int choose(QWidget *parent, const QString &text, const QStringList &buttons) override;

    QStringList texts() const;
};
