#pragma once

#include <QFont>
#include <QString>

namespace Fonts {

// Lets the Windows face names of the layout (黑体, 宋体) resolve to installed CJK faces.
void installSubstitutions();

// A font of the layout: face, size in points, bold, underlined.
QFont layoutFont(const QString &family, double points, bool bold = false, bool underline = false);

QString heiti(); // 黑体
QString songti(); // 宋体

} // namespace Fonts
