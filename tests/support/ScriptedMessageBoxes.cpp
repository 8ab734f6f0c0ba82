#include "ScriptedMessageBoxes.h"

MessageBoxes::Answer ScriptedMessageBoxes::question(QWidget *parent, const QString &text, Answer defaultAnswer)
{
    shown.append({Kind::Question, text, parent, defaultAnswer});
    return answers.isEmpty() ? Answer::No : answers.takeFirst();
}

void ScriptedMessageBoxes::error(QWidget *parent, const QString &text)
{
    shown.append({Kind::Error, text, parent});
}

void ScriptedMessageBoxes::information(QWidget *parent, const QString &text)
{
    shown.append({Kind::Information, text, parent});
}

int ScriptedMessageBoxes::choose(QWidget *parent, const QString &text, const QStringList &buttons)
{
    shown.append({Kind::Choice, text, parent, Answer::Yes, buttons});
    return choices.isEmpty() ? int(buttons.size()) - 1 : choices.takeFirst();
}

QStringList ScriptedMessageBoxes::texts() const
{
    QStringList out;
    for (const Shown &s : shown)
        out.append(s.text);
    return out;
}
