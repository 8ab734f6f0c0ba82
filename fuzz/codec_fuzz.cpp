#include "FuzzSupport.h"
#include "settings/TextCodec.h"

// Encoding detection on arbitrary bytes: text that decoded cleanly is written back without losing
// a character (the bytes may differ: GB18030 A2E3 and code page 936 0x80 are both the euro sign).
extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const QByteArray bytes(reinterpret_cast<const char *>(data), qsizetype(size));
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
