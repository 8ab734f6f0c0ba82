#include "ScriptedMessageBoxes.h"

MessageBoxes::Answer ScriptedMessageBoxes::question(QWidget *, const QString &text)
{
    shown.append({Kind::Question, text});
    return answers.isEmpty() ? Answer::No : answers.takeFirst();
}

void ScriptedMessageBoxes::error(QWidget *, const QString &text)
{
    shown.append({Kind::Error, text});
}

void ScriptedMessageBoxes::information(QWidget *, const QString &text)
{
    shown.append({Kind::Information, text});
}

QStringList ScriptedMessageBoxes::texts() const
{
    QStringList out;
    for (const Shown &s : shown)
        out.append(s.text);
    return out;
}
