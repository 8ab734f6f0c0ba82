#include "entries/Duplicates.h"
#include "import/ImportCommand.h"
#include "import/RosterImport.h"
#include "import/RosterReader.h"
#include "support/TestSupport.h"

#include <QProcess>
#include <QTemporaryDir>
#include <QTest>

#include <xlsxwriter.h>

using namespace Qt::StringLiterals;

namespace {

// Numbers, dates, formats, a formula with its cached value, rich text, an empty middle column
// and a hidden first sheet, the way libxlsxwriter writes them (shared strings), or with inline
// strings when constantMemory.
void writeWithXlsxwriter(const QString &path, bool constantMemory)
{
    lxw_workbook_options options{};
    options.constant_memory = constantMemory ? LXW_TRUE : LXW_FALSE;
    lxw_workbook *book = workbook_new_opt(QFile::encodeName(path).constData(), &options);
    lxw_worksheet *hidden = workbook_add_worksheet(book, "旧名单");
    lxw_worksheet *ws = workbook_add_worksheet(book, "员工");
    worksheet_write_string(hidden, 0, 0, "old", nullptr);
    worksheet_activate(ws);
    worksheet_hide(hidden);
    lxw_format *date = workbook_add_format(book);
    format_set_num_format(date, "yyyy\"年\"m\"月\"d\"日\"");
    lxw_format *builtinDate = workbook_add_format(book);
    format_set_num_format_index(builtinDate, 14);
    lxw_format *padded = workbook_add_format(book);
    format_set_num_format(padded, "00000");
    lxw_format *twoPlaces = workbook_add_format(book);
    format_set_num_format_index(twoPlaces, 2);
    lxw_format *bold = workbook_add_format(book);
    format_set_bold(bold);

    worksheet_write_string(ws, 0, 0, "工号", nullptr);
    worksheet_write_string(ws, 0, 2, "姓名", nullptr); // column B left empty
    worksheet_write_number(ws, 1, 0, 1001, nullptr);
    worksheet_write_number(ws, 1, 1, 0.1 + 0.2, nullptr);
    worksheet_write_number(ws, 1, 2, 123456789012, nullptr);
    worksheet_write_number(ws, 1, 3, 3.5, twoPlaces);
    worksheet_write_number(ws, 1, 4, 42, padded);
    lxw_datetime day = {2024, 3, 15, 0, 0, 0};
    worksheet_write_datetime(ws, 2, 0, &day, date);
    worksheet_write_datetime(ws, 2, 1, &day, builtinDate);
    worksheet_write_formula_num(ws, 2, 2, "=A2+1", nullptr, 1002);
    worksheet_write_formula_str(ws, 2, 3, "=\"A\"&\"B\"", nullptr, "AB");
    worksheet_write_boolean(ws, 2, 4, 1, nullptr);
    lxw_rich_string_tuple first = {bold, const_cast<char *>("张")};
    lxw_rich_string_tuple second = {nullptr, const_cast<char *>("三丰")};
    lxw_rich_string_tuple *runs[] = {&first, &second, nullptr};
    worksheet_write_rich_string(ws, 3, 0, runs, nullptr);
    worksheet_write_string(ws, 1048575, 1, "最后一行", nullptr);
    QCOMPARE_EQ(workbook_close(book), LXW_NO_ERROR);
}

QString writeRosters(const QString &folder)
{
    QProcess python;
    python.start(u"/usr/bin/python3"_s, {QStringLiteral(ZOP_WRITE_ROSTERS), folder});
    if (!python.waitForFinished(60000) || python.exitCode() != 0)
        return QString::fromUtf8(python.readAllStandardError());
    return {};
}

QString cellAt(const RosterSheet &sheet, int rowNumber, int column)
{
    for (int r = 0; r < sheet.rowCount(); ++r) {
        if (sheet.rowNumber(r) == rowNumber)
            return sheet.cell(r, column).toString();
    }
    return u"<no row %1>"_s.arg(rowNumber);
}

RosterSheet sheetOf(const QString &text)
{
    RosterSheet sheet;
    const QByteArray bytes = text.toUtf8();
    return RosterReader::readBytes(bytes, u"x.csv"_s).sheet;
}

} // namespace

class tst_RosterImport : public QObject
{
    Q_OBJECT

    QTemporaryDir dir;

    QString path(const QString &name) const { return dir.filePath(name); }

private slots:
    void initTestCase()
    {
        writeWithXlsxwriter(path(u"xlsxwriter.xlsx"_s), false);
        writeWithXlsxwriter(path(u"inline.xlsx"_s), true);
        const QString error = writeRosters(dir.path());
        QVERIFY2(error.isEmpty(), qPrintable(u"write_rosters.py (python3-openpyxl): "_s + error));
    }

    void cells_data()
    {
        QTest::addColumn<QString>("file");
        QTest::addColumn<int>("row");
        QTest::addColumn<int>("column");
        QTest::addColumn<QString>("shown");
        for (const QString &file : {u"xlsxwriter.xlsx"_s, u"inline.xlsx"_s}) {
            const auto add = [&](const char *name, int row, int column, const QString &shown) {
                QTest::addRow("%s %s", qPrintable(file), name) << file << row << column << shown;
            };
            add("string", 1, 0, u"工号"_s);
            add("empty middle column keeps positions", 1, 2, u"姓名"_s);
            add("integer", 2, 0, u"1001"_s);
            add("binary noise rounded away", 2, 1, u"0.3"_s);
            add("twelve digits, no exponent", 2, 2, u"123456789012"_s);
            add("format 0.00", 2, 3, u"3.50"_s);
            add("format 00000", 2, 4, u"00042"_s);
            add("custom date format", 3, 0, u"2024-03-15"_s);
            add("built-in date format", 3, 1, u"2024-03-15"_s);
            add("formula's cached number", 3, 2, u"1002"_s);
            add("formula's cached string", 3, 3, u"AB"_s);
            add("boolean", 3, 4, u"TRUE"_s);
            add("rich text runs", 4, 0, u"张三丰"_s);
            add("last row of a sheet", 1048576, 1, u"最后一行"_s);
        }
        const QString file = u"openpyxl.xlsx"_s;
        QTest::newRow("openpyxl 1001.0") << file << 2 << 1 << u"1001"_s;
        QTest::newRow("openpyxl 1.002E+3") << file << 3 << 1 << u"1002"_s;
        QTest::newRow("openpyxl fifteen digits") << file << 4 << 1 << u"123456789012345"_s;
        QTest::newRow("openpyxl date") << file << 2 << 4 << u"2020-03-01"_s;
        QTest::newRow("openpyxl date and time of 0:00") << file << 3 << 4 << u"2021-12-31"_s;
        QTest::newRow("openpyxl inline string") << file << 5 << 2 << u"赵六\t六"_s;
        QTest::newRow("openpyxl 0.30000000000000004") << file << 5 << 4 << u"0.3"_s;
    }
    void cells()
    {
        QFETCH(QString, file);
        QFETCH(int, row);
        QFETCH(int, column);
        QFETCH(QString, shown);
        const RosterFile roster = RosterReader::read(path(file));
        QVERIFY2(roster.error.isEmpty(), qPrintable(roster.error));
        QCOMPARE(cellAt(roster.sheet, row, column), shown);
    }

    // The first visible sheet is read unless another is asked for; hidden ones can be.
    void sheets()
    {
        const RosterFile first = RosterReader::read(path(u"xlsxwriter.xlsx"_s));
        QCOMPARE(first.sheets.size(), 2);
        QVERIFY(first.sheets[0].hidden);
        QCOMPARE(first.sheetIndex, 1);
        const RosterFile hidden = RosterReader::read(path(u"openpyxl.xlsx"_s), 1);
        QCOMPARE(hidden.sheet.name, u"离职"_s);
        QCOMPARE(cellAt(hidden.sheet, 1, 2), u"z1"_s);
    }

    void textFiles_data()
    {
        QTest::addColumn<QString>("file");
        QTest::newRow("UTF-8 with BOM, comma") << u"utf8bom.csv"_s;
        QTest::newRow("UTF-8, comma") << u"utf8.csv"_s;
        QTest::newRow("GBK, semicolon") << u"gbk.csv"_s;
        QTest::newRow("UTF-16 with BOM, tab") << u"unicode.txt"_s;
    }
    void textFiles()
    {
        QFETCH(QString, file);
        const RosterFile roster = RosterReader::read(path(file));
        QVERIFY2(roster.error.isEmpty(), qPrintable(roster.error));
        QCOMPARE(roster.sheet.rowCount(), 3);
        QCOMPARE(roster.sheet.columnCount(), 3);
        QCOMPARE(cellAt(roster.sheet, 1, 0), u"工号"_s);
        QCOMPARE(cellAt(roster.sheet, 2, 2), u"说, \"好\"\n第二行"_s);
        QCOMPARE(cellAt(roster.sheet, 3, 1), u"李四"_s);
    }

    void badFiles_data()
    {
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("said");
        const QByteArray good = TestSupport::readBytes(path(u"xlsxwriter.xlsx"_s));
        QByteArray flipped = good;
        // A byte inside the sheet's compressed data: inflating or its checksum fails.
        const qsizetype header = good.indexOf("xl/worksheets/sheet2.xml") - 30;
        const qsizetype data = header + 30 + 24 + quint8(good[header + 28]) + 256 * quint8(good[header + 29]);
        flipped[data + 20] = char(flipped[data + 20] ^ 0x55);
        const QByteArray cfb("\xD0\xCF\x11\xE0\xA1\xB1\x1A\xE1", 8);
        QTest::newRow("zip cut short") << good.first(good.size() / 2) << u"cut.xlsx"_s << u"已损坏"_s;
        QTest::newRow("zip with a changed byte") << flipped << u"flip.xlsx"_s << u"已损坏"_s;
        QTest::newRow("stored part changed after its checksum")
            << TestSupport::readBytes(path(u"changed.xlsx"_s)) << u"changed.xlsx"_s << u"已损坏"_s;
        QTest::newRow("zip without a workbook") << QByteArray("PK\x05\x06" + QByteArray(18, '\0')) << u"empty.xlsx"_s
                                                << u"已损坏"_s;
        QTest::newRow("text named .xlsx") << QByteArray("a,b,c\r\n") << u"text.xlsx"_s << u"已损坏"_s;
        QTest::newRow("old .xls") << cfb + QByteArray(600, '\0') << u"old.xls"_s << u".xls"_s;
        QTest::newRow("password") << cfb + QByteArray(200, '\0') + QByteArray("E\0n\0c\0r\0y\0p\0t\0e\0d\0P\0a\0c\0k\0a\0g\0e\0", 32)
                                  << u"secret.xlsx"_s << u"密码"_s;
        QTest::newRow("bytes no encoding reads") << QByteArray("\x81\x20\x41") << u"bad.csv"_s << u"编码"_s;
    }
    void badFiles()
    {
        QFETCH(QByteArray, bytes);
        QFETCH(QString, name);
        QFETCH(QString, said);
        TestSupport::writeBytes(path(name), bytes);
        const RosterFile roster = RosterReader::read(path(name));
        QVERIFY2(roster.error.contains(name) && roster.error.contains(said), qPrintable(roster.error));
        QCOMPARE(roster.sheet.rowCount(), 0);
        QVERIFY(RosterReader::read(path(u"missing.xlsx"_s)).error.contains(u"missing.xlsx"_s));
    }

    void mapping_data()
    {
        QTest::addColumn<QString>("csv");
        QTest::addColumn<bool>("header");
        QTest::addColumn<QList<int>>("columns");
        QTest::newRow("headings in another order") << u"序号,部门,姓名,工号\n1,销售部,张三,1001\n"_s << true
                                                   << QList<int>{3, 2, 1};
        QTest::newRow("编号 and 单位") << u"单位,编号,姓名,电话\nA,1,张三,139\n"_s << true << QList<int>{1, 2, 0};
        QTest::newRow("no headings: first non-empty columns") << u"1001,,张三,销售部,x\n1002,,李四,市场部,y\n"_s
                                                              << false << QList<int>{0, 2, 3};
        QTest::newRow("words above numbers") << u"人员,代码\n张三,1001\n"_s << true << QList<int>{0, 1, -1};
        QTest::newRow("names only") << u"张三,销售部\n李四,市场部\n"_s << false << QList<int>{0, 1, -1};
    }
    void mapping()
    {
        QFETCH(QString, csv);
        QFETCH(bool, header);
        QFETCH(QList<int>, columns);
        const RosterImport::Mapping m = RosterImport::defaultMapping(sheetOf(csv));
        QCOMPARE(m.header, header);
        QCOMPARE((QList<int>{m.columns[0], m.columns[1], m.columns[2]}), columns);
    }

    // What the data file cannot hold becomes a blank; empty rows give no entry.
    void extract_data()
    {
        QTest::addColumn<QString>("separator");
        QTest::addColumn<QString>("third");
        QTest::addColumn<QString>("nextThird");
        QTest::addColumn<int>("replaced");
        QTest::newRow("tab") << u"\t"_s << u"a b, c"_s << u"x y"_s << 1;
        QTest::newRow("comma") << u","_s << u"a b  c"_s << u"x y"_s << 1;
        QTest::newRow("two characters") << u"||"_s << u"a b, c"_s << u"x y"_s << 1;
        QTest::newRow("blank") << u" "_s << u"ab,c"_s << u"xy"_s << 2;
    }
    void extract()
    {
        QFETCH(QString, separator);
        QFETCH(QString, third);
        QFETCH(QString, nextThird);
        QFETCH(int, replaced);
        const RosterSheet sheet = sheetOf(u"工号,姓名,备注\n1001,张 三,\"a\tb, c\"\n,,\n1002,李四,\"x\r\ny\"\n"_s);
        const RosterImport::Entries e = RosterImport::extract(sheet, RosterImport::defaultMapping(sheet), separator);
        QCOMPARE(e.entries.entryCount(), 2);
        QCOMPARE(e.rowNumbers, (QList<int>{2, 4}));
        QCOMPARE(e.entries.column(1, 3), third);
        QCOMPARE(e.entries.column(2, 3), nextThird);
        QCOMPARE(e.replacedCells, replaced + 1);
    }

    void duplicates()
    {
        const RosterSheet sheet =
            sheetOf(u"1001,张三,A\n1002,李四,B\n1001,张三,A\n,王五,C\n1001,赵六,D\n,王五,C\n1003,钱七,E\n"_s);
        const RosterImport::Entries e = RosterImport::extract(sheet, RosterImport::defaultMapping(sheet), u"\t");
        const QList<DuplicateGroup> groups = findDuplicates(e.entries);
        QCOMPARE(groups.size(), 2);
        QCOMPARE(groups[0].entries, (QList<int>{1, 3, 5}));
        QVERIFY(!groups[0].wholeRow);
        QCOMPARE(groups[1].entries, (QList<int>{4, 6}));
        QVERIFY(groups[1].wholeRow);
        QCOMPARE(RosterImport::describe(groups[1], e.entries, e.rowNumbers), u"王五 C 整行重复：第 4、6 行"_s);
        QCOMPARE(laterRepeats(groups, 7), (std::vector<bool>{false, false, true, false, true, true, false}));
        QCOMPARE(duplicatesNote(e.entries), u"\r\n数据文件第一列有 2 个值重复出现：1001、王五 C。"_s);
    }

    void command_data()
    {
        QTest::addColumn<QStringList>("args");
        QTest::addColumn<int>("status");
        QTest::addColumn<QString>("written");
        const QString roster = path(u"openpyxl.xlsx"_s);
        const QString out = path(u"out.txt"_s);
        QTest::newRow("defaults") << QStringList{roster, out} << 0
                                  << u"1001\t张三\t销售部\r\n1002\t李四\t市场部\r\n123456789012345\t王五\t研发部\r\n1004\t赵六 六\t研发部\r\n"_s;
        QTest::newRow("columns, sheet, no header") << QStringList{roster, out, u"--sheet"_s, u"2"_s, u"--columns"_s,
                                                                  u"C,0,1"_s, u"--no-header"_s}
                                                   << 0 << u"z1\t\tx1\r\n"_s;
        QTest::newRow("headings only") << QStringList{path(u"head.csv"_s), out} << 1 << QString();
        QTest::newRow("no such sheet") << QStringList{roster, out, u"--sheet"_s, u"3"_s} << 2 << QString();
        QTest::newRow("unreadable roster") << QStringList{path(u"missing.xlsx"_s), out} << 2 << QString();
        QTest::newRow("output in a missing folder") << QStringList{roster, path(u"no/out.txt"_s)} << 2 << QString();
        QTest::newRow("unknown option") << QStringList{roster, out, u"--dedupe"_s} << 2 << QString();
        QTest::newRow("bad column") << QStringList{roster, out, u"--columns"_s, u"2,#"_s} << 2 << QString();
    }
    void command()
    {
        QFETCH(QStringList, args);
        QFETCH(int, status);
        QFETCH(QString, written);
        TestSupport::writeBytes(path(u"head.csv"_s), "工号,姓名,部门\r\n");
        QFile::remove(path(u"out.txt"_s));
        const ImportCommand::Outcome o = ImportCommand::run(args, dir.path() + u'/');
        QCOMPARE(o.status, status);
        QCOMPARE(o.err.isEmpty(), status == 0);
        if (status == 0)
            QCOMPARE(TestSupport::readBytes(path(u"out.txt"_s)), TestSupport::gbk(written));
        else
            QVERIFY(!QFile::exists(path(u"out.txt"_s)));
    }
};

QTEST_GUILESS_MAIN(tst_RosterImport)
#include "tst_RosterImport.moc"
