#pragma once

#include <QString>

// How a spreadsheet shows a number cell: the stored text as written in the file (a plain
// integer stays exact however long) shaped by the cell's number format.
namespace CellFormat {

enum class Kind { General, Fixed, Date, Time, DateTime, Text };

struct NumberFormat {
    Kind kind = Kind::General;
    int decimals = 0;       // Fixed: digits after the point
    int minIntegerDigits = 1; // Fixed: "00000" keeps an employee number's zeros
    bool grouping = false;  // Fixed: "#,##0"
    bool percent = false;   // Fixed: "0%"
    bool seconds = false;   // Time, DateTime
};

// The format of a built-in number format id, or of a custom format code.
NumberFormat builtIn(int id);
NumberFormat fromCode(QStringView code);

// The decimal text of a number as written in the file ("1001", "1001.0", "1.001E+3", "-0.5"),
// without an exponent; fifteen significant digits at most where it has a fractional part,
// as Excel keeps them. Empty when raw is not a number.
QString plainNumber(QStringView raw);

// raw shown in format; date1904 for workbooks that count days from 1904.
QString display(QStringView raw, const NumberFormat &format, bool date1904);

} // namespace CellFormat
