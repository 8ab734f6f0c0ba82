#include "draw/RunData.h"
#include "settings/Settings.h"
#include "settings/TextCodec.h"
#include "ui/common/Fonts.h"
#include "ui/common/MessageBoxes.h"
#include "ui/main/Form1.h"

#include <QApplication>
#include <QMessageBox>

using namespace Qt::StringLiterals;

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
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
    Form1 form(settings, run, messages, QCoreApplication::applicationDirPath());
    form.Form_Load();
    form.show();
    return app.exec();
}
