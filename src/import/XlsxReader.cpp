#include "XlsxReader.h"

#include "CellFormat.h"
#include "ZipArchive.h"

#include <QHash>
#include <QXmlStreamReader>

#include <vector>

using namespace Qt::StringLiterals;

namespace XlsxReader {

namespace {

using Result = ZipArchive::Result;

QStringView attribute(const QXmlStreamReader &xml, QStringView name)
{
    // Attributes are looked up by local name: writers differ in the prefixes they use.
    for (const QXmlStreamAttribute &a : xml.attributes()) {
        if (a.name() == name)
            return a.value();
    }
    return {};
}

// "_x000D_" stands for a character XML cannot carry as it is.
QString unescapeOoxml(QString text)
{
    if (!text.contains(u"_x"))
        return text;
    QString out;
    out.reserve(text.size());
    for (qsizetype i = 0; i < text.size(); ++i) {
        if (text[i] == u'_' && i + 6 < text.size() && text[i + 1] == u'x' && text[i + 6] == u'_') {
            bool ok = false;
            const ushort code = QStringView(text).mid(i + 2, 4).toUShort(&ok, 16);
            if (ok) {
                out += QChar(code);
                i += 6;
                continue;
            }
        }
        out += text[i];
    }
    return out;
}

// "xl/" + "worksheets/sheet1.xml", "/xl/worksheets/sheet1.xml", "../x.xml" and the like.
QString resolvePart(const QString &baseDir, QStringView target)
{
    QString path = target.startsWith(u'/') ? target.mid(1).toString() : baseDir + target;
    QStringList out;
    for (const QString &segment : path.split(u'/')) {
        if (segment == u".."_s) {
            if (!out.isEmpty())
                out.removeLast();
        } else if (!segment.isEmpty() && segment != u"."_s) {
            out.append(segment);
        }
    }
    return out.join(u'/');
}

QString folderOf(const QString &part)
{
    const qsizetype slash = part.lastIndexOf(u'/');
    return slash < 0 ? QString() : part.first(slash + 1);
}

QString relsOf(const QString &part)
{
    return folderOf(part) + u"_rels/"_s + part.mid(part.lastIndexOf(u'/') + 1) + u".rels"_s;
}

struct Relationship {
    QString target;
    QString type;
};

Result readRelationships(ZipArchive &zip, const QString &part, QHash<QString, Relationship> &out)
{
    const QString base = folderOf(part);
    return zip.parseXml(relsOf(part), [&](QXmlStreamReader &xml) {
        if (xml.isStartElement() && xml.name() == u"Relationship") {
            if (attribute(xml, u"TargetMode") != u"External")
                out.insert(attribute(xml, u"Id").toString(),
                           {resolvePart(base, attribute(xml, u"Target")), attribute(xml, u"Type").toString()});
        }
        return true;
    });
}

// Text of <si> or <is>: its <t>, or the <t> of each rich-text run; phonetic runs (<rPh>) left out.
class StringCollector
{
public:
    void token(QXmlStreamReader &xml)
    {
        switch (xml.tokenType()) {
        case QXmlStreamReader::StartElement:
            if (xml.name() == u"rPh")
                ++phonetic;
            else if (xml.name() == u"t" && phonetic == 0)
                inText = true;
            break;
        case QXmlStreamReader::EndElement:
            if (xml.name() == u"rPh")
                --phonetic;
            else if (xml.name() == u"t")
                inText = false;
            break;
        case QXmlStreamReader::Characters:
            if (inText)
                text += xml.text();
            break;
        default:
            break;
        }
    }
    QString take()
    {
        inText = false;
        phonetic = 0;
        return unescapeOoxml(std::exchange(text, QString()));
    }

private:
    QString text;
    bool inText = false;
    int phonetic = 0;
};

Result readSharedStrings(ZipArchive &zip, const QString &part, std::vector<QString> &out)
{
    StringCollector collector;
    bool inItem = false;
    return zip.parseXml(part, [&](QXmlStreamReader &xml) {
        if (xml.isStartElement() && xml.name() == u"si") {
            inItem = true;
            collector.take();
        } else if (xml.isEndElement() && xml.name() == u"si") {
            inItem = false;
            out.push_back(collector.take());
        } else if (inItem) {
            collector.token(xml);
        }
        return true;
    });
}

// The number format of each cell style (the s attribute of a cell indexes cellXfs).
Result readStyles(ZipArchive &zip, const QString &part, std::vector<CellFormat::NumberFormat> &out)
{
    QHash<int, QString> codes;
    std::vector<int> xfFormats;
    bool inCellXfs = false;
    const Result r = zip.parseXml(part, [&](QXmlStreamReader &xml) {
        if (xml.isStartElement()) {
            if (xml.name() == u"numFmt")
                codes.insert(attribute(xml, u"numFmtId").toInt(), attribute(xml, u"formatCode").toString());
            else if (xml.name() == u"cellXfs")
                inCellXfs = true;
            else if (inCellXfs && xml.name() == u"xf")
                xfFormats.push_back(attribute(xml, u"numFmtId").toInt());
        } else if (xml.isEndElement() && xml.name() == u"cellXfs") {
            inCellXfs = false;
        }
        return true;
    });
    for (int id : xfFormats) {
        const auto code = codes.constFind(id);
        out.push_back(code != codes.constEnd() ? CellFormat::fromCode(*code) : CellFormat::builtIn(id));
    }
    return r;
}

// "BC12" -> column 54 (from 0) and row 12; false when it is not a cell reference.
bool parseReference(QStringView ref, int &column, int &row)
{
    qsizetype i = 0;
    int col = 0;
    while (i < ref.size() && ref[i].isLetter() && ref[i].unicode() < 128) {
        col = col * 26 + (ref[i].toUpper().unicode() - u'A' + 1);
        if (col > RosterSheet::maxColumns)
            return false;
        ++i;
    }
    if (i == 0)
        return false;
    bool ok = false;
    row = ref.mid(i).toInt(&ok);
    column = col - 1;
    return ok || i == ref.size();
}

// The t attribute of a cell: how its value is stored.
enum class CellType { Number, Shared, Inline, Text, Boolean, Date };

CellType typeOf(QStringView t)
{
    if (t == u"s")
        return CellType::Shared;
    if (t == u"inlineStr")
        return CellType::Inline;
    if (t == u"str" || t == u"e") // a formula's text, an error value
        return CellType::Text;
    if (t == u"b")
        return CellType::Boolean;
    if (t == u"d")
        return CellType::Date;
    return CellType::Number;
}

class SheetParser
{
public:
    SheetParser(RosterSheet &sheet, const std::vector<QString> &shared,
                const std::vector<CellFormat::NumberFormat> &formats, bool date1904)
        : sheet(sheet), shared(shared), formats(formats), date1904(date1904)
    {
    }

    Status status = Status::Ok;

    bool token(QXmlStreamReader &xml)
    {
        const QXmlStreamReader::TokenType type = xml.tokenType();
        if (inInline) {
            if (type == QXmlStreamReader::EndElement && xml.name() == u"is")
                inInline = false;
            else
                inlineText.token(xml);
            return true;
        }
        if (type == QXmlStreamReader::Characters) {
            if (inValue)
                value += xml.text();
            return true;
        }
        if (type == QXmlStreamReader::StartElement) {
            const QStringView name = xml.name();
            if (name == u"c")
                startCell(xml);
            else if (name == u"v" && inCell)
                inValue = true;
            else if (name == u"is" && inCell)
                inInline = true;
            else if (name == u"row")
                return startRow(xml);
            else if (name == u"sheetData")
                inData = true;
        } else if (type == QXmlStreamReader::EndElement) {
            const QStringView name = xml.name();
            if (name == u"v")
                inValue = false;
            else if (name == u"c" && inCell)
                return endCell();
            else if (name == u"sheetData")
                inData = false;
        }
        return true;
    }

private:
    bool startRow(QXmlStreamReader &xml)
    {
        if (!inData)
            return true;
        const int r = attribute(xml, u"r").toInt();
        // Rows come in order; one without a number, or out of order, follows the last.
        const int number = r > lastRow ? r : lastRow + 1;
        if (number > RosterSheet::maxRows) {
            status = Status::Damaged;
            return false;
        }
        sheet.beginRow(number);
        lastRow = number;
        lastColumn = -1;
        return true;
    }

    void startCell(QXmlStreamReader &xml)
    {
        if (!inData || lastRow < 1)
            return;
        QStringView ref;
        cellType = CellType::Number;
        cellStyle = 0;
        // One pass over the attributes: this runs for every cell of the sheet.
        for (const QXmlStreamAttribute &a : xml.attributes()) {
            if (a.name() == u"r")
                ref = a.value();
            else if (a.name() == u"t")
                cellType = typeOf(a.value());
            else if (a.name() == u"s")
                cellStyle = a.value().toInt();
        }
        int column = lastColumn + 1, row = 0;
        if (!ref.isEmpty() && !parseReference(ref, column, row))
            column = -1;
        // A cell to the left of one already read, or beyond Excel's last column, is not taken.
        inCell = true;
        skipCell = column <= lastColumn || column >= RosterSheet::maxColumns;
        if (!skipCell)
            lastColumn = column;
        cellColumn = column;
        value.resize(0); // keeps its capacity
        inlineText.take();
    }

    bool endCell()
    {
        inCell = false;
        inValue = false;
        if (skipCell)
            return true;
        QString text;
        if (cellType == CellType::Shared) {
            bool ok = false;
            const qsizetype index = value.trimmed().toLongLong(&ok);
            if (ok && index >= 0 && size_t(index) < shared.size())
                text = shared[size_t(index)];
        } else if (cellType == CellType::Inline) {
            text = inlineText.take();
        } else if (cellType == CellType::Text) {
            text = unescapeOoxml(value);
        } else if (cellType == CellType::Boolean) {
            text = value.trimmed() == u"1" ? u"TRUE"_s : value.trimmed() == u"0" ? u"FALSE"_s : value;
        } else if (cellType == CellType::Date) {
            // An ISO 8601 date, kept to the day when it has no time of day.
            text = value.trimmed();
            if (text.size() > 10 && QStringView(text).mid(10) == u"T00:00:00")
                text.truncate(10);
            else
                text.replace(u'T', u' ');
        } else if (!value.isEmpty()) {
            const CellFormat::NumberFormat format = cellStyle >= 0 && size_t(cellStyle) < formats.size()
                ? formats[size_t(cellStyle)]
                : CellFormat::NumberFormat();
            text = CellFormat::display(value, format, date1904);
        }
        if (!sheet.addCell(cellColumn, text)) {
            status = Status::TooLarge;
            return false;
        }
        return true;
    }

    RosterSheet &sheet;
    const std::vector<QString> &shared;
    const std::vector<CellFormat::NumberFormat> &formats;
    const bool date1904;

    bool inData = false;
    bool inCell = false;
    bool inValue = false;
    bool inInline = false;
    bool skipCell = false;
    int lastRow = 0;
    int lastColumn = -1;
    int cellColumn = 0;
    int cellStyle = 0;
    CellType cellType = CellType::Number;
    QString value;
    StringCollector inlineText;
};

QString officeDocument(ZipArchive &zip)
{
    QHash<QString, Relationship> rels;
    readRelationships(zip, QString(), rels);
    for (const Relationship &r : std::as_const(rels)) {
        if (r.type.endsWith(u"/officeDocument") && zip.contains(r.target))
            return r.target;
    }
    return u"xl/workbook.xml"_s;
}

} // namespace

Book read(const QByteArray &bytes, int sheetIndex)
{
    Book book;
    ZipArchive zip(bytes);
    if (!zip.isOpen())
        return book;

    const QString workbook = officeDocument(zip);
    QStringList sheetIds;
    bool date1904 = false;
    bool inSheets = false;
    const Result w = zip.parseXml(workbook, [&](QXmlStreamReader &xml) {
        if (xml.isStartElement()) {
            if (xml.name() == u"workbookPr") {
                const QStringView v = attribute(xml, u"date1904");
                date1904 = v == u"1" || v == u"true";
            } else if (xml.name() == u"sheets") {
                inSheets = true;
            } else if (inSheets && xml.name() == u"sheet") {
                const QStringView state = attribute(xml, u"state");
                book.sheets.append({attribute(xml, u"name").toString(), state == u"hidden" || state == u"veryHidden"});
                sheetIds.append(attribute(xml, u"id").toString());
            }
        } else if (xml.isEndElement() && xml.name() == u"sheets") {
            inSheets = false;
        }
        return true;
    });
    if (w != Result::Ok || book.sheets.isEmpty())
        return book;

    QHash<QString, Relationship> rels;
    if (readRelationships(zip, workbook, rels) == Result::Damaged)
        return book;
    QString sharedPart, stylesPart;
    for (const Relationship &r : std::as_const(rels)) {
        if (r.type.endsWith(u"/sharedStrings"))
            sharedPart = r.target;
        else if (r.type.endsWith(u"/styles"))
            stylesPart = r.target;
    }
    if (sharedPart.isEmpty())
        sharedPart = folderOf(workbook) + u"sharedStrings.xml"_s;
    if (stylesPart.isEmpty())
        stylesPart = folderOf(workbook) + u"styles.xml"_s;

    if (sheetIndex < 0 || sheetIndex >= book.sheets.size()) {
        sheetIndex = 0;
        for (int i = 0; i < book.sheets.size(); ++i) {
            if (!book.sheets[i].hidden) {
                sheetIndex = i;
                break;
            }
        }
    }
    book.sheetIndex = sheetIndex;
    book.sheet.name = book.sheets[sheetIndex].name;
    book.sheet.hidden = book.sheets[sheetIndex].hidden;

    std::vector<QString> shared;
    std::vector<CellFormat::NumberFormat> formats;
    if (readSharedStrings(zip, sharedPart, shared) == Result::Damaged
        || readStyles(zip, stylesPart, formats) == Result::Damaged)
        return book;

    const Relationship target = rels.value(sheetIds[sheetIndex]);
    SheetParser parser(book.sheet, shared, formats, date1904);
    const Result s = zip.parseXml(target.target, [&](QXmlStreamReader &xml) { return parser.token(xml); });
    if (s == Result::Missing && !target.type.endsWith(u"/worksheet")) {
        book.status = Status::Ok; // a chart sheet: nothing to read
        return book;
    }
    if (s == Result::Ok)
        book.status = Status::Ok;
    else if (s == Result::Stopped)
        book.status = parser.status;
    if (book.status != Status::Ok)
        book.sheet.clear();
    return book;
}

} // namespace XlsxReader
