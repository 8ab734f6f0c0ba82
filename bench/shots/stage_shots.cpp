// Screenshots of the stage: zop_stage_shots <folder> writes stage-<height>-<winners>[-photos].png
// for 1920x1080 and 3840x2160 with 1, 12 and 100 winners of the sample data.
#include "BenchSupport.h"
#include "entries/EntryTable.h"
#include "ui/stage/StageView.h"

#include <QApplication>
#include <QDir>
#include <QTemporaryDir>

#include <cstdio>

using namespace Qt::StringLiterals;

int main(int argc, char *argv[])
{
    if (argc < 2) {
        std::fprintf(stderr, "usage: %s <folder>\n", argv[0]);
        return 2;
    }
    benchApplication();
    const QDir out(QString::fromLocal8Bit(argv[1]));
    EntryTable table;
    loadEntryFile(QStringLiteral(ZOP_SAMPLE_DATA), u"\t"_s, table);
    if (table.entryCount() < 100) {
        std::fprintf(stderr, "the sample data file has fewer than 100 entries\n");
        return 1;
    }
    QTemporaryDir photos;
    for (int i = 1; i <= 100; ++i)
        samplePortrait(i).save(QDir(photos.path()).filePath(table.column(i, 1) + u".png"_s));

    for (const int height : {1080, 2160}) {
        for (const int winners : {1, 12, 100}) {
            for (const bool withPhotos : {false, true}) {
                StageView view;
                view.setTitle(u"欢迎使用ZOP摇号工具"_s);
                view.setPrize(u"二等奖"_s);
                if (withPhotos)
                    view.setPhotoFolder(photos.path());
                view.setGeometry(0, 0, height * 16 / 9, height);
                view.show();
                for (int i = 1; i <= winners; ++i)
                    view.addWinner(table.record(i));
                view.showRolling(table.record(winners + 1));
                const QString name = u"stage-%1-%2%3.png"_s.arg(height).arg(winners).arg(
                    withPhotos ? u"-photos"_s : QString());
                if (!view.grab().save(out.filePath(name))) {
                    std::fprintf(stderr, "cannot write %s\n", qPrintable(out.filePath(name)));
                    return 1;
                }
            }
        }
    }
    return 0;
}
