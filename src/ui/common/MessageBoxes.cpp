#include "MessageBoxes.h"

#include <QMessageBox>

using namespace Qt::StringLiterals;

namespace {

const QString boxTitle = u"ZOP摇号"_s;

} // namespace

MessageBoxes::Answer WidgetMessageBoxes::question(QWidget *parent, const QString &text)
{
    return QMessageBox::question(parent, boxTitle, text, QMessageBox::Yes | QMessageBox::No)
            == QMessageBox::Yes
        ? Answer::Yes
        : Answer::No;
}

void WidgetMessageBoxes::error(QWidget *parent, const QString &text)
{
    QMessageBox::critical(parent, boxTitle, text);
}

void WidgetMessageBoxes::information(QWidget *parent, const QString &text)
{
    QMessageBox::information(parent, boxTitle, text);
}
