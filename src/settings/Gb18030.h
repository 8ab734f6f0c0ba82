#pragma once

#include <QByteArray>
#include <QString>

// GB18030 for a Qt without ICU (the Windows build), giving the same characters, bytes and
// errors as ICU's converter. Windows' own code page 54936 is not used: Wine lacks it, so the
// Windows build could not be tested against the Linux one.
namespace Gb18030 {

// Bad bytes become U+FFFD and set hadErrors; a sequence cut off at the end is dropped.
QString decode(QByteArrayView bytes, bool &hadErrors);
// A lone surrogate becomes 0x1A and sets hadErrors.
QByteArray encode(QStringView text, bool &hadErrors);

} // namespace Gb18030
