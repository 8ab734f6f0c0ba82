#include "Form1.h"

#include "draw/RunData.h"
#include "settings/Settings.h"
#include "ui/common/Fonts.h"
#include "ui/common/MessageBoxes.h"
#include "ui/common/Twips.h"

#include <QLabel>

using namespace Qt::StringLiterals;

Form1::Form1(Settings &settings, RunData &run, MessageBoxes &messages, const QString &programDir,
             QWidget *parent)
    : QWidget(parent), settings(settings), run(run), messages(messages), programDir(programDir)
{
    setWindowTitle(u"ZOP摇号 V:1.22"_s);
    setFixedSize(Twips::toPixels(14220), Twips::toPixels(9435));
    title = new QLabel(this);
    title->setGeometry(Twips::rect(120, 120, 14310, 975));
    title->setAlignment(Qt::AlignHCenter | Qt::AlignTop);
    title->setStyleSheet(u"color: #FF0000"_s);
}

void Form1::Form_Load()
{
    if (Module1::loadSettings(settings, run, programDir) == Module1::SettingsSource::MissingFile)
        messages.error(this, u"找不到设置文件，已使用默认设置。"_s);
    title->setFont(Fonts::layoutFont(Fonts::songti(), settings.titleFontSize, true));
    title->setText(settings.titleText);
}
