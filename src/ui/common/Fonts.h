#pragma once

#include <QFont>
#include <QString>

namespace Fonts {

// Lets the Windows face names of the layout (黑体, 宋体) resolve to installed CJK faces.
void installSubstitutions();

// A font of the layout: face, size in points, bold, underlined.
QFont layoutFont(const QString &family, double points, bool bold = false, bool underline = false);

inline QString heiti() { return QStringLiteral("黑体"); }
inline QString songti() { return QStringLiteral("宋体"); }

} // namespace Fonts
