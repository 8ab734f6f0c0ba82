#pragma once

#include "RosterSheet.h"

#include <QByteArrayView>

// Reads delimited text as Excel writes it: RFC 4180 quoting (separators, quotes and line
// breaks inside quoted fields), UTF-8 with or without a byte order mark, GBK, and UTF-16 with
// a byte order mark ("Unicode 文本"); the separator is found among comma, semicolon and tab.
namespace CsvReader {

enum class Status { Ok, BadEncoding, TooLarge };

struct Result {
    Status status = Status::Ok;
    QChar separator = u',';
};

// Fills sheet with the records of bytes; row numbers count records from 1.
Result read(QByteArrayView bytes, RosterSheet &sheet);

// The separator a text uses, judged from its first records.
QChar detectSeparator(QStringView text);

} // namespace CsvReader
