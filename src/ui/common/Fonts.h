#pragma once

#include <QFont>
#include <QString>

namespace Fonts {

// Lets the Windows face names of the layout (黑体, 宋体) resolve to installed CJK faces.
void installSubstitutions();

// Lets the painter keep glyphs up to the size of the stage's rolling rows as pictures, so that a
// rolling step on a 4K screen draws each name from memory rather than from its outlines. Set
// before the first text is drawn; a value in the environment stays.
void cacheLargeGlyphs();
// The glyph size up to which that holds, in pixels.
constexpr int largestCachedGlyph = 288;

// A font of the layout: face, size in points, bold, underlined.
QFont layoutFont(const QString &family, double points, bool bold = false, bool underline = false);

inline QString heiti() { return QStringLiteral("黑体"); }
inline QString songti() { return QStringLiteral("宋体"); }

} // namespace Fonts
