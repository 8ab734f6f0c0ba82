#include "CsvReader.h"

#include "settings/TextCodec.h"

#include <QStringDecoder>

#include <array>

namespace CsvReader {

namespace {

constexpr std::array<char16_t, 3> candidates = {u'\t', u',', u';'};

// Walks the records of text: onField(column, text) for each field and onRecord() after each
// record. Quoted fields keep separators, doubled quotes and line breaks; a quote elsewhere is
// an ordinary character. Stops when a callback returns false.
template<typename Field, typename Record>
void walk(QStringView text, QChar sep, Field onField, Record onRecord)
{
    const qsizetype n = text.size();
    qsizetype i = 0;
    QString quoted;
    while (i < n) {
        int column = 0;
        while (true) {
            bool ok;
            if (i < n && text[i] == u'"') {
                quoted.clear();
                ++i;
                while (i < n) {
                    const qsizetype q = text.indexOf(u'"', i);
                    if (q < 0) {
                        quoted += text.mid(i);
                        i = n;
                        break;
                    }
                    quoted += text.mid(i, q - i);
                    i = q + 1;
                    if (i < n && text[i] == u'"') {
                        quoted += u'"';
                        ++i;
                    } else {
                        break;
                    }
                }
                // Whatever follows the closing quote up to the separator belongs to the field.
                qsizetype end = i;
                while (end < n && text[end] != sep && text[end] != u'\n' && text[end] != u'\r')
                    ++end;
                if (end > i)
                    quoted += text.mid(i, end - i);
                i = end;
                ok = onField(column, QStringView(quoted));
            } else {
                qsizetype end = i;
                while (end < n && text[end] != sep && text[end] != u'\n' && text[end] != u'\r')
                    ++end;
                ok = onField(column, text.mid(i, end - i));
                i = end;
            }
            if (!ok)
                return;
            ++column;
            if (i < n && text[i] == sep) {
                ++i;
                continue;
            }
            break;
        }
        // The record ends at CR LF, LF or CR, or at the end of the text.
        if (i < n && text[i] == u'\r')
            ++i;
        if (i < n && text[i] == u'\n')
            ++i;
        if (!onRecord())
            return;
    }
}

QString decode(QByteArrayView bytes, bool &errors)
{
    if (bytes.startsWith("\xFF\xFE") || bytes.startsWith("\xFE\xFF")) {
        QStringDecoder decoder(bytes.startsWith("\xFF\xFE") ? QStringConverter::Utf16LE : QStringConverter::Utf16BE);
        QString text = decoder(bytes.sliced(2));
        errors = decoder.hasError();
        return text;
    }
    DecodedText decoded = TextCodec::decode(bytes);
    errors = decoded.hadErrors;
    QString text = std::move(decoded.text);
    if (text.startsWith(QChar(0xFEFF)))
        text.remove(0, 1);
    return text;
}

} // namespace

QChar detectSeparator(QStringView text)
{
    // The candidate that splits the first records most evenly into more than one field.
    constexpr int sample = 50;
    QChar best = u',';
    int bestScore = -1;
    for (const char16_t sep : candidates) {
        std::vector<int> widths;
        int column = 0;
        walk(
            text, sep, [&](int c, QStringView) { column = c + 1; return true; },
            [&] {
                widths.push_back(column);
                return int(widths.size()) < sample;
            });
        int agreeing = 0, wide = 0;
        for (int w : widths) {
            if (w > 1)
                ++wide;
            if (w > 1 && w == widths.front())
                ++agreeing;
        }
        if (wide == 0)
            continue;
        const int score = agreeing * 4 + wide;
        if (score > bestScore) {
            bestScore = score;
            best = sep;
        }
    }
    return best;
}

Result read(QByteArrayView bytes, RosterSheet &sheet)
{
    sheet.clear();
    Result result;
    bool errors = false;
    const QString text = decode(bytes, errors);
    if (errors) {
        result.status = Status::BadEncoding;
        return result;
    }
    result.separator = detectSeparator(text);
    int record = 1;
    bool started = false;
    walk(
        text, result.separator,
        [&](int column, QStringView field) {
            if (!started) {
                if (record > RosterSheet::maxRows) {
                    result.status = Status::TooLarge;
                    return false;
                }
                sheet.beginRow(record);
                started = true;
            }
            if (column >= RosterSheet::maxColumns)
                return true;
            if (!sheet.addCell(column, field)) {
                result.status = Status::TooLarge;
                return false;
            }
            return true;
        },
        [&] {
            started = false;
            ++record;
            return true;
        });
    if (result.status != Status::Ok)
        sheet.clear();
    return result;
}

} // namespace CsvReader
