#pragma once

#include <QPixmap>

// The program's own pictures, painted here rather than shipped as files.
namespace Pictures {

// A red draw ball with a gold star.
QPixmap windowIcon(int size = 64);

// The backdrop of the display area: a dark night-blue glow with gold sparks, 506 x 389,
// dark enough for the green rolling text to stand out.
QPixmap displayBackdrop();

enum class Pointing { Left, Right };
// The expand and collapse handles, 32 x 32.
QPixmap triangle(Pointing direction);

} // namespace Pictures
