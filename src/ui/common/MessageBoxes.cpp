#include "MessageBoxes.h"

#include <QDir>
#include <QMessageBox>
#include <QPushButton>

using namespace Qt::StringLiterals;

namespace {

const QString boxTitle = u"ZOP摇号"_s;

} // namespace

QString quotedFileNames(const QStringList &paths)
{
    QStringList names;
    for (const QString &path : paths)
        names.append(u'“' + QDir::toNativeSeparators(path) + u'”');
    return names.join(u'、');
}

MessageBoxes::Answer WidgetMessageBoxes::question(QWidget *parent, const QString &text, Answer defaultAnswer)
{
    return QMessageBox::question(parent, boxTitle, text, QMessageBox::Yes | QMessageBox::No,
                                 defaultAnswer == Answer::Yes ? QMessageBox::Yes : QMessageBox::No)
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

int WidgetMessageBoxes::choose(QWidget *parent, const QString &text, const QStringList &buttons)
{
    QMessageBox box(QMessageBox::Warning, boxTitle, text, QMessageBox::NoButton, parent);
    QList<QAbstractButton *> made;
    for (const QString &caption : buttons)
        made.append(box.addButton(caption, QMessageBox::ActionRole));
    if (!made.isEmpty()) {
        box.setDefaultButton(static_cast<QPushButton *>(made.first()));
        box.setEscapeButton(made.last());
    }
    box.exec();
    return int(made.indexOf(box.clickedButton()));
}
