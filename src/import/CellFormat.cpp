#include "CellFormat.h"

#include <QDate>
#include <QDateTime>
#include <QTime>

#include <cmath>

using namespace Qt::StringLiterals;

namespace CellFormat {

namespace {

NumberFormat fixed(int decimals, bool grouping = false, bool percent = false)
{
    NumberFormat f;
    f.kind = Kind::Fixed;
    f.decimals = decimals;
    f.grouping = grouping;
    f.percent = percent;
    return f;
}

NumberFormat ofKind(Kind kind, bool seconds = false)
{
    NumberFormat f;
    f.kind = kind;
    f.seconds = seconds;
    return f;
}

// Digits d (no leading zeros needed) and the position of the point from the left of d.
struct Decimal {
    bool negative = false;
    QString digits;
    qsizetype point = 0; // value = 0.digits * 10^point
};

bool parseDecimal(QStringView raw, Decimal &out)
{
    raw = raw.trimmed();
    qsizetype i = 0;
    if (i < raw.size() && (raw[i] == u'-' || raw[i] == u'+'))
        out.negative = raw[i++] == u'-';
    qsizetype intDigits = 0;
    bool seenPoint = false, anyDigit = false;
    for (; i < raw.size(); ++i) {
        const QChar c = raw[i];
        if (c.isDigit() && c.unicode() < 128) {
            anyDigit = true;
            out.digits += c;
            if (!seenPoint)
                ++intDigits;
        } else if (c == u'.' && !seenPoint) {
            seenPoint = true;
        } else {
            break;
        }
    }
    if (!anyDigit)
        return false;
    qint64 exponent = 0;
    if (i < raw.size() && (raw[i] == u'e' || raw[i] == u'E')) {
        bool ok = false;
        exponent = raw.mid(i + 1).toLongLong(&ok);
        if (!ok || exponent > 400 || exponent < -400)
            return false;
        i = raw.size();
    }
    if (i != raw.size())
        return false;
    out.point = intDigits + exponent;
    // Leading zeros move the point; trailing zeros after it say nothing.
    qsizetype lead = 0;
    while (lead < out.digits.size() && out.digits[lead] == u'0')
        ++lead;
    out.digits.remove(0, lead);
    out.point -= lead;
    while (!out.digits.isEmpty() && out.digits.back() == u'0')
        out.digits.chop(1);
    if (out.digits.isEmpty()) {
        out.negative = false;
        out.point = 0;
    }
    return true;
}

// Rounds to n significant digits, half away from zero, on the digit text.
void roundDigits(Decimal &d, qsizetype n)
{
    if (d.digits.size() <= n)
        return;
    const bool up = d.digits[n].unicode() >= u'5';
    d.digits.truncate(n);
    if (up) {
        qsizetype k = n - 1;
        while (k >= 0 && d.digits[k] == u'9')
            d.digits[k--] = u'0';
        if (k < 0) {
            d.digits.prepend(u'1');
            ++d.point;
        } else {
            d.digits[k] = QChar(d.digits[k].unicode() + 1);
        }
    }
    while (!d.digits.isEmpty() && d.digits.back() == u'0')
        d.digits.chop(1);
}

QString plainText(const Decimal &d)
{
    if (d.digits.isEmpty())
        return u"0"_s;
    QString out;
    if (d.negative)
        out += u'-';
    if (d.point <= 0) {
        out += u"0."_s + QString(-d.point, u'0') + d.digits;
    } else if (d.point >= d.digits.size()) {
        out += d.digits + QString(d.point - d.digits.size(), u'0');
    } else {
        out += QStringView(d.digits).first(d.point) + u'.' + QStringView(d.digits).mid(d.point);
    }
    return out;
}

QString grouped(const QString &integer)
{
    QString out;
    const qsizetype n = integer.size();
    for (qsizetype i = 0; i < n; ++i) {
        if (i > 0 && (n - i) % 3 == 0)
            out += u',';
        out += integer[i];
    }
    return out;
}

QString fixedText(QStringView raw, const NumberFormat &f)
{
    Decimal d;
    if (!parseDecimal(raw, d))
        return raw.toString();
    if (f.percent)
        d.point += 2;
    // Round at the format's decimals: digits kept = those left of the point plus decimals.
    if (d.point + f.decimals < 0) {
        d = Decimal();
    } else {
        roundDigits(d, d.point + f.decimals);
        if (d.digits.isEmpty())
            d = Decimal();
    }
    const QString plain = plainText(d);
    const bool negative = plain.startsWith(u'-');
    QStringView body = QStringView(plain).mid(negative ? 1 : 0);
    const qsizetype dot = body.indexOf(u'.');
    QString integer = (dot < 0 ? body : body.first(dot)).toString();
    QString fraction = dot < 0 ? QString() : body.mid(dot + 1).toString();
    if (integer == u"0"_s && f.minIntegerDigits == 0)
        integer.clear();
    if (integer.size() < f.minIntegerDigits)
        integer.prepend(QString(f.minIntegerDigits - integer.size(), u'0'));
    if (f.grouping)
        integer = grouped(integer);
    fraction = fraction.leftJustified(f.decimals, u'0');
    QString out = negative ? u"-"_s : QString();
    out += integer;
    if (f.decimals > 0)
        out += u'.' + fraction;
    if (f.percent)
        out += u'%';
    return out;
}

QString dateTimeText(QStringView raw, const NumberFormat &f, bool date1904)
{
    bool ok = false;
    const double v = raw.trimmed().toDouble(&ok);
    // Beyond 9999-12-31 or before the epoch Excel shows #####; the number is more use.
    if (!ok || !std::isfinite(v) || v < 0 || v >= 2958466)
        return plainNumber(raw);
    qint64 days = qint64(std::floor(v));
    qint64 secs = std::llround((v - double(days)) * 86400.0);
    if (secs >= 86400) {
        ++days;
        secs -= 86400;
    }
    QString dateText;
    if (date1904) {
        dateText = QDate(1904, 1, 1).addDays(days).toString(u"yyyy-MM-dd"_s);
    } else if (days == 60) {
        dateText = u"1900-02-29"_s; // a day Excel counts that never was
    } else {
        const QDate base = days < 60 ? QDate(1899, 12, 31) : QDate(1899, 12, 30);
        dateText = base.addDays(days).toString(u"yyyy-MM-dd"_s);
    }
    const QString timeText = QTime(0, 0).addSecs(int(secs)).toString(f.seconds ? u"HH:mm:ss"_s : u"HH:mm"_s);
    switch (f.kind) {
    case Kind::Date:
        return dateText;
    case Kind::DateTime:
        // A date typed into a date-and-time format: the day is what it says.
        return secs == 0 ? dateText : dateText + u' ' + timeText;
    default:
        return timeText;
    }
}

} // namespace

// A whole number without a sign, zeros in front or an exponent is shown as it is written.
bool isPlainInteger(QStringView raw)
{
    if (raw.isEmpty() || raw.size() > 15 || (raw[0] == u'0' && raw.size() > 1))
        return false;
    for (QChar c : raw) {
        if (c.unicode() < u'0' || c.unicode() > u'9')
            return false;
    }
    return true;
}

QString plainNumber(QStringView raw)
{
    if (isPlainInteger(raw))
        return raw.toString();
    Decimal d;
    if (!parseDecimal(raw, d))
        return {};
    // A fractional value carries binary noise beyond what Excel keeps (0.30000000000000004).
    if (d.point < d.digits.size())
        roundDigits(d, 15);
    return plainText(d);
}

NumberFormat builtIn(int id)
{
    switch (id) {
    case 1:
        return fixed(0);
    case 2:
        return fixed(2);
    case 3:
    case 37:
    case 38:
        return fixed(0, true);
    case 4:
    case 39:
    case 40:
        return fixed(2, true);
    case 9:
        return fixed(0, false, true);
    case 10:
        return fixed(2, false, true);
    case 14: case 15: case 16: case 17:
    case 27: case 28: case 29: case 30: case 31: case 36:
    case 50: case 51: case 52: case 53: case 54: case 57: case 58:
        return ofKind(Kind::Date);
    case 18: case 20: case 32: case 34: case 55:
        return ofKind(Kind::Time);
    case 19: case 21: case 33: case 35: case 45: case 46: case 47: case 56:
        return ofKind(Kind::Time, true);
    case 22:
        return ofKind(Kind::DateTime);
    case 49:
        return ofKind(Kind::Text);
    default:
        return {};
    }
}

NumberFormat fromCode(QStringView code)
{
    // The first section is the one for positive numbers and the one that says what it is.
    bool date = false, time = false, seconds = false, percent = false;
    bool grouping = false, point = false, other = false, anyDigit = false, month = false;
    if (code.compare(u"General", Qt::CaseInsensitive) == 0)
        return {};
    int decimals = 0, minInt = 0;
    for (qsizetype i = 0; i < code.size(); ++i) {
        const QChar c = code[i];
        const char16_t l = c.toLower().unicode();
        if (c == u';')
            break;
        if (c == u'"') { // quoted literal
            const qsizetype end = code.indexOf(u'"', i + 1);
            i = end < 0 ? code.size() : end;
            other = true;
            continue;
        }
        if (c == u'\\') {
            ++i;
            other = true;
            continue;
        }
        if (c == u'[') { // colour, condition or locale; [h] and [mm] are elapsed time
            const qsizetype end = code.indexOf(u']', i + 1);
            const QStringView inside = code.mid(i + 1, (end < 0 ? code.size() : end) - i - 1);
            if (!inside.isEmpty() && QStringView(u"hms").contains(inside[0].toLower()))
                time = true;
            i = end < 0 ? code.size() : end;
            continue;
        }
        if (c == u'_' || c == u'*') { // padding: the next character is only for width
            ++i;
            continue;
        }
        switch (l) {
        case u'e':
            // 0.00E+00 is scientific; a lone e is the era year of a date
            if (i + 1 < code.size() && (code[i + 1] == u'+' || code[i + 1] == u'-'))
                other = true;
            else
                date = true;
            break;
        case u'y': case u'd':
            date = true;
            break;
        case u'h':
            time = true;
            break;
        case u's':
            time = true;
            seconds = true;
            break;
        case u'm':
            month = true; // month or minute; decided by what stands beside it
            break;
        case u'0':
            anyDigit = true;
            if (point)
                ++decimals;
            else
                ++minInt;
            break;
        case u'#':
        case u'?':
            anyDigit = true;
            break;
        case u',':
            grouping = anyDigit && !point;
            break;
        case u'/':
            other = true;
            break;
        case u'.':
            point = true;
            break;
        case u'%':
            percent = true;
            break;
        case u'@':
            return ofKind(Kind::Text);
        default:
            if (!c.isSpace())
                other = true;
        }
    }
    if (date || time || (month && !anyDigit)) {
        NumberFormat f = ofKind(date && time ? Kind::DateTime : date || !time ? Kind::Date : Kind::Time, seconds);
        return f;
    }
    // Scientific, fractions and formats with words in them: the plain number is more use.
    if (!anyDigit || other)
        return {};
    NumberFormat f = fixed(decimals, grouping, percent);
    f.minIntegerDigits = minInt;
    return f;
}

QString display(QStringView raw, const NumberFormat &format, bool date1904)
{
    switch (format.kind) {
    case Kind::General:
    case Kind::Text: {
        const QString plain = plainNumber(raw);
        return plain.isEmpty() ? raw.toString() : plain;
    }
    case Kind::Fixed:
        if (isPlainInteger(raw) && format.decimals == 0 && !format.percent && raw.size() >= format.minIntegerDigits
            && (!format.grouping || raw.size() <= 3))
            return raw.toString();
        return fixedText(raw, format);
    default:
        return dateTimeText(raw, format, date1904);
    }
}

} // namespace CellFormat
