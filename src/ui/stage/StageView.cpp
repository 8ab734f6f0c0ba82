#include "StageView.h"

#include "GlyphCache.h"
#include "StagePhotos.h"
#include "StageScreen.h"
#include "ui/common/Fonts.h"
#include "ui/common/Pictures.h"

#include <QCloseEvent>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QPaintEvent>
#include <QPainter>
#include <QPainterPath>
#include <QScreen>
#include <QWindow>

#include <algorithm>
#include <cmath>

using namespace Qt::StringLiterals;
using StageLayout::Phase;

namespace {

// The main window's colours: the rolling text, the panel around it.
const QColor rollingGreen(0x00, 0xC0, 0x00);
const QColor panelLavender(0x80, 0x80, 0xFF);

// A rolling row alone in the panel is no taller than this part of the screen, so that its
// glyphs stay few bytes.
constexpr double maxRowText = 0.12;
// After the run, a page of cards shows this long before the next.
constexpr int pageInterval = 6000;

int px(double value)
{
    return int(std::lround(value));
}

// Line breaks as the settings hold them (CR LF) become the painter's.
QString plainLines(QString text)
{
    return text.replace(u"\r\n"_s, u"\n"_s).replace(u'\r', u'\n');
}

QFont rowFont(int column, int pixels)
{
    QFont font = Fonts::layoutFont(column == 0 ? Fonts::heiti() : Fonts::songti(), 10, true);
    font.setPixelSize(std::max(pixels, 1));
    return font;
}

} // namespace

StageView::StageView(QWidget *parent)
    : QWidget(parent, Qt::Window | Qt::FramelessWindowHint),
      glyphCache(std::make_unique<GlyphCache>()),
      cardGlyphs(std::make_unique<GlyphCache>())
{
    setWindowTitle(u"ZOP摇号"_s);
    setCursor(Qt::BlankCursor);
    setAttribute(Qt::WA_OpaquePaintEvent);
    setAttribute(Qt::WA_NoSystemBackground);
    // The program ends with its main window, the stage open or not.
    setAttribute(Qt::WA_QuitOnClose, false);
    setFocusPolicy(Qt::StrongFocus);
    pageTimer.setInterval(pageInterval);
    connect(&pageTimer, &QTimer::timeout, this, [this] { turnPage(1); });
}

StageView::~StageView() = default;

void StageView::setTitle(const QString &text)
{
    if (plainLines(text) == title)
        return;
    title = plainLines(text);
    baseStale = true;
    update();
}

void StageView::setPrize(const QString &name, const QImage &picture)
{
    if (name == prizeName && picture == prizePicture)
        return;
    prizeName = name;
    prizePicture = picture;
    baseStale = true;
    layOut();
    update();
}

void StageView::setColumns(const std::array<bool, 3> &shown, const std::array<int, 3> &sizes)
{
    std::array<int, 3> clamped{};
    for (int k = 0; k < 3; ++k)
        clamped[k] = std::clamp(sizes[k], 1, 200);
    // Asked after every winner: the cards are laid out again only for a change.
    if (shown == shownColumns && clamped == rowSizes)
        return;
    shownColumns = shown;
    rowSizes = clamped;
    for (StagePainting::Card &card : cards)
        card.lines = linesOf(card.entry);
    layOut();
    update();
}

void StageView::setPhotoFolder(const QString &folder)
{
    photoFolder = folder;
}

Phase StageView::phase() const
{
    if (closingShown)
        return Phase::AfterRun;
    if (rollingShown)
        return Phase::Drawing;
    return cards.empty() ? Phase::BeforeRun : Phase::AfterRun;
}

void StageView::showRolling(const EntryRecord &entry)
{
    rolling = entry;
    const Phase before = phase();
    rollingShown = true;
    closingShown = false;
    if (phase() != before) {
        layOut();
        update();
        return;
    }
    // Only where the text was and where it goes is painted again.
    const QRect textBefore = rollingText;
    fitRollingRows();
    update(textBefore | rollingText);
}

void StageView::fitRollingRows()
{
    const std::array<const QString *, 3> columns{&rolling.column1, &rolling.column2, &rolling.column3};
    rollingText = QRect();
    for (int k = 0; k < 3; ++k) {
        rowFonts[k] = QFont();
        const QRect row = layout.rollingRows[k];
        if (row.isEmpty() || columns[k]->isEmpty() || phase() != Phase::Drawing)
            continue;
        const int largest = std::min(px(row.height() * 0.8), px(maxRowText * height()));
        const int pixels = StagePainting::fittedPixels(rowFont(k, 1), {*columns[k]}, largest, row.width() * 0.96);
        rowFonts[k] = rowFont(k, pixels);
        const int width = int(glyphCache->width(rowFonts[k], *columns[k])) + pixels / 2;
        rollingText |= QRect(row.center().x() - width / 2, row.top(), width, row.height());
    }
    rollingText &= layout.panelInner;
}

void StageView::addWinner(const EntryRecord &entry)
{
    StagePainting::Card card;
    card.entry = entry;
    card.lines = linesOf(entry);
    card.photo = StagePhotos::load(photoFolder, entry.column1);
    cards.push_back(std::move(card));
    const StageLayout::Areas before = layout;
    layOut();
    // The newest card shows.
    currentPage = pageCount() - 1;
    updatePageTimer();
    const bool onlyCards = before.panel == layout.panel && before.prize == layout.prize
                           && before.prizePicture == layout.prizePicture;
    update(onlyCards ? before.cards | before.pageLabel | layout.cards | layout.pageLabel : rect());
}

void StageView::setPanelColour(const QColor &colour)
{
    panelColour = colour;
    update(layout.panel);
}

void StageView::showClosingText(const QString &text)
{
    closingText = plainLines(text);
    closingShown = true;
    rollingShown = false;
    layOut();
    currentPage = pageCount() - 1;
    updatePageTimer();
    update();
}

void StageView::setClosingTextColour(const QColor &colour)
{
    closingColour = colour;
    update(layout.banner);
}

void StageView::clearRun()
{
    cards.clear();
    rollingShown = false;
    closingShown = false;
    panelColour = QColor();
    closingColour = QColor();
    currentPage = 0;
    layOut();
    updatePageTimer();
    update();
}

bool StageView::turnPage(int delta)
{
    const int count = pageCount();
    if (count <= 1)
        return false;
    currentPage = ((currentPage + delta) % count + count) % count;
    cardsStale = true;
    // A page turned by hand shows its full time.
    if (pageTimer.isActive())
        pageTimer.start();
    update(layout.cards | layout.pageLabel);
    return true;
}

void StageView::setPageInterval(int milliseconds)
{
    pageTimer.setInterval(milliseconds);
}

void StageView::updatePageTimer()
{
    if (phase() == Phase::AfterRun && pageCount() > 1) {
        if (!pageTimer.isActive())
            pageTimer.start();
    } else {
        pageTimer.stop();
    }
}

int StageView::absentCount() const
{
    return int(std::count_if(cards.begin(), cards.end(), [](const auto &c) { return c.absent; }));
}

bool StageView::hasPhoto(int winner) const
{
    return winner >= 0 && winner < int(cards.size()) && !cards[winner].photo.isNull();
}

QStringList StageView::cardLines(int winner) const
{
    return winner >= 0 && winner < int(cards.size()) ? cards[winner].lines : QStringList();
}

QStringList StageView::linesOf(const EntryRecord &entry) const
{
    // The name (the second column in the usual data) leads; the other shown columns share
    // the second line, so that a card stays two lines high.
    const std::array<const QString *, 3> columns{&entry.column1, &entry.column2, &entry.column3};
    std::array<bool, 3> shown = shownColumns;
    if (shown == std::array<bool, 3>{false, false, false})
        shown = {true, true, true}; // with no column rolling, the cards still say who won
    const int lead = shown[1] ? 1 : shown[0] ? 0 : 2;
    QStringList rest;
    for (int k = 0; k < 3; ++k) {
        if (shown[k] && k != lead)
            rest << *columns[k];
    }
    QStringList lines{*columns[lead]};
    if (!rest.isEmpty())
        lines << rest.join(u' ');
    return lines;
}

StageCardGrid::CardShape StageView::cardShape() const
{
    StageCardGrid::CardShape shape;
    shape.detailLine = std::count(shownColumns.begin(), shownColumns.end(), true) != 1;
    // Every card keeps a photo slot when one has a photo, so that the cards line up.
    shape.photo = std::any_of(cards.begin(), cards.end(), [](const auto &c) { return !c.photo.isNull(); });
    return shape;
}

void StageView::layOut()
{
    StageLayout::Content content;
    content.phase = phase();
    content.winners = int(cards.size());
    content.prize = !prizeName.isEmpty();
    content.banner = closingShown && !closingText.isEmpty();
    content.cards = cardShape();
    content.rollingColumns = shownColumns;
    content.rollingSizes = rowSizes;
    const StageLayout::Areas before = layout;
    layout = StageLayout::layOut(size(), content);
    if (layout.panel != before.panel || layout.title != before.title || layout.prize != before.prize
        || layout.prizePicture != before.prizePicture || layout.prizeName != before.prizeName)
        baseStale = true;
    currentPage = std::clamp(currentPage, 0, pageCount() - 1);
    cardsStale = true;
    fitRollingRows();
}

void StageView::paintPanelFrame(QPainter &painter, const QColor &colour) const
{
    QPainterPath frame;
    frame.setFillRule(Qt::OddEvenFill);
    const double radius = layout.frameWidth * 2.0;
    frame.addRoundedRect(QRectF(layout.panel), radius, radius);
    frame.addRect(QRectF(layout.panelInner));
    painter.setRenderHint(QPainter::Antialiasing);
    painter.fillPath(frame, colour);
}

void StageView::rebuildBase()
{
    const qreal ratio = devicePixelRatioF();
    base = QPixmap(size() * ratio);
    base.setDevicePixelRatio(ratio);
    QPainter painter(&base);
    painter.setRenderHint(QPainter::SmoothPixmapTransform);
    if (backdrop.size() != base.size()) {
        backdrop = Pictures::displayBackdrop(base.size());
        backdrop.setDevicePixelRatio(ratio);
    }
    painter.drawPixmap(0, 0, backdrop);
    StagePainting::paintTitle(painter, layout.title, title);
    if (!layout.prize.isEmpty())
        StagePainting::paintPrizeHeading(painter, layout.prize, prizeName, prizePicture);
    if (!layout.prizeName.isEmpty())
        StagePainting::paintPrizeShowcase(painter, layout.prizePicture, layout.prizeName, prizeName, prizePicture);
    if (!layout.panel.isEmpty()) {
        painter.fillRect(layout.panelInner, QColor(0, 0, 40, 120));
        paintPanelFrame(painter, panelLavender);
    }
    baseStale = false;
    cardsStale = true;
    scene = QPixmap(); // the cards are put on a fresh copy of the whole base
}

void StageView::rebuildCards()
{
    if (baseStale)
        rebuildBase();
    if (scene.size() != base.size() || scene.devicePixelRatio() != base.devicePixelRatio())
        scene = base;
    QPainter painter(&scene);
    // Only the cards and the page label change: the rest of the scene is the base already.
    const qreal ratio = base.devicePixelRatio();
    for (const QRect &area : {layout.cards, layout.pageLabel}) {
        if (!area.isEmpty())
            painter.drawPixmap(area, base, QRectF(QPointF(area.topLeft()) * ratio, QSizeF(area.size()) * ratio));
    }
    const StageLayout::Areas &a = layout;
    if (a.grid.perPage > 0) {
        const StageCardGrid::CardShape shape = cardShape();
        const int first = currentPage * a.grid.perPage;
        const int onPage = std::min(a.grid.perPage, int(cards.size()) - first);
        const bool drawing = phase() == Phase::Drawing;
        for (int i = 0; i < onPage; ++i) {
            const int index = first + i;
            StagePainting::paintCard(painter, cards[index], StageCardGrid::cardRect(a.grid, a.cards, i, onPage),
                                     shape, a.grid, drawing && index + 1 == int(cards.size()), *cardGlyphs);
        }
    }
    if (!a.pageLabel.isEmpty())
        StagePainting::paintPageLabel(painter, a.pageLabel, currentPage, pageCount());
    cardsStale = false;
}

void StageView::markAbsent(int winner)
{
    if (winner < 0 || winner >= int(cards.size()) || cards[winner].absent)
        return;
    cards[winner].absent = true;
    cardsStale = true;
    update(layout.cards);
}

void StageView::paintRolling(QPainter &painter)
{
    const std::array<const QString *, 3> columns{&rolling.column1, &rolling.column2, &rolling.column3};
    for (int k = 0; k < 3; ++k) {
        if (rowFonts[k].pixelSize() <= 0)
            continue;
        const QRect row = layout.rollingRows[k];
        const QFontMetricsF metrics(rowFonts[k]);
        const double width = glyphCache->width(rowFonts[k], *columns[k]);
        const QPointF origin(row.center().x() + 0.5 - width / 2,
                             row.top() + (row.height() - metrics.height()) / 2 + metrics.ascent());
        glyphCache->drawText(painter, origin, rowFonts[k], rollingGreen, *columns[k]);
    }
}

void StageView::paintEvent(QPaintEvent *event)
{
    if (baseStale || base.devicePixelRatio() != devicePixelRatioF() || base.size() != size() * devicePixelRatioF())
        rebuildBase();
    if (cardsStale)
        rebuildCards();
    QPainter painter(this);
    const QRect exposed = event->rect();
    const qreal ratio = scene.devicePixelRatio();
    painter.drawPixmap(exposed, scene,
                       QRectF(QPointF(exposed.topLeft()) * ratio, QSizeF(exposed.size()) * ratio));
    if (panelColour.isValid() && exposed.intersects(layout.panel))
        paintPanelFrame(painter, panelColour);
    if (!layout.banner.isEmpty() && exposed.intersects(layout.banner))
        StagePainting::paintBanner(painter, layout.banner, closingText, closingColour);
    if (rollingShown && exposed.intersects(layout.panelInner)) {
        painter.setClipRect(layout.panelInner);
        painter.setRenderHint(QPainter::TextAntialiasing);
        paintRolling(painter);
    }
}

void StageView::resizeEvent(QResizeEvent *event)
{
    QWidget::resizeEvent(event);
    layOut();
}

void StageView::keyPressEvent(QKeyEvent *event)
{
    emit keyPressed(event->key(), event->isAutoRepeat());
}

void StageView::closeEvent(QCloseEvent *event)
{
    QWidget::closeEvent(event);
    emit closed();
}

void StageView::openBeside(QWidget *window)
{
    mainWindow = window;
    if (!watchingScreens) {
        watchingScreens = true;
        // Queued: the platform has finished moving windows off a removed screen by then.
        connect(qApp, &QGuiApplication::screenAdded, this, &StageView::placeOnScreen,
                Qt::QueuedConnection);
        connect(qApp, &QGuiApplication::screenRemoved, this, &StageView::placeOnScreen,
                Qt::QueuedConnection);
    }
    placeOnScreen();
}

void StageView::placeOnScreen()
{
    if (!mainWindow) {
        close();
        return;
    }
    const QList<QScreen *> screens = QGuiApplication::screens();
    QList<QRect> geometries;
    for (const QScreen *s : screens)
        geometries << s->geometry();
    // The window's own screen: separate X screens all start at 0,0, so a point names none.
    QScreen *mainScreen = mainWindow->screen();
    const int chosen = StageScreen::choose(geometries, int(screens.indexOf(mainScreen)));
    if (chosen < 0) {
        close();
        return;
    }
    const bool nowShared = screens[chosen] == mainScreen;
    // The projector went away: the stage does not jump onto the organiser's screen.
    if (isVisible() && nowShared && !shared) {
        close();
        return;
    }
    if (isVisible() && nowShared != shared)
        hide();
    shared = nowShared;
    // Beside the main window the stage never takes the keyboard; covering it, it must.
    setAttribute(Qt::WA_ShowWithoutActivating, !shared);
    setWindowFlag(Qt::WindowDoesNotAcceptFocus, !shared);
    if (!windowHandle())
        create();
    windowHandle()->setScreen(screens[chosen]);
    setGeometry(screens[chosen]->geometry());
    // Not showFullScreen(): it would take the focus from the main window.
    setWindowState(windowState() | Qt::WindowFullScreen);
    show();
    if (shared) {
        activateWindow();
        setFocus();
    } else {
        mainWindow->activateWindow();
    }
    emit placed();
}
