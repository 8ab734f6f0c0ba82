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

// Who wrote a file: any tool (the lists people keep), or this program (its result files).
enum class TextSource { AnyTool, OwnOutput };

namespace TextCodec {

// The one rule every reader of a text file goes through, so that the same text gives the same
// entry in every file. A UTF-8 byte order mark decides where there is one. Otherwise a file of
// any tool is UTF-8 when its bytes are valid UTF-8 holding a three- or four-byte sequence, or
// when only two-byte sequences occur and the bytes are not valid GB18030; else GB18030, then
// code page 936. The program's own output is GB18030 and nothing else.
DecodedText decode(QByteArrayView bytes, TextSource source = TextSource::AnyTool);
QByteArray encode(QStringView text, TextEncoding encoding);

// False when this Qt lacks the GB18030 converters (code page 936 is read and written through them).
bool available();

} // namespace TextCodec
