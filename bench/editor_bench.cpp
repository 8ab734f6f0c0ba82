// The data file editor on a large data file: opening it, and each edit as the user makes it
// (button click, list update, repaint).
#include "BenchSupport.h"
#include "settings/Settings.h"
#include "ui/common/MessageBoxes.h"
#include "ui/editor/DataFileEditor.h"

#include <QAbstractItemView>
#include <QApplication>
#include <QFile>
#include <QLineEdit>
#include <QPushButton>
#include <QStringEncoder>
#include <QTemporaryDir>

#include <benchmark/benchmark.h>

#include <memory>

using namespace Qt::StringLiterals;

namespace {

constexpr int entryCount = 100000;

// A folder holding a data file of entryCount entries and a small VIP list.
struct LargeDataFile {
    QTemporaryDir dir;
    Settings settings;

    LargeDataFile()
    {
        settings.appDir = dir.path() + u'/';
        settings.dataFile = u"测试数据.txt"_s;
        settings.fieldSeparator = u"\t"_s;
        QString text;
        for (int i = 1; i <= entryCount; ++i)
            text += u"A%1\t参加者%2\t部门%3\r\n"_s.arg(i, 6, 10, QChar(u'0')).arg(i).arg(i % 37);
        write(settings.appDir + settings.dataFile, text);
        write(settings.vipFile(), u"3#*#A000002\t参加者2\t部门2\r\n"_s);
    }
    static void write(const QString &path, const QString &text)
    {
        QStringEncoder encoder("GB18030");
        QFile file(path);
        if (!file.open(QIODevice::WriteOnly) || file.write(encoder.encode(text)) < 0)
            qFatal("cannot write %s", qPrintable(path));
    }
};

LargeDataFile &largeFile()
{
    static LargeDataFile file;
    return file;
}

std::unique_ptr<DataFileEditor> openEditor(MessageBoxes &boxes)
{
    auto form = std::make_unique<DataFileEditor>(largeFile().settings, boxes);
    form->show();
    QCoreApplication::processEvents(); // lay out and paint the list
    return form;
}

void click(DataFileEditor &form, const QString &button)
{
    form.findChild<QPushButton *>(button)->click();
    QCoreApplication::processEvents();
}

void type(DataFileEditor &form, const QString &c1, const QString &c2, const QString &c3)
{
    form.findChild<QLineEdit *>(u"columnBox(1)"_s)->setText(c1);
    form.findChild<QLineEdit *>(u"columnBox(2)"_s)->setText(c2);
    form.findChild<QLineEdit *>(u"columnBox(3)"_s)->setText(c3);
}

// Selects the middle row the way a click would, so deletes and changes hit the middle of the table.
void selectMiddleRow(DataFileEditor &form)
{
    type(form, QString(), QString(), QString());
    auto *list = form.findChild<QAbstractItemView *>(u"entryListView"_s);
    list->setCurrentIndex(list->model()->index(entryCount / 2, 0));
    QCoreApplication::processEvents();
}

void BM_EditorOpen100k(benchmark::State &state)
{
    benchApplication();
    largeFile();
    SilentMessageBoxes boxes;
    for (auto _ : state) {
        auto form = openEditor(boxes);
        benchmark::DoNotOptimize(form.get());
        state.PauseTiming();
        form.reset(); // destroyed without closing: nothing is written
        state.ResumeTiming();
    }
}
BENCHMARK(BM_EditorOpen100k)->Unit(benchmark::kMillisecond)->UseRealTime();

void BM_EditorAdd100k(benchmark::State &state)
{
    benchApplication();
    SilentMessageBoxes boxes;
    auto form = openEditor(boxes);
    for (auto _ : state) {
        state.PauseTiming();
        type(*form, u"B000001"_s, u"新人"_s, u"部门1"_s);
        state.ResumeTiming();
        click(*form, u"entryButton(0)"_s);
    }
}
BENCHMARK(BM_EditorAdd100k)->Unit(benchmark::kMillisecond)->UseRealTime();

void BM_EditorDelete100k(benchmark::State &state)
{
    benchApplication();
    SilentMessageBoxes boxes;
    auto form = openEditor(boxes);
    selectMiddleRow(*form);
    for (auto _ : state)
        click(*form, u"entryButton(1)"_s); // the following entry becomes the selected one
}
BENCHMARK(BM_EditorDelete100k)->Unit(benchmark::kMillisecond)->UseRealTime();

void BM_EditorModify100k(benchmark::State &state)
{
    benchApplication();
    SilentMessageBoxes boxes;
    auto form = openEditor(boxes);
    selectMiddleRow(*form);
    int round = 0;
    for (auto _ : state) {
        state.PauseTiming();
        type(*form, u"C%1"_s.arg(++round), u"改名"_s, u"部门2"_s);
        state.ResumeTiming();
        click(*form, u"entryButton(2)"_s);
    }
}
BENCHMARK(BM_EditorModify100k)->Unit(benchmark::kMillisecond)->UseRealTime();

void BM_EditorAddVip100k(benchmark::State &state)
{
    benchApplication();
    SilentMessageBoxes boxes;
    auto form = openEditor(boxes);
    selectMiddleRow(*form);
    for (auto _ : state)
        click(*form, u"addVipButton"_s);
}
BENCHMARK(BM_EditorAddVip100k)->Unit(benchmark::kMillisecond)->UseRealTime();

// What closing costs: both files written.
void BM_EditorSave100k(benchmark::State &state)
{
    benchApplication();
    SilentMessageBoxes boxes;
    auto form = openEditor(boxes);
    for (auto _ : state)
        form->saveAll();
}
BENCHMARK(BM_EditorSave100k)->Unit(benchmark::kMillisecond)->UseRealTime();

} // namespace
