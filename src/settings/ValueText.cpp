#include "ValueText.h"

#include <charconv>
#include <cmath>
#include <limits>

using namespace Qt::StringLiterals;

namespace {

struct ParsedNumber {
    double value = 0;
    qsizetype consumed = 0; // characters of the input used, skipped blanks included
    bool any = false;       // at least one digit was read
};

bool isSkipped(QChar c)
{
    return c == u' ' || c == u'\t' || c == u'\n';
}

// Reads the number at the start of text. With skipAnywhere, blanks, tabs and line feeds inside
// the number are ignored as well as before it.
ParsedNumber readNumber(QStringView text, bool skipAnywhere)
{
    ParsedNumber r;
    qsizetype i = 0;
    const qsizetype n = text.size();
    auto skip = [&] {
        while (i < n && isSkipped(text[i]))
            ++i;
    };
    auto skipInside = [&] {
        if (skipAnywhere)
            skip();
    };
    auto digit = [&](int base) -> int {
        if (i >= n)
            return -1;
        const char16_t c = text[i].unicode();
        int d = -1;
        if (c >= u'0' && c <= u'9')
            d = c - u'0';
        else if (c >= u'a' && c <= u'f')
            d = c - u'a' + 10;
        else if (c >= u'A' && c <= u'F')
            d = c - u'A' + 10;
        return d < base ? d : -1;
    };

    skip();
    if (i + 1 < n && text[i] == u'&') {
        const QChar k = text[i + 1].toUpper();
        const int base = k == u'H' ? 16 : k == u'O' ? 8 : 0;
        if (base) {
            i += 2;
            skipInside();
            double v = 0;
            for (int d; (d = digit(base)) >= 0;) {
                v = v * base + d;
                r.any = true;
                ++i;
                skipInside();
            }
            r.value = v;
            r.consumed = i;
            return r;
        }
    }

    bool negative = false;
    if (i < n && (text[i] == u'+' || text[i] == u'-')) {
        negative = text[i] == u'-';
        ++i;
        skipInside();
    }
    QString digits; // plain ASCII form for strtod
    for (int d; (d = digit(10)) >= 0;) {
        digits += QChar(u'0' + d);
        r.any = true;
        ++i;
        skipInside();
    }
    if (i < n && text[i] == u'.') {
        ++i;
        skipInside();
        digits += u'.';
        for (int d; (d = digit(10)) >= 0;) {
            digits += QChar(u'0' + d);
            r.any = true;
            ++i;
            skipInside();
        }
    }
    if (!r.any)
        return r;
    r.consumed = i;
    if (i < n && (text[i] == u'e' || text[i] == u'E' || text[i] == u'd' || text[i] == u'D')) {
        qsizetype j = i + 1;
        auto skipJ = [&] {
            while (skipAnywhere && j < n && isSkipped(text[j]))
                ++j;
        };
        skipJ();
        QString exponent = u"e"_s;
        if (j < n && (text[j] == u'+' || text[j] == u'-')) {
            exponent += text[j];
            ++j;
            skipJ();
        }
        bool expDigits = false;
        while (j < n && text[j] >= u'0' && text[j] <= u'9') {
            exponent += text[j];
            expDigits = true;
            ++j;
            skipJ();
        }
        if (expDigits) {
            digits += exponent;
            r.consumed = j;
        }
    }
    // from_chars ignores the process locale, which may use a decimal comma.
    const QByteArray ascii = digits.toLatin1();
    const auto [end, ec] = std::from_chars(ascii.constData(), ascii.constData() + ascii.size(), r.value);
    if (ec == std::errc::result_out_of_range) // too large for a double, or too small to matter
        r.value = ascii.contains("e-") ? 0.0 : HUGE_VAL;
    if (negative)
        r.value = -r.value;
    return r;
}

// Half to even, as the default floating point rounding mode does; nothing beyond 32 bits.
std::optional<int> roundToInt(double v)
{
    const double rounded = std::nearbyint(v);
    if (!(rounded >= std::numeric_limits<int>::min() && rounded <= std::numeric_limits<int>::max()))
        return std::nullopt;
    return static_cast<int>(rounded);
}

QString replaceAll(QString text, const QString &from, const QString &to)
{
    return text.replace(from, to, Qt::CaseSensitive);
}

} // namespace

namespace ValueText {

int valInRange(const QString &text, int min, int max, int defaultValue)
{
    const ParsedNumber parsed = readNumber(text, true);
    const std::optional<int> value = roundToInt(parsed.any ? parsed.value : 0.0);
    if (value && *value >= min && *value <= max)
        return *value;
    return defaultValue;
}

std::optional<int> toInteger(const QString &text)
{
    const QStringView trimmed = QStringView(text).trimmed();
    const ParsedNumber parsed = readNumber(trimmed, false);
    if (!parsed.any || parsed.consumed != trimmed.size())
        return std::nullopt;
    return roundToInt(parsed.value);
}

QString strOrDefault(const QString &text, int minLength, const QString &defaultText)
{
    return text.size() < minLength ? defaultText : text;
}

QString convertEscapes(const QString &text, int direction)
{
    if (direction == 0)
        return replaceAll(replaceAll(replaceAll(text, u"\\n"_s, u"\r\n"_s), u"{tab}"_s, u"\t"_s),
                          u"{space}"_s, u" "_s);
    if (direction == 1)
        return replaceAll(replaceAll(replaceAll(text, u"\r\n"_s, u"\\n"_s), u"\t"_s, u"{tab}"_s),
                          u" "_s, u"{space}"_s);
    return text;
}

QString convertLineBreaks(const QString &text, int direction)
{
    if (direction == 0)
        return replaceAll(text, u"\\n"_s, u"\r\n"_s);
    if (direction == 1)
        return replaceAll(text, u"\r\n"_s, u"\\n"_s);
    return text;
}

QStringView trimBlanks(QStringView s)
{
    qsizetype b = 0, e = s.size();
    while (b < e && s[b] == u' ')
        ++b;
    while (e > b && s[e - 1] == u' ')
        --e;
    return s.mid(b, e - b);
}

} // namespace ValueText
