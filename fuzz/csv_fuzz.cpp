#include "FuzzSupport.h"
#include "import/RosterImport.h"
#include "import/RosterReader.h"

using namespace Qt::StringLiterals;

// Delimited text of any bytes: read, mapped with the defaults and cleaned for a separator
// taken from the input; what reaches the data file never holds a line break, a tab or the
// separator, and every row keeps its place.
extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    if (size < 1)
        return 0;
    static const QString separators[] = {u"\t"_s, u","_s, u" "_s, u"||"_s};
    const QString &separator = separators[data[0] % 4];
    const QByteArray bytes(reinterpret_cast<const char *>(data + 1), qsizetype(size - 1));
    const RosterFile file = RosterReader::readBytes(bytes, u"roster.csv"_s);
    const RosterSheet &sheet = file.sheet;
    FUZZ_CHECK(file.error.isEmpty() || sheet.rowCount() == 0);
    for (int r = 0; r < sheet.rowCount(); ++r) {
        FUZZ_CHECK(sheet.rowNumber(r) == r + 1);
        for (int c = 0; c < sheet.columnCount(); ++c)
            FUZZ_CHECK(sheet.cell(r, c).isEmpty() || sheet.columnHasText(c));
    }
    const RosterImport::Mapping mapping = RosterImport::defaultMapping(sheet);
    const RosterImport::Entries e = RosterImport::extract(sheet, mapping, separator);
    FUZZ_CHECK(e.rowNumbers.size() == e.entries.entryCount());
    for (int i = 1; i <= e.entries.entryCount(); ++i) {
        for (int c = 1; c <= 3; ++c) {
            const QStringView text = e.entries.column(i, c);
            FUZZ_CHECK(!text.contains(u'\t') && !text.contains(u'\n') && !text.contains(u'\r'));
            FUZZ_CHECK(!text.contains(separator));
        }
    }
    return 0;
}
