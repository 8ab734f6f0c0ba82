#include "TextCodec.h"

#include "Gb18030.h"

#include <QList>
#include <QStringDecoder>
#include <QStringEncoder>

#include <algorithm>

namespace {

const char *const gb18030Name = "GB18030";

bool hasNonAscii(QByteArrayView bytes)
{
    return std::any_of(bytes.begin(), bytes.end(),
                       [](char c) { return static_cast<unsigned char>(c) >= 0x80; });
}

#if defined(Q_OS_WIN)
// Qt for Windows is built without ICU; the built-in codec gives ICU's characters and bytes.
QString decodeGb18030(QByteArrayView bytes, bool &hadErrors)
{
    return Gb18030::decode(bytes, hadErrors);
}

QByteArray encodeGb18030(QStringView text)
{
    bool hadErrors = false;
    return Gb18030::encode(text, hadErrors);
}
#else
QString decodeGb18030(QByteArrayView bytes, bool &hadErrors)
{
    QStringDecoder decoder(gb18030Name, QStringConverter::Flag::Stateless);
    QString text = decoder.decode(bytes);
    hadErrors = decoder.hasError();
    return text;
}

QByteArray encodeGb18030(QStringView text)
{
    QStringEncoder encoder(gb18030Name);
    return encoder.encode(text);
}
#endif

// GB18030 between the euro bytes (0x80 where a character starts); false when any part fails.
bool decodeCp936(QByteArrayView bytes, QString &text)
{
    const auto *p = reinterpret_cast<const unsigned char *>(bytes.data());
    const qsizetype n = bytes.size();
    qsizetype segment = 0;
    bool anyEuro = false;
    text.clear();
    auto flush = [&](qsizetype end) {
        bool segmentErrors = false;
        text += decodeGb18030(bytes.sliced(segment, end - segment), segmentErrors);
        return !segmentErrors;
    };
    for (qsizetype i = 0; i < n;) {
        const unsigned char c = p[i];
        if (c == 0x80) {
            if (!flush(i))
                return false;
            text += QChar(0x20AC);
            anyEuro = true;
            segment = ++i;
        } else if (c < 0x80 || c == 0xFF) {
            ++i;
        } else if (i + 1 < n && p[i + 1] >= 0x30 && p[i + 1] <= 0x39) {
            i += 4; // four-byte GB18030 form
        } else {
            i += 2;
        }
    }
    return anyEuro && flush(n);
}

// Chinese saved as UTF-8 always takes three bytes a character, so a lead byte of three or four
// appears. GBK text that passes for UTF-8 has only two-byte sequences, which would be
// accented Latin, Greek or Cyrillic letters: 钱平 is C7 AE C6 BD, "Ǯƽ" read as UTF-8.
bool hasLongUtf8Sequence(QByteArrayView validUtf8)
{
    return std::any_of(validUtf8.begin(), validUtf8.end(),
                       [](char c) { return static_cast<unsigned char>(c) >= 0xE0; });
}

} // namespace

namespace TextCodec {

DecodedText decode(QByteArrayView bytes, TextSource source)
{
    DecodedText result;
    if (bytes.startsWith("\xEF\xBB\xBF")) {
        // The mark is taken off here; a second one belongs to the text.
        QStringDecoder decoder(QStringConverter::Utf8,
                               QStringConverter::Flag::Stateless | QStringConverter::Flag::ConvertInitialBom);
        result.text = decoder.decode(bytes.sliced(3));
        result.hadErrors = decoder.hasError();
        result.encoding = TextEncoding::Utf8Bom;
        return result;
    }
    bool errors = false;
    if (source == TextSource::OwnOutput) {
        result.text = decodeGb18030(bytes, errors);
        result.hadErrors = errors;
        return result;
    }
    if (hasNonAscii(bytes) && bytes.isValidUtf8()) {
        if (!hasLongUtf8Sequence(bytes)) {
            QString gbk = decodeGb18030(bytes, errors);
            if (!errors) {
                result.text = std::move(gbk);
                return result;
            }
        }
        result.text = QString::fromUtf8(bytes);
        result.encoding = TextEncoding::Utf8;
        return result;
    }
    result.text = decodeGb18030(bytes, errors);
    result.encoding = TextEncoding::Gb18030;
    if (errors) {
        // Code page 936 differs from GB18030 only in the single byte 0x80, the euro sign.
        // Accept the file as code page 936 when every other part decodes cleanly.
        QString text;
        if (decodeCp936(bytes, text)) {
            result.text = std::move(text);
            result.encoding = TextEncoding::Cp936;
            errors = false;
        }
    }
    result.hadErrors = errors;
    return result;
}

QByteArray encode(QStringView text, TextEncoding encoding)
{
    switch (encoding) {
    case TextEncoding::Utf8:
        return text.toUtf8();
    case TextEncoding::Utf8Bom:
        return QByteArray("\xEF\xBB\xBF") + text.toUtf8();
    case TextEncoding::Cp936: {
        // The inverse of the reading: GB18030 with the euro sign as the single byte 0x80.
        // (The system's code page 936 converter turns characters it lacks into "?".)
        QByteArray bytes;
        const QList<QStringView> pieces = text.split(QChar(0x20AC));
        for (qsizetype i = 0; i < pieces.size(); ++i) {
            if (i > 0)
                bytes += '\x80';
            bytes += encodeGb18030(pieces[i]);
        }
        return bytes;
    }
    case TextEncoding::Gb18030:
        break;
    }
    return encodeGb18030(text);
}

bool available()
{
#if defined(Q_OS_WIN)
    return true;
#else
    return QStringDecoder(gb18030Name).isValid() && QStringEncoder(gb18030Name).isValid();
#endif
}

} // namespace TextCodec
