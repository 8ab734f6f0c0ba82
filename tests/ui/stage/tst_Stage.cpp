#include "ui/common/Fonts.h"
#include "ui/stage/GlyphCache.h"
#include "ui/stage/StageCardGrid.h"
#include "ui/stage/StageScreen.h"
#include "ui/stage/StageView.h"

#include <QDir>
#include <QFile>
#include <QImage>
#include <QPaintEvent>
#include <QPainter>
#include <QTemporaryDir>
#include <QTest>

using namespace Qt::StringLiterals;

namespace {

// The regions a widget is asked to paint.
class PaintRecorder : public QObject
{
public:
    QRegion painted;
    bool eventFilter(QObject *, QEvent *event) override
    {
        if (event->type() == QEvent::Paint)
            painted += static_cast<QPaintEvent *>(event)->region();
        return false;
    }
};

} // namespace

class tst_Stage : public QObject
{
    Q_OBJECT

private slots:
    void screenChoice_data();
    void screenChoice();
    void cardGrid_data();
    void cardGrid();
    void rollingRepaintsOnlyItsRows();
    void glyphCacheDrawsLikeThePainter();
    void cardsAddedOneByOneLookAsIfAddedAtOnce();
    void photos();
};

void tst_Stage::screenChoice_data()
{
    QTest::addColumn<QList<QRect>>("screens");
    QTest::addColumn<int>("mainScreen");
    QTest::addColumn<int>("expected");
    const QRect laptop(0, 0, 1920, 1080), projector(1920, 0, 1280, 720), uhd(3200, 0, 3840, 2160);
    QTest::newRow("no screen") << QList<QRect>{} << 0 << -1;
    QTest::newRow("one screen: shared") << QList<QRect>{laptop} << 0 << 0;
    QTest::newRow("main on the first") << QList<QRect>{laptop, projector} << 0 << 1;
    QTest::newRow("main on the second") << QList<QRect>{laptop, projector} << 1 << 0;
    QTest::newRow("largest other") << QList<QRect>{laptop, projector, uhd} << 0 << 2;
    QTest::newRow("main unknown") << QList<QRect>{laptop, projector} << -1 << 1;
}

void tst_Stage::screenChoice()
{
    QFETCH(QList<QRect>, screens);
    QFETCH(int, mainScreen);
    QFETCH(int, expected);
    QCOMPARE(StageScreen::choose(screens, mainScreen), expected);
}

void tst_Stage::cardGrid_data()
{
    QTest::addColumn<int>("count");
    QTest::addColumn<bool>("photo");
    QTest::addColumn<int>("perPage");
    QTest::addColumn<int>("first");
    // 1920 x 480 of cards, text of 10 characters, at least 20 pixels.
    QTest::newRow("one") << 1 << false << 1 << 0;
    QTest::newRow("twelve") << 12 << true << 12 << 0;
    // Cards 62 pixels high and 210 wide: 6 rows of 8; a photo slot leaves 7 columns.
    QTest::newRow("a full page") << 48 << false << 48 << 0;
    QTest::newRow("newest page") << 100 << false << 48 << 96;
    QTest::newRow("photos take width") << 500 << true << 42 << 462;
}

void tst_Stage::cardGrid()
{
    QFETCH(int, count);
    QFETCH(bool, photo);
    QFETCH(int, perPage);
    QFETCH(int, first);
    const QSizeF area(1920, 480);
    const StageCardGrid::CardText text{10, 2, photo};
    const auto grid = StageCardGrid::layOut(area, count, text, 20, 80);
    QCOMPARE(grid.perPage, perPage);
    QCOMPARE(grid.first, first);
    QVERIFY(grid.textPixels >= 20 && grid.textPixels <= 80);
    QVERIFY(grid.columns * grid.rows >= grid.perPage);
    // Every card, its text at that size included, lies within the area.
    QVERIFY(grid.columns * grid.card.width() + (grid.columns - 1) * grid.gap <= area.width() + 0.5);
    QVERIFY(grid.rows * grid.card.height() + (grid.rows - 1) * grid.gap <= area.height() + 0.5);
    QVERIFY(grid.textPixels * text.lines * StageCardGrid::lineHeight <= grid.card.height());
    QVERIFY(grid.textPixels * text.widestLine <= grid.card.width());
}

void tst_Stage::rollingRepaintsOnlyItsRows()
{
    StageView view;
    view.setGeometry(0, 0, 1280, 720);
    view.addWinner({u"A0001"_s, u"李娜"_s, u"市场部"_s});
    view.show();
    QVERIFY(QTest::qWaitForWindowExposed(&view));
    PaintRecorder recorder;
    view.installEventFilter(&recorder);
    view.showRolling({u"A0002"_s, u"欧阳晓明"_s, u"市场营销部"_s});
    QTRY_VERIFY(!recorder.painted.isEmpty());
    QVERIFY(view.rollingRect().contains(recorder.painted.boundingRect()));
    QVERIFY(!view.rollingRect().intersects(view.cardsRect()));
}

void tst_Stage::glyphCacheDrawsLikeThePainter()
{
    // Large glyphs, where the painter itself takes the slow road; drawn twice, from the cache.
    QFont font = Fonts::layoutFont(Fonts::songti(), 10, true);
    font.setPixelSize(150);
    const QString text = u"欧阳A1"_s;
    const auto lit = [](const QImage &image) {
        qint64 sum = 0;
        for (int y = 0; y < image.height(); ++y)
            for (int x = 0; x < image.width(); ++x)
                sum += qGreen(image.pixel(x, y));
        return sum;
    };
    QImage direct(800, 240, QImage::Format_RGB32), cached(direct.size(), direct.format());
    direct.fill(Qt::black);
    cached.fill(Qt::black);
    {
        QPainter painter(&direct);
        painter.setFont(font);
        painter.setPen(Qt::green);
        painter.drawText(QPointF(10, 180), text);
    }
    GlyphCache glyphs;
    for (int i = 0; i < 2; ++i) {
        cached.fill(Qt::black);
        QPainter painter(&cached);
        glyphs.drawText(painter, QPointF(10, 180), font, Qt::green, text);
    }
    QCOMPARE(glyphs.width(font, text), QFontMetricsF(font).horizontalAdvance(text));
    QVERIFY(lit(direct) > 0);
    QVERIFY(qAbs(lit(cached) - lit(direct)) < lit(direct) / 50);
}

void tst_Stage::cardsAddedOneByOneLookAsIfAddedAtOnce()
{
    // The panel shrinks and the cards move as they come; nothing of an earlier layout stays.
    StageView stepwise, atOnce;
    for (StageView *view : {&stepwise, &atOnce}) {
        view->resize(1280, 720);
        view->setTitle(u"年会"_s);
    }
    for (int i = 1; i <= 40; ++i) {
        const EntryRecord entry{u"A%1"_s.arg(i), u"李娜"_s, u"市场部"_s};
        stepwise.addWinner(entry);
        stepwise.grab();
        atOnce.addWinner(entry);
    }
    QVERIFY(stepwise.rollingRect().height() < 720 / 4); // the panel did shrink
    QCOMPARE(stepwise.grab().toImage(), atOnce.grab().toImage());
}

void tst_Stage::photos()
{
    QTemporaryDir dir;
    QVERIFY(QDir(dir.path()).mkdir(u"照片"_s));
    const QDir photos(dir.filePath(u"照片"_s));
    QImage(30, 40, QImage::Format_RGB32).save(photos.filePath(u"A0001.png"_s));
    QFile broken(photos.filePath(u"A0002.jpg"_s));
    QVERIFY(broken.open(QIODevice::WriteOnly) && broken.write("not a picture") > 0);
    broken.close();
    QImage(30, 40, QImage::Format_RGB32).save(dir.filePath(u"outside.png"_s));

    StageView view;
    view.setPhotoFolder(photos.path());
    for (const QString &column1 : {u"A0001"_s, u"A0002"_s, u"A0003"_s, u"../outside"_s})
        view.addWinner({column1, u"李娜"_s, u"市场部"_s});
    QCOMPARE(view.winnerCount(), 4);
    QVERIFY(view.hasPhoto(0));
    QVERIFY(!view.hasPhoto(1)); // does not decode
    QVERIFY(!view.hasPhoto(2)); // no file
    QVERIFY(!view.hasPhoto(3)); // a name that leaves the folder
    view.resize(1280, 720);
    QVERIFY(!view.grab().isNull());
    view.clearRun();
    QCOMPARE(view.winnerCount(), 0);
}

QTEST_MAIN(tst_Stage)
#include "tst_Stage.moc"
