#pragma once

#include <QPixmap>
#include <QSize>

// The program's own pictures, painted here rather than shipped as files.
namespace Pictures {

// A red draw ball with a gold star.
QPixmap windowIcon(int size = 64);

// The pictures below are drawn at any size (stretched as a picture stretched to its control
// would be), so that a scaled window shows them sharp.

// The backdrop of the display area: a dark night-blue glow with gold sparks, designed at
// 506 x 389, dark enough for the green rolling text to stand out.
QPixmap displayBackdrop(QSize size = QSize(506, 389));

enum class Pointing { Left, Right };
// The expand and collapse handles, designed at 32 x 32.
QPixmap triangle(Pointing direction, QSize size = QSize(32, 32));

} // namespace Pictures
