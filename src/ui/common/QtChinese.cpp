#include "QtChinese.h"

#include <QCoreApplication>
#include <QTranslator>

using namespace Qt::StringLiterals;

namespace QtChinese {

bool install()
{
    auto *translator = new QTranslator(QCoreApplication::instance());
    if (translator->load(u":/translations/qtbase_zh_CN.qm"_s) && QCoreApplication::installTranslator(translator))
        return true;
    delete translator;
    return false;
}

} // namespace QtChinese
