#include "FuzzSupport.h"
#include "import/RosterImport.h"
#include "import/RosterReader.h"

#include <zip.h>

#include <string>

using namespace Qt::StringLiterals;

namespace {

const char *const partNames[] = {"xl/worksheets/sheet1.xml", "xl/sharedStrings.xml", "xl/styles.xml", "xl/workbook.xml"};

const char *const defaultParts[] = {
    R"(<worksheet xmlns="http://schemas.openxmlformats.org/spreadsheetml/2006/main"><sheetData>)"
    R"(<row r="1"><c r="A1" t="s"><v>0</v></c><c r="C1" t="s"><v>1</v></c></row>)"
    R"(<row r="2"><c r="A2" s="1"><v>45000</v></c><c r="B2" s="2"><v>1.5E+3</v></c></row>)"
    R"(</sheetData></worksheet>)",
    R"(<sst xmlns="http://schemas.openxmlformats.org/spreadsheetml/2006/main">)"
    R"(<si><t>工号</t></si><si><r><t>姓</t></r><r><t>名</t></r><rPh><t>x</t></rPh></si></sst>)",
    R"(<styleSheet xmlns="http://schemas.openxmlformats.org/spreadsheetml/2006/main">)"
    R"(<numFmts><numFmt numFmtId="164" formatCode="0000"/></numFmts>)"
    R"(<cellXfs><xf numFmtId="0"/><xf numFmtId="14"/><xf numFmtId="164"/></cellXfs></styleSheet>)",
    R"(<workbook xmlns="http://schemas.openxmlformats.org/spreadsheetml/2006/main" )"
    R"(xmlns:r="http://schemas.openxmlformats.org/officeDocument/2006/relationships">)"
    R"(<sheets><sheet name="S" sheetId="1" r:id="rId1"/></sheets></workbook>)",
};

const char *const rels =
    R"(<Relationships xmlns="http://schemas.openxmlformats.org/package/2006/relationships">)"
    R"(<Relationship Id="rId1" Type="http://schemas.openxmlformats.org/officeDocument/2006/relationships/worksheet" Target="worksheets/sheet1.xml"/>)"
    R"(<Relationship Id="rId2" Type="http://schemas.openxmlformats.org/officeDocument/2006/relationships/sharedStrings" Target="sharedStrings.xml"/>)"
    R"(<Relationship Id="rId3" Type="http://schemas.openxmlformats.org/officeDocument/2006/relationships/styles" Target="styles.xml"/>)"
    R"(</Relationships>)";

// A package whose one part is the fuzzer's XML, written with minizip's own zip writer.
QByteArray package(int replaced, const QByteArray &xml)
{
    const QString path = fuzzDir().filePath(u"package.xlsx"_s);
    QFile::remove(path);
    zipFile zip = zipOpen64(QFile::encodeName(path).constData(), APPEND_STATUS_CREATE);
    if (!zip)
        std::abort();
    auto add = [&](const char *name, const QByteArray &bytes) {
        if (zipOpenNewFileInZip64(zip, name, nullptr, nullptr, 0, nullptr, 0, nullptr, Z_DEFLATED, Z_DEFAULT_COMPRESSION, 0) != ZIP_OK
            || zipWriteInFileInZip(zip, bytes.constData(), unsigned(bytes.size())) != ZIP_OK
            || zipCloseFileInZip(zip) != ZIP_OK)
            std::abort();
    };
    for (int k = 0; k < 4; ++k)
        add(partNames[k], k == replaced ? xml : QByteArray(defaultParts[k]));
    add("xl/_rels/workbook.xml.rels", QByteArray(rels));
    if (zipClose(zip, nullptr) != ZIP_OK)
        std::abort();
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        std::abort();
    return file.readAll();
}

} // namespace

// The first byte chooses: a whole file of any bytes, or one part of a sound package (sheet,
// shared strings, styles, workbook) that is the rest of the input.
extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    if (size < 1)
        return 0;
    const QByteArray rest(reinterpret_cast<const char *>(data + 1), qsizetype(size - 1));
    const int mode = data[0] % 5;
    const QByteArray bytes = mode == 0 ? rest : package(mode - 1, rest);
    const RosterFile file = RosterReader::readBytes(bytes, u"roster.xlsx"_s);
    const RosterSheet &sheet = file.sheet;
    FUZZ_CHECK(file.error.isEmpty() || sheet.rowCount() == 0);
    int previous = 0;
    for (int r = 0; r < sheet.rowCount(); ++r) {
        FUZZ_CHECK(sheet.rowNumber(r) > previous && sheet.rowNumber(r) <= RosterSheet::maxRows);
        previous = sheet.rowNumber(r);
    }
    FUZZ_CHECK(sheet.columnCount() <= RosterSheet::maxColumns);
    const RosterImport::Entries e = RosterImport::extract(sheet, RosterImport::defaultMapping(sheet), u"\t"_s);
    for (int i = 1; i <= e.entries.entryCount(); ++i) {
        for (int c = 1; c <= 3; ++c)
            FUZZ_CHECK(!e.entries.column(i, c).contains(u'\t') && !e.entries.column(i, c).contains(u'\n'));
    }
    return 0;
}
