// Screenshots of the stage: zop_stage_shots <folder> writes stage-<height>-before.png and
// stage-<height>-<winners>-<during|after>.png for 1920x1080 and 3840x2160 with 1, 3, 12, 50
// and 200 winners of the sample data: photos for most, long department names for some, a prize
// with a picture, an absent winner in the runs of 12 and more.
#include "BenchSupport.h"
#include "entries/EntryTable.h"
#include "ui/stage/StageView.h"

#include <QApplication>
#include <QDir>
#include <QImage>
#include <QPainter>
#include <QTemporaryDir>

#include <cstdio>

using namespace Qt::StringLiterals;

namespace {

// A prize picture: a red gift box with a gold ribbon on a light ground.
QImage prizePicture()
{
    QImage image(800, 600, QImage::Format_RGB32);
    image.fill(QColor(0xF4, 0xEE, 0xE0));
    QPainter painter(&image);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.fillRect(QRectF(200, 220, 400, 320), QColor(0xC0, 0x10, 0x20));
    painter.fillRect(QRectF(180, 170, 440, 80), QColor(0xD8, 0x20, 0x30));
    painter.fillRect(QRectF(370, 170, 60, 370), QColor(0xFF, 0xC8, 0x30));
    painter.setBrush(QColor(0xFF, 0xC8, 0x30));
    painter.drawEllipse(QRectF(290, 90, 110, 80));
    painter.drawEllipse(QRectF(400, 90, 110, 80));
    return image;
}

bool save(StageView &view, const QDir &out, const QString &name)
{
    if (view.grab().save(out.filePath(name)))
        return true;
    std::fprintf(stderr, "cannot write %s\n", qPrintable(out.filePath(name)));
    return false;
}

} // namespace

int main(int argc, char *argv[])
{
    if (argc < 2) {
        std::fprintf(stderr, "usage: %s <folder>\n", argv[0]);
        return 2;
    }
    benchApplication();
    const QDir out(QString::fromLocal8Bit(argv[1]));
    EntryTable sample;
    loadEntryFile(QStringLiteral(ZOP_SAMPLE_DATA), u"\t"_s, sample);
    if (sample.entryCount() < 1) {
        std::fprintf(stderr, "the sample data file is empty\n");
        return 1;
    }
    // 201 entries from the sample, every seventh with a department too long for its card.
    EntryTable table;
    for (int i = 1; i <= 201; ++i) {
        const EntryRecord r = sample.record((i - 1) % sample.entryCount() + 1);
        table.append(QString(r.column1 + (i > sample.entryCount() ? u"-%1"_s.arg(i) : QString())), r.column2,
                     i % 7 == 3 ? u"华东大区市场营销与品牌推广中心第二事业部"_s : r.column3);
    }
    QTemporaryDir photos;
    for (int i = 1; i <= 201; ++i) {
        if (i % 5 != 4) // some winners have no photo
            samplePortrait(i).save(QDir(photos.path()).filePath(table.column(i, 1).toString() + u".png"_s));
    }
    const QImage prize = prizePicture();

    for (const int height : {1080, 2160}) {
        const auto makeView = [&](StageView &view) {
            view.setTitle(u"2026年度盛典\n幸运大抽奖"_s);
            view.setPrize(u"一等奖：智能手机"_s, prize);
            view.setPhotoFolder(photos.path());
            view.setGeometry(0, 0, height * 16 / 9, height);
            view.show();
        };
        {
            StageView view;
            makeView(view);
            if (!save(view, out, u"stage-%1-before.png"_s.arg(height)))
                return 1;
        }
        for (const int winners : {1, 3, 12, 50, 200}) {
            StageView view;
            makeView(view);
            for (int i = 1; i <= winners; ++i) {
                view.showRolling(table.record(i));
                view.addWinner(table.record(i));
            }
            if (winners >= 12)
                view.markAbsent(winners - 2);
            view.showRolling(table.record(winners + 1));
            if (!save(view, out, u"stage-%1-%2-during.png"_s.arg(height).arg(winners)))
                return 1;
            view.showClosingText(u"恭喜以上中奖者！谢谢参与！"_s);
            if (!save(view, out, u"stage-%1-%2-after.png"_s.arg(height).arg(winners)))
                return 1;
        }
    }
    return 0;
}
