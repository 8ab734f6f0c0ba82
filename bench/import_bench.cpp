// A roster of 100,000 people as HR keeps it (five columns, shared strings as Excel writes them)
// imported into the data file editor: file chosen, read, previewed, accepted, list filled.
#include "BenchSupport.h"
#include "import/RosterReader.h"
#include "settings/Settings.h"
#include "ui/editor/DataFileEditor.h"

#include <QAbstractItemView>
#include <QApplication>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTimer>

#include <benchmark/benchmark.h>

#include <xlsxwriter.h>

using namespace Qt::StringLiterals;

namespace {

constexpr int rosterRows = 100000;

struct Roster {
    QTemporaryDir dir;
    QString path = dir.filePath(u"roster.xlsx"_s);
    Settings settings;

    Roster()
    {
        settings.appDir = dir.path() + u'/';
        settings.dataFile = u"测试数据.txt"_s;
        settings.fieldSeparator = u"\t"_s;
        lxw_workbook *book = workbook_new(QFile::encodeName(path).constData());
        lxw_worksheet *ws = workbook_add_worksheet(book, "员工");
        lxw_format *date = workbook_add_format(book);
        format_set_num_format(date, "yyyy-mm-dd");
        const char *headings[] = {"序号", "工号", "姓名", "部门", "入职日期"};
        for (int c = 0; c < 5; ++c)
            worksheet_write_string(ws, 0, lxw_col_t(c), headings[c], nullptr);
        for (int i = 1; i <= rosterRows; ++i) {
            worksheet_write_number(ws, lxw_row_t(i), 0, i, nullptr);
            worksheet_write_number(ws, lxw_row_t(i), 1, 100000 + i, nullptr);
            worksheet_write_string(ws, lxw_row_t(i), 2, u"员工%1"_s.arg(i).toUtf8().constData(), nullptr);
            worksheet_write_string(ws, lxw_row_t(i), 3, u"部门%1"_s.arg(i % 40).toUtf8().constData(), nullptr);
            worksheet_write_number(ws, lxw_row_t(i), 4, 40000 + i % 3000, date);
        }
        if (workbook_close(book) != LXW_NO_ERROR)
            qFatal("cannot write %s", qPrintable(path));
    }
};

Roster &roster()
{
    static Roster r;
    return r;
}

void BM_ReadXlsx100k(benchmark::State &state)
{
    const QString path = roster().path;
    for (auto _ : state) {
        RosterFile file = RosterReader::read(path);
        if (file.sheet.rowCount() != rosterRows + 1)
            state.SkipWithError("rows missing");
        benchmark::DoNotOptimize(file);
    }
}
BENCHMARK(BM_ReadXlsx100k)->Unit(benchmark::kMillisecond)->UseRealTime();

void BM_ImportXlsxIntoEditor100k(benchmark::State &state)
{
    benchApplication();
    Roster &r = roster();
    SilentMessageBoxes boxes;
    for (auto _ : state) {
        state.PauseTiming();
        DataFileEditor form(r.settings, boxes);
        form.show();
        QCoreApplication::processEvents();
        form.setRosterChooser([&] { return r.path; });
        // The preview is accepted as soon as it shows.
        QTimer::singleShot(0, &form, [] { QApplication::activeModalWidget()->findChild<QPushButton *>(u"okButton"_s)->click(); });
        state.ResumeTiming();
        form.importRoster();
        QCoreApplication::processEvents(); // the list repainted with its new rows
        state.PauseTiming();
        if (form.findChild<QAbstractItemView *>(u"entryListView"_s)->model()->rowCount() != rosterRows)
            state.SkipWithError("entries missing");
        form.hide();
        state.ResumeTiming();
    }
}
BENCHMARK(BM_ImportXlsxIntoEditor100k)->Unit(benchmark::kMillisecond)->UseRealTime();

} // namespace
