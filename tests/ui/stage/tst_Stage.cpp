#include "ui/common/Fonts.h"
#include "ui/stage/GlyphCache.h"
#include "ui/stage/StageCardGrid.h"
#include "ui/stage/StageLayout.h"
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
    void layoutSizes_data();
    void layoutSizes();
    void rollingRepaintsOnlyItsRows();
    void glyphCacheDrawsLikeThePainter();
    void cardsAddedOneByOneLookAsIfAddedAtOnce();
    void photos();
    void pages();
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

void tst_Stage::layoutSizes_data()
{
    QTest::addColumn<QSize>("screen");
    QTest::addColumn<StageLayout::Phase>("phase");
    QTest::addColumn<int>("winners");
    QTest::addColumn<bool>("photo");
    for (const QSize screen : {QSize(1920, 1080), QSize(3840, 2160), QSize(1280, 720)}) {
        for (const auto phase : {StageLayout::Phase::Drawing, StageLayout::Phase::AfterRun}) {
            for (const int winners : {1, 2, 3, 4, 12, 50, 200, 1000}) {
                for (const bool photo : {false, true}) {
                    QTest::addRow("%dp %s %d%s", screen.height(),
                                  phase == StageLayout::Phase::Drawing ? "drawing" : "after", winners,
                                  photo ? " photos" : "")
                        << screen << phase << winners << photo;
                }
            }
        }
    }
}

void tst_Stage::layoutSizes()
{
    QFETCH(QSize, screen);
    QFETCH(StageLayout::Phase, phase);
    QFETCH(int, winners);
    QFETCH(bool, photo);
    StageLayout::Content content;
    content.phase = phase;
    content.winners = winners;
    content.prize = true;
    content.banner = phase == StageLayout::Phase::AfterRun;
    content.cards.photo = photo;
    const StageLayout::Areas a = StageLayout::layOut(screen, content);
    const double h = screen.height();
    const StageCardGrid::Grid &grid = a.grid;

    // Readable from the back of the hall, however many have won.
    QVERIFY2(grid.namePixels >= 0.04 * h, qPrintable(QString::number(grid.namePixels)));
    QVERIFY(grid.detailPixels >= 0.025 * h);
    if (winners == 1)
        QVERIFY2(grid.namePixels >= 0.12 * h, qPrintable(QString::number(grid.namePixels)));
    if (winners <= 3)
        QCOMPARE(grid.rows, 1);
    QCOMPARE(grid.pageCount, (winners + grid.perPage - 1) / grid.perPage);
    QCOMPARE(a.pageLabel.isEmpty(), grid.pageCount == 1);
    QCOMPARE(a.panel.isEmpty(), phase == StageLayout::Phase::AfterRun);

    // Every card of a full page, its text included, inside the cards area, which nothing covers.
    const QRectF cards(a.cards);
    for (int i = 0; i < grid.perPage; ++i) {
        const QRectF card = StageCardGrid::cardRect(grid, cards, i, grid.perPage);
        QVERIFY(cards.adjusted(-0.5, -0.5, 0.5, 0.5).contains(card));
        QVERIFY(StageCardGrid::textRect(card, content.cards).height()
                >= (grid.namePixels + grid.detailPixels) * StageCardGrid::lineHeight - 0.5);
    }
    for (const QRect &other : {a.title, a.prize, a.panel, a.pageLabel, a.banner})
        QVERIFY(!other.intersects(a.cards));
    QVERIFY(QRect(QPoint(0, 0), screen).contains(a.banner | a.pageLabel | a.cards));

    // Before the run the prize's picture is large.
    content.phase = StageLayout::Phase::BeforeRun;
    content.winners = 0;
    const StageLayout::Areas before = StageLayout::layOut(screen, content);
    QVERIFY(before.prizePicture.height() >= 0.25 * h);
    QVERIFY(before.prizeName.height() >= 0.1 * h && !before.prizeName.intersects(before.prizePicture));
}

void tst_Stage::rollingRepaintsOnlyItsRows()
{
    StageView view;
    view.setGeometry(0, 0, 1280, 720);
    view.addWinner({u"A0001"_s, u"李娜"_s, u"市场部"_s});
    view.showRolling({u"A0003"_s, u"王芳"_s, u"财务部"_s}); // the panel shows from the first step
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

void tst_Stage::pages()
{
    // 50 winners at 1080p: the newest page while drawing, then pages that turn by themselves.
    StageView view, plain;
    for (StageView *v : {&view, &plain}) {
        v->resize(1920, 1080);
        v->setPrize(u"一等奖"_s);
        v->showRolling({u"A0000"_s, u"李娜"_s, u"市场部"_s});
    }
    for (int i = 1; i <= 50; ++i) {
        const QString department = i == 7 ? u"华东大区市场营销与品牌推广中心第二事业部"_s : u"市场部"_s;
        view.addWinner({u"A%1"_s.arg(i), u"欧阳晓明"_s, department});
        plain.addWinner({u"A%1"_s.arg(i), u"欧阳晓明"_s, u"市场部"_s});
    }
    // A long department changes no card's size; its card still holds the whole text.
    QCOMPARE(view.areas().grid.namePixels, plain.areas().grid.namePixels);
    QCOMPARE(view.cardLines(6), QStringList({u"欧阳晓明"_s, u"A7 华东大区市场营销与品牌推广中心第二事业部"_s}));
    QVERIFY(view.pageCount() > 1);
    QCOMPARE(view.page(), view.pageCount() - 1);

    view.setPageInterval(20);
    view.showClosingText(u"谢谢参与！"_s);
    QCOMPARE(view.phase(), StageLayout::Phase::AfterRun);
    const int pages = view.pageCount();
    QVERIFY(pages > 1);
    QCOMPARE(view.page(), pages - 1);
    QTRY_COMPARE(view.page(), 0); // round to the first
    QTRY_COMPARE(view.page(), 1);
    view.setPageInterval(60000);
    QVERIFY(view.turnPage(-1));
    QVERIFY(view.turnPage(-1));
    QCOMPARE(view.page(), pages - 1);
    QCOMPARE(StagePainting::pageLabelText(view.page(), pages), u"第 %1/%1 页"_s.arg(pages));

    // A new run starts on its only page, and nothing turns.
    view.clearRun();
    view.addWinner({u"A1"_s, u"李娜"_s, u"市场部"_s});
    QCOMPARE(view.pageCount(), 1);
    QVERIFY(!view.turnPage(1));
}

QTEST_MAIN(tst_Stage)
#include "tst_Stage.moc"
