#include "FuzzSupport.h"
#include "settings/Gb18030.h"
#include "settings/TextCodec.h"

#include <QStringDecoder>

// Encoding detection on arbitrary bytes: text that decoded cleanly is written back without losing
// a character (the bytes may differ: GB18030 A2E3 and code page 936 0x80 are both the euro sign).
extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const QByteArray bytes(reinterpret_cast<const char *>(data), qsizetype(size));

    // The Windows build's own GB18030 reads any bytes as ICU does, bad ones included.
    bool ownErrors = false;
    const QString own = Gb18030::decode(bytes, ownErrors);
    QStringDecoder icu("GB18030", QStringConverter::Flag::Stateless);
    FUZZ_CHECK(own == icu.decode(bytes));
    FUZZ_CHECK(ownErrors == icu.hasError());

    const DecodedText decoded = TextCodec::decode(bytes);
    if (decoded.hadErrors)
        return 0;
    const QByteArray written = TextCodec::encode(decoded.text, decoded.encoding);
    const DecodedText again = TextCodec::decode(written);
    FUZZ_CHECK(!again.hadErrors);
    FUZZ_CHECK(again.text == decoded.text);
    if (decoded.encoding != TextEncoding::Cp936)
        FUZZ_CHECK(written == bytes);
    return 0;
}
