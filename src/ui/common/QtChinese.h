#pragma once

// Qt's own Simplified Chinese texts: the standard buttons of message boxes (确定, 是, 否) and the
// context menus of text boxes, whatever the system's locale. The translation is built into the
// program. False when it could not be installed; the texts then stay English.
namespace QtChinese {

bool install();

} // namespace QtChinese
