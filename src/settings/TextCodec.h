#pragma once

#include <QByteArray>
#include <QString>

// How a text file on disk is encoded. A rewrite keeps what was found.
enum class TextEncoding { Gb18030, Cp936, Utf8, Utf8Bom };

struct DecodedText {
    QString text;
    TextEncoding encoding = TextEncoding::Gb18030;
    bool hadErrors = false; // some bytes did not decode; never write such text back silently
};

namespace TextCodec {

// UTF-8 when marked or valid UTF-8 with non-ASCII text, else GB18030, else code page 936.
// Bytes valid both ways whose UTF-8 reading holds letters of unrelated scripts are GB18030.
DecodedText decode(QByteArrayView bytes);
QByteArray encode(QStringView text, TextEncoding encoding);

// False when this Qt lacks the GB18030 converters (code page 936 is read and written through them).
bool available();

} // namespace TextCodec
