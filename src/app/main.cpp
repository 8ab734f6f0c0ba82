#include "draw/RunData.h"
#include "settings/AppLocation.h"
#include "settings/Settings.h"
#include "settings/TextCodec.h"
#include "ui/common/Fonts.h"
#include "ui/common/MessageBoxes.h"
#include "ui/common/QtChinese.h"
#include "ui/main/Form1.h"

#include <QApplication>
#include <QMessageBox>
#include <QStandardPaths>

using namespace Qt::StringLiterals;

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    QCoreApplication::setApplicationName(u"zop-draw"_s);
    QtChinese::install();
    if (!TextCodec::available()) {
        QMessageBox::critical(nullptr, u"ZOP摇号"_s, u"缺少GB18030字符集支持，程序无法运行。"_s);
        return 1;
    }
    Fonts::installSubstitutions();
    // The layout's button and panel colours show in this style on every platform.
    QApplication::setStyle(u"Fusion"_s);

    Settings settings;
    RunData run;
    WidgetMessageBoxes messages;
    // An installed program's folder is read-only: its files then live in a per-user folder.
    const Module1::AppLocation location = Module1::chooseAppDir(
        QCoreApplication::applicationDirPath(),
        QStandardPaths::writableLocation(QStandardPaths::AppDataLocation));
    Form1 form(settings, run, messages, location.dir);
    form.Form_Load();
    form.show();
    if (!location.writable)
        messages.error(&form, u"程序目录无法写入，设置和摇号结果将无法保存。"_s);
    return app.exec();
}
