#include "FuzzSupport.h"
#include "settings/ValueText.h"

#include <cstring>

using namespace Qt::StringLiterals;

// valInRange never leaves its range except for the default; the escapes round-trip.
extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    if (size < 12)
        return 0;
    int min, max, fallback;
    std::memcpy(&min, data, 4);
    std::memcpy(&max, data + 4, 4);
    std::memcpy(&fallback, data + 8, 4);
    const QString text = QString::fromUtf8(reinterpret_cast<const char *>(data + 12), qsizetype(size - 12));

    const int v = ValueText::valInRange(text, min, max, fallback);
    FUZZ_CHECK(v == fallback || (v >= min && v <= max));
    const int small = ValueText::valInRange(text, 1, 99999, 5);
    FUZZ_CHECK(small >= 1 && small <= 99999);
    ValueText::toInteger(text);

    // Text without escape spellings of its own decodes back to itself.
    if (!text.contains(u"\\n"_s) && !text.contains(u"{tab}"_s) && !text.contains(u"{space}"_s)
        && !text.contains(u'{') && !text.contains(u'\\')) {
        FUZZ_CHECK(ValueText::convertEscapes(ValueText::convertEscapes(text, 1), 0) == text);
        FUZZ_CHECK(ValueText::convertLineBreaks(ValueText::convertLineBreaks(text, 1), 0) == text);
    }
    return 0;
}
