// The advanced settings dialog with the shipped settings: opening it, and "保存", which rewrites
// the settings file once per key (22 atomic rewrites) and reloads it.
#include "BenchSupport.h"
#include "draw/RunData.h"
#include "settings/Settings.h"
#include "ui/common/Fonts.h"
#include "ui/common/MessageBoxes.h"
#include "ui/settings/MainWindowRefresh.h"
#include "ui/settings/SettingsDialog.h"

#include <QApplication>
#include <QFile>
#include <QPushButton>
#include <QStringEncoder>
#include <QTemporaryDir>

#include <benchmark/benchmark.h>

using namespace Qt::StringLiterals;

namespace {

class IdleMainWindow : public MainWindowRefresh
{
public:
    void applyTitleAndFonts() override {}
    void refreshStatus() override {}
    void applyRowVisibility() override {}
    void runRollList(int) override {}
    void disableStartButton() override {}
    void keepRun() override {}
    void endEvent() override {}
};

// A program folder holding the shipped settings file, loaded.
struct ShippedSettings {
    QTemporaryDir dir;
    Settings settings;
    RunData run;
    SilentMessageBoxes boxes;
    IdleMainWindow mainWindow;

    ShippedSettings()
    {
        const QString text = u"; ZOP摇号 设置文件\r\n"
                             "一次性摇出个数=5\r\n一次性摇出延时=5\r\n滚动速度=5\r\n"
                             "每点一次出一号标志=0\r\n数据文件=测试数据.txt\r\n中奖名单列显示=0\r\n"
                             "中奖名单是否显示序号=1\r\n标题文字=欢迎使用ZOP摇号工具\r\n标题字号=25\r\n"
                             "显示滚动列表=1\r\n中奖名单列字号=12\r\n滚动个数随机小=20\r\n"
                             "滚动个数随机大=40\r\n数据字段分隔符={tab}\r\n结束语=**** 谢谢参与! ****\r\n"
                             "结果标题=☆★☆★ 号榜 ☆★☆★\\n==========================\r\n"
                             "结果字号=12\r\n项A显示=1\r\n项B显示=1\r\n项C显示=1\r\n"
                             "字号A=36\r\n字号B=36\r\n字号C=36\r\n"_s;
        QFile file(dir.filePath(u"ZOP摇号设置.ini"_s));
        if (!file.open(QIODevice::WriteOnly) || file.write(QStringEncoder("GB18030").encode(text)) < 0)
            qFatal("cannot write the settings file");
        file.close();
        AppFiles::loadSettings(settings, run, dir.path());
    }
};

void BM_SettingsDialogOpen(benchmark::State &state)
{
    benchApplication();
    ShippedSettings fixture;
    for (auto _ : state) {
        SettingsDialog form(fixture.settings, fixture.run, fixture.boxes, fixture.mainWindow);
        form.show();
        QCoreApplication::processEvents();
        benchmark::DoNotOptimize(&form);
    }
}
BENCHMARK(BM_SettingsDialogOpen)->Unit(benchmark::kMillisecond)->UseRealTime();

void BM_SettingsDialogSave(benchmark::State &state)
{
    benchApplication();
    ShippedSettings fixture;
    for (auto _ : state) {
        state.PauseTiming();
        SettingsDialog form(fixture.settings, fixture.run, fixture.boxes, fixture.mainWindow);
        form.show();
        QCoreApplication::processEvents();
        state.ResumeTiming();
        form.findChild<QPushButton *>(u"saveButton"_s)->click();
    }
}
BENCHMARK(BM_SettingsDialogSave)->Unit(benchmark::kMillisecond)->UseRealTime();

} // namespace
