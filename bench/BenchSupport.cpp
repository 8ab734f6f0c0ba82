#include "BenchSupport.h"

#include "ui/common/Fonts.h"

#include <QApplication>
#include <QEvent>

using namespace Qt::StringLiterals;

QApplication *benchApplication()
{
    if (!QCoreApplication::instance()) {
        if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
            qputenv("QT_QPA_PLATFORM", "offscreen");
        static int argc = 1;
        static char name[] = "zop_bench";
        static char *argv[] = {name, nullptr};
        new QApplication(argc, argv); // lives as long as the program
    }
    auto *app = qobject_cast<QApplication *>(QCoreApplication::instance());
    static bool prepared = false;
    if (app && !prepared) {
        Fonts::installSubstitutions();
        QApplication::setStyle(u"Fusion"_s);
        prepared = true;
    }
    return app;
}

bool PaintCounter::eventFilter(QObject *, QEvent *event)
{
    if (event->type() == QEvent::Paint)
        ++paints;
    return false;
}
