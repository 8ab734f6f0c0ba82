#include "Gb18030.h"

#include "Gb18030Table.h"

#include <array>
#include <memory>

namespace {

constexpr int trailsPerLead = 190;
constexpr int bmpFourByteCount = 39420; // 0x81308130 .. 0x8431A439
constexpr int supplementaryStart = (0x90 - 0x81) * 12600; // linear index of 0x90308130

// The four-byte codes below U+10000 enumerate, in order, the characters that no one- or
// two-byte code has, as GB18030-2000 assigned them; the 2005 edition then swapped U+1E3F
// (now 0xA8BC) and U+E7C7 (now 0x8135F437).
struct Maps {
    std::array<char16_t, bmpFourByteCount> fourByte{};
    // Per BMP character: its two-byte code (0x8140..0xFEFE), or 0x10000 + its four-byte index.
    std::array<quint32, 0x10000> codeOf{};
};

const Maps &maps()
{
    static const std::unique_ptr<Maps> built = [] {
        auto m = std::make_unique<Maps>();
        for (int i = 0; i < 126 * trailsPerLead; ++i) {
            const int trail = 0x40 + i % trailsPerLead;
            m->codeOf[Gb18030Table::twoByte[i]] = quint32(0x81 + i / trailsPerLead) << 8 | (trail < 0x7F ? trail : trail + 1);
        }
        int index = 0;
        for (char32_t c = 0x80; c <= 0xFFFF; ++c) {
            const bool twoByteIn2000 = c == 0x1E3F ? false : c == 0xE7C7 || m->codeOf[c];
            if ((c >= 0xD800 && c <= 0xDFFF) || twoByteIn2000)
                continue;
            const char16_t now = c == 0x1E3F ? 0xE7C7 : char16_t(c);
            m->fourByte[index] = now;
            m->codeOf[now] = 0x10000 + index;
            ++index;
        }
        return m;
    }();
    return *built;
}

void appendFourByte(QByteArray &out, int linear, int firstLead)
{
    const char b4 = char(0x30 + linear % 10);
    linear /= 10;
    const char b3 = char(0x81 + linear % 126);
    linear /= 126;
    const char b2 = char(0x30 + linear % 10);
    const char b1 = char(firstLead + linear / 10);
    out += b1;
    out += b2;
    out += b3;
    out += b4;
}

} // namespace

namespace Gb18030 {

QString decode(QByteArrayView bytes, bool &hadErrors)
{
    const Maps &m = maps();
    const auto *p = reinterpret_cast<const unsigned char *>(bytes.data());
    const qsizetype n = bytes.size();
    QString text;
    text.reserve(n);
    hadErrors = false;
    auto isDigit = [](unsigned char b) { return b >= 0x30 && b <= 0x39; };
    auto isLead = [](unsigned char b) { return b >= 0x81 && b <= 0xFE; };
    for (qsizetype i = 0; i < n;) {
        const unsigned char c = p[i];
        if (c < 0x80) {
            text += QChar(char16_t(c));
            ++i;
            continue;
        }
        // A lead byte whose sequence the bytes end in the middle of is dropped, as ICU does.
        if (isLead(c) && (i + 1 == n || (isDigit(p[i + 1]) && (i + 2 == n || (isLead(p[i + 2]) && i + 3 == n))))) {
            hadErrors = true;
            break;
        }
        const unsigned char c2 = isLead(c) ? p[i + 1] : 0;
        if ((c2 >= 0x40 && c2 <= 0x7E) || (c2 >= 0x80 && c2 <= 0xFE)) {
            text += QChar(Gb18030Table::twoByte[(c - 0x81) * trailsPerLead + c2 - 0x40 - (c2 > 0x7F)]);
            i += 2;
        } else if (isDigit(c2) && isLead(p[i + 2]) && isDigit(p[i + 3])) {
            const int linear = (((c - 0x81) * 10 + (c2 - 0x30)) * 126 + (p[i + 2] - 0x81)) * 10 + (p[i + 3] - 0x30);
            if (linear < bmpFourByteCount) {
                text += QChar(m.fourByte[linear]);
            } else if (linear >= supplementaryStart && linear - supplementaryStart < 0x100000) {
                const char32_t ucs4[1] = {char32_t(0x10000 + linear - supplementaryStart)};
                text += QString::fromUcs4(ucs4, 1);
            } else {
                text += QChar::ReplacementCharacter;
                hadErrors = true;
            }
            i += 4;
        } else if (c2 == 0xFF) {
            // ICU takes a lead and 0xFF as one bad pair.
            text += QChar::ReplacementCharacter;
            hadErrors = true;
            i += 2;
        } else {
            // The lead alone is bad; what follows it is read again.
            text += QChar::ReplacementCharacter;
            hadErrors = true;
            ++i;
        }
    }
    return text;
}

QByteArray encode(QStringView text, bool &hadErrors)
{
    const Maps &m = maps();
    QByteArray out;
    out.reserve(text.size() * 2);
    hadErrors = false;
    for (qsizetype i = 0; i < text.size(); ++i) {
        const char16_t c = text[i].unicode();
        if (c < 0x80) {
            out += char(c);
        } else if (QChar::isHighSurrogate(c) && i + 1 < text.size() && text[i + 1].isLowSurrogate()) {
            appendFourByte(out, int(QChar::surrogateToUcs4(c, text[i + 1].unicode()) - 0x10000), 0x90);
            ++i;
        } else if (QChar::isSurrogate(c)) {
            out += '\x1A';
            hadErrors = true;
        } else if (const quint32 code = m.codeOf[c]; code < 0x10000) {
            out += char(code >> 8);
            out += char(code & 0xFF);
        } else {
            appendFourByte(out, int(code - 0x10000), 0x81);
        }
    }
    return out;
}

} // namespace Gb18030
