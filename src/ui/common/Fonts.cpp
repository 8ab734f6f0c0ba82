#include "Fonts.h"

#include <QStringList>

using namespace Qt::StringLiterals;

namespace Fonts {

void installSubstitutions()
{
#if defined(Q_OS_WIN)
    // Windows has the faces the layout was made with; the Noto faces serve under Wine.
    QFont::insertSubstitutions(heiti(), {u"SimHei"_s, u"Noto Sans Mono CJK SC"_s, u"Noto Sans CJK SC"_s});
    QFont::insertSubstitutions(songti(), {u"SimSun"_s, u"Noto Serif CJK SC"_s, u"Noto Sans CJK SC"_s});
#else
    // The mono cut keeps Latin letters and digits half as wide as an ideograph, as in the
    // Windows face, so the winner list's space padding lines its columns up.
    QFont::insertSubstitutions(heiti(), {u"Noto Sans Mono CJK SC"_s, u"Noto Sans CJK SC"_s,
                                         u"WenQuanYi Zen Hei"_s, u"SimHei"_s});
    QFont::insertSubstitutions(songti(), {u"Noto Serif CJK SC"_s, u"SimSun"_s, u"Noto Sans CJK SC"_s});
#endif
}

QFont layoutFont(const QString &family, double points, bool bold, bool underline)
{
    QFont font(family);
    font.setPointSizeF(points);
    font.setBold(bold);
    font.setUnderline(underline);
    return font;
}

} // namespace Fonts
