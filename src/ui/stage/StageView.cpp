#include "StageView.h"

#include "GlyphCache.h"
#include "StageScreen.h"
#include "ui/common/Fonts.h"
#include "ui/common/Pictures.h"

#include <QCloseEvent>
#include <QDir>
#include <QFileInfo>
#include <QGuiApplication>
#include <QImageReader>
#include <QKeyEvent>
#include <QPaintEvent>
#include <QPainter>
#include <QPainterPath>
#include <QScreen>
#include <QWindow>

#include <algorithm>
#include <cmath>

using namespace Qt::StringLiterals;

namespace {

// The main window's colours: the rolling text, the panel around it.
const QColor rollingGreen(0x00, 0xC0, 0x00);
const QColor panelLavender(0x80, 0x80, 0xFF);
const QColor titleGold(0xFF, 0xD7, 0x40);
const QColor cardText(0x8B, 0x00, 0x00);
const QColor cardSecondText(0x40, 0x30, 0x20);

// Photos are decoded no taller than this; a card on a 4K screen needs less.
constexpr int photoHeight = 480;

// Heights, in parts of the stage's height.
constexpr double margin = 0.02;
constexpr double titleHeight = 0.10;
constexpr double prizeHeight = 0.08;
// The panel of the rolling rows gives room to the cards when many have won.
constexpr double largePanel = 0.34, smallPanel = 0.22;
constexpr double frameHeight = 0.012;
// A rolling row alone in the panel is no taller than this, so that its glyphs stay few bytes.
constexpr double maxRowText = 0.12;
// The cards' text: from readable at the back of a hall up to half a rolling row. Below the
// comfortable size the panel shrinks first.
constexpr double minCardText = 0.015, comfortableCardText = 0.03, maxCardText = 0.05;

int px(double value)
{
    return int(std::lround(value));
}

// The largest pixel size up to pixels at which every line of text fits width.
int fittedPixels(QFont font, const QStringList &lines, int pixels, double width)
{
    font.setPixelSize(std::max(pixels, 1));
    const QFontMetricsF metrics(font);
    double widest = 0;
    for (const QString &line : lines)
        widest = std::max(widest, metrics.horizontalAdvance(line));
    if (widest <= width || widest <= 0)
        return std::max(pixels, 1);
    return std::max(1, int(pixels * width / widest));
}

// A photo file name must stay inside the photo folder.
bool safeFileName(const QString &name)
{
    return !name.isEmpty() && name != u"."_s && name != u".."_s && !name.contains(u'/')
           && !name.contains(u'\\') && !name.contains(u':');
}

QImage cropped(const QImage &image, double aspect)
{
    if (image.isNull())
        return image;
    const double imageAspect = double(image.width()) / image.height();
    if (imageAspect > aspect) {
        const int w = px(image.height() * aspect);
        return image.copy((image.width() - w) / 2, 0, w, image.height());
    }
    const int h = px(image.width() / aspect);
    return image.copy(0, (image.height() - h) / 3, image.width(), h); // faces sit high
}

// Line breaks as the settings hold them (CR LF) become the painter's.
QString plainLines(QString text)
{
    return text.replace(u"\r\n"_s, u"\n"_s).replace(u'\r', u'\n');
}

} // namespace

StageView::StageView(QWidget *parent)
    : QWidget(parent, Qt::Window | Qt::FramelessWindowHint),
      glyphCache(std::make_unique<GlyphCache>())
{
    setWindowTitle(u"ZOP摇号"_s);
    setCursor(Qt::BlankCursor);
    setAttribute(Qt::WA_OpaquePaintEvent);
    setAttribute(Qt::WA_NoSystemBackground);
    // The program ends with its main window, the stage open or not.
    setAttribute(Qt::WA_QuitOnClose, false);
    setFocusPolicy(Qt::StrongFocus);
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
    for (Card &card : cards)
        measure(card);
    layOut();
    update();
}

void StageView::setPhotoFolder(const QString &folder)
{
    photoFolder = folder;
}

void StageView::showRolling(const EntryRecord &entry)
{
    rolling = entry;
    const bool wasRolling = rollingShown;
    rollingShown = true;
    closingShown = false;
    // Only where the text was and where it goes is painted again.
    const QRect before = rollingText;
    fitRollingRows();
    update(wasRolling ? before | rollingText : panelInner);
}

void StageView::fitRollingRows()
{
    const std::array<const QString *, 4> columns{nullptr, &rolling.column1, &rolling.column2,
                                                 &rolling.column3};
    rollingText = QRect();
    for (int k = 1; k <= 3; ++k) {
        rowFonts[k] = QFont();
        if (rowArea[k].isEmpty() || columns[k]->isEmpty())
            continue;
        const int largest = std::min(px(rowArea[k].height() * 0.8), px(maxRowText * height()));
        const int pixels = fittedPixels(rowFont(k, 1), {*columns[k]}, largest, rowArea[k].width() * 0.96);
        rowFonts[k] = rowFont(k, pixels);
        const int width = int(glyphCache->width(rowFonts[k], *columns[k])) + pixels / 2;
        rollingText |= QRect(rowArea[k].center().x() - width / 2, rowArea[k].top(), width,
                             rowArea[k].height());
    }
    rollingText &= panelInner;
}

void StageView::addWinner(const EntryRecord &entry)
{
    Card card;
    card.entry = entry;
    card.photo = loadPhoto(entry.column1);
    measure(card);
    cards.push_back(std::move(card));
    const QRect panelBefore = panelArea;
    layOut();
    update(panelArea == panelBefore ? cardsArea : rect());
}

void StageView::setPanelColour(const QColor &colour)
{
    panelColour = colour;
    update(panelArea);
}

void StageView::showClosingText(const QString &text)
{
    closingText = plainLines(text);
    closingShown = true;
    rollingShown = false;
    updateRolling();
}

void StageView::setClosingTextColour(const QColor &colour)
{
    closingColour = colour;
    updateRolling();
}

void StageView::clearRun()
{
    cards.clear();
    rollingShown = false;
    closingShown = false;
    panelColour = QColor();
    closingColour = QColor();
    layOut();
    update();
}

int StageView::absentCount() const
{
    return int(std::count_if(cards.begin(), cards.end(), [](const Card &c) { return c.absent; }));
}

bool StageView::hasPhoto(int winner) const
{
    return winner >= 0 && winner < int(cards.size()) && !cards[winner].photo.isNull();
}

void StageView::updateRolling()
{
    update(panelInner);
}

QImage StageView::loadPhoto(const QString &column1) const
{
    if (photoFolder.isEmpty() || !safeFileName(column1))
        return {};
    for (const QString &suffix : {u".jpg"_s, u".png"_s}) {
        const QString file = QDir(photoFolder).filePath(column1 + suffix);
        if (!QFileInfo(file).isFile())
            continue;
        QImageReader reader(file);
        reader.setAutoTransform(true);
        const QSize size = reader.size();
        if (size.height() > photoHeight)
            reader.setScaledSize(size.scaled(size.width(), photoHeight, Qt::KeepAspectRatio));
        // A file that does not decode is a card without a photo, nothing more.
        QImage image = reader.read();
        if (!image.isNull())
            return cropped(image, StageCardGrid::photoAspect);
    }
    return {};
}

QStringList StageView::cardLines(const EntryRecord &entry) const
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

void StageView::measure(Card &card) const
{
    QFont font = Fonts::layoutFont(Fonts::heiti(), 10, true);
    font.setPixelSize(100);
    const QFontMetricsF metrics(font);
    card.widestLine = 0;
    for (const QString &line : cardLines(card.entry))
        card.widestLine = std::max(card.widestLine, metrics.horizontalAdvance(line) / 100.0);
}

QFont StageView::rowFont(int row, int pixels) const
{
    QFont font = Fonts::layoutFont(row == 1 ? Fonts::heiti() : Fonts::songti(), 10, true);
    font.setPixelSize(std::max(pixels, 1));
    return font;
}

void StageView::layOut()
{
    const QRect panelBefore = panelArea;
    layOutWithPanel(largePanel);
    if (!cards.empty()
        && (grid.perPage < int(cards.size()) || grid.textPixels < comfortableCardText * height()))
        layOutWithPanel(smallPanel);
    if (panelArea != panelBefore)
        baseStale = true;
    cardsStale = true;
    fitRollingRows();
}

void StageView::layOutWithPanel(double panelHeight)
{
    const int w = width(), h = height();
    const int m = px(margin * h);
    int top = m;
    titleArea = QRect(m, top, w - 2 * m, px(titleHeight * h));
    top = titleArea.bottom() + 1;
    prizeArea = QRect();
    if (!prizeName.isEmpty()) {
        prizeArea = QRect(m, top, w - 2 * m, px(prizeHeight * h));
        top = prizeArea.bottom() + 1;
    }
    top += m / 2;
    panelArea = QRect(m, top, w - 2 * m, px(panelHeight * h));
    frameWidth = std::max(2, px(frameHeight * h));
    panelInner = panelArea.adjusted(frameWidth, frameWidth, -frameWidth, -frameWidth);
    cardsArea = QRect(m, panelArea.bottom() + 1 + m, w - 2 * m, 0);
    cardsArea.setBottom(h - m - 1);

    // The shown rows share the panel in proportion to their sizes.
    int total = 0;
    for (int k = 0; k < 3; ++k)
        total += shownColumns[k] ? rowSizes[k] : 0;
    int y = panelInner.top();
    for (int k = 1; k <= 3; ++k) {
        const int rowHeight = shownColumns[k - 1] && total > 0
                                  ? panelInner.height() * rowSizes[k - 1] / total
                                  : 0;
        rowArea[k] = QRect(panelInner.left(), y, panelInner.width(), rowHeight);
        y += rowHeight;
    }

    StageCardGrid::CardText text;
    text.lines = 1;
    for (const Card &card : cards) {
        text.widestLine = std::max(text.widestLine, card.widestLine);
        text.lines = std::max(text.lines, int(cardLines(card.entry).size()));
        text.photo = text.photo || !card.photo.isNull();
    }
    cardsHavePhotos = text.photo;
    grid = StageCardGrid::layOut(QSizeF(cardsArea.size()), int(cards.size()), text,
                                 minCardText * h, maxCardText * h);
}

void StageView::paintPanelFrame(QPainter &painter, const QColor &colour) const
{
    QPainterPath frame;
    frame.setFillRule(Qt::OddEvenFill);
    const double radius = frameWidth * 2.0;
    frame.addRoundedRect(QRectF(panelArea), radius, radius);
    frame.addRect(QRectF(panelInner));
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

    const QStringList titleLines = title.split(u'\n');
    QFont titleFont = Fonts::layoutFont(Fonts::heiti(), 10, true);
    const int titlePixels = fittedPixels(titleFont, titleLines,
                                         px(titleArea.height() / (titleLines.size() * 1.25)),
                                         titleArea.width());
    titleFont.setPixelSize(titlePixels);
    painter.setFont(titleFont);
    const int shadow = std::max(1, titlePixels / 24);
    painter.setPen(QColor(0, 0, 0, 160));
    painter.drawText(titleArea.translated(shadow, shadow), Qt::AlignCenter, title);
    painter.setPen(titleGold);
    painter.drawText(titleArea, Qt::AlignCenter, title);

    if (!prizeArea.isEmpty()) {
        QFont prizeFont = Fonts::layoutFont(Fonts::heiti(), 10, true);
        QPixmap picture;
        if (!prizePicture.isNull()) {
            const QSize pictureSize = prizePicture.size().scaled(
                QSize(prizeArea.width() / 3, prizeArea.height()) * ratio, Qt::KeepAspectRatio);
            picture = QPixmap::fromImage(
                prizePicture.scaled(pictureSize, Qt::KeepAspectRatio, Qt::SmoothTransformation));
            picture.setDevicePixelRatio(ratio);
        }
        const double pictureWidth = picture.isNull() ? 0 : picture.deviceIndependentSize().width();
        const int gap = picture.isNull() ? 0 : prizeArea.height() / 4;
        const int prizePixels = fittedPixels(prizeFont, {prizeName}, px(prizeArea.height() * 0.7),
                                             prizeArea.width() - pictureWidth - gap);
        prizeFont.setPixelSize(prizePixels);
        const double nameWidth = QFontMetricsF(prizeFont).horizontalAdvance(prizeName);
        double x = prizeArea.center().x() - (pictureWidth + gap + nameWidth) / 2;
        if (!picture.isNull()) {
            const double pictureTop = prizeArea.top()
                                      + (prizeArea.height() - picture.deviceIndependentSize().height()) / 2;
            painter.drawPixmap(QPointF(x, pictureTop), picture);
            x += pictureWidth + gap;
        }
        painter.setFont(prizeFont);
        painter.setPen(Qt::white);
        painter.drawText(QRectF(x, prizeArea.top(), nameWidth + 1, prizeArea.height()),
                         Qt::AlignVCenter | Qt::AlignLeft, prizeName);
    }

    painter.fillRect(panelInner, QColor(0, 0, 40, 120));
    paintPanelFrame(painter, panelLavender);
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
    // Only the cards area changes: the rest of the scene is the base already.
    const qreal ratio = base.devicePixelRatio();
    painter.drawPixmap(cardsArea, base,
                       QRectF(QPointF(cardsArea.topLeft()) * ratio, QSizeF(cardsArea.size()) * ratio));

    if (grid.perPage > 0) {
        const int onPage = std::min(grid.perPage, int(cards.size()) - grid.first);
        const int usedColumns = std::min(grid.columns, onPage);
        const double gridWidth = usedColumns * grid.card.width() + (usedColumns - 1) * grid.gap;
        const double left = cardsArea.left() + (cardsArea.width() - gridWidth) / 2;
        for (int i = 0; i < onPage; ++i) {
            const QRectF rect(left + (i % grid.columns) * (grid.card.width() + grid.gap),
                              cardsArea.top() + (i / grid.columns) * (grid.card.height() + grid.gap),
                              grid.card.width(), grid.card.height());
            const int index = grid.first + i;
            paintCard(painter, cards[index], rect, index + 1 == int(cards.size()));
        }
    }
    cardsStale = false;
}

void StageView::paintCard(QPainter &painter, Card &card, const QRectF &rect, bool newest)
{
    painter.setRenderHint(QPainter::Antialiasing);
    const double pad = StageCardGrid::padding * rect.height();
    const double radius = rect.height() * 0.1;
    QLinearGradient paper(rect.topLeft(), rect.bottomLeft());
    // An absent winner's card stays, greyed, so that the audience sees why a name follows.
    paper.setColorAt(0, card.absent ? QColor(0xC8, 0xC8, 0xC8) : QColor(0xFF, 0xF8, 0xE1));
    paper.setColorAt(1, card.absent ? QColor(0x98, 0x98, 0x98) : QColor(0xFF, 0xDF, 0x96));
    const double border = std::max(1.0, rect.height() * (newest ? 0.05 : 0.02));
    painter.setPen(QPen(newest ? QColor(0xE0, 0x20, 0x20) : QColor(0xB8, 0x86, 0x0B), border));
    painter.setBrush(paper);
    // The border stays inside the card, and so inside the cards area that is redrawn.
    const double inside = border / 2 + 1;
    painter.drawRoundedRect(rect.adjusted(inside, inside, -inside, -inside), radius, radius);

    QRectF textRect = rect.adjusted(pad, pad, -pad, -pad);
    const QStringList lines = cardLines(card.entry);
    if (cardsHavePhotos) {
        const QRectF slot(textRect.left(), textRect.top(),
                          textRect.height() * StageCardGrid::photoAspect, textRect.height());
        const qreal ratio = painter.device()->devicePixelRatioF();
        if (!card.photo.isNull()) {
            const QSize wanted = (slot.size() * ratio).toSize();
            if (card.scaledPhoto.size() != wanted) {
                card.scaledPhoto = QPixmap::fromImage(
                    card.photo.scaled(wanted, Qt::IgnoreAspectRatio, Qt::SmoothTransformation));
                card.scaledPhoto.setDevicePixelRatio(ratio);
            }
            painter.drawPixmap(slot.topLeft(), card.scaledPhoto);
        } else {
            // No photo: the first character of the name stands in for it.
            painter.setPen(Qt::NoPen);
            painter.setBrush(QColor(0xC8, 0xA0, 0x60));
            painter.drawRoundedRect(slot, radius / 2, radius / 2);
            QFont initial = Fonts::layoutFont(Fonts::heiti(), 10, true);
            initial.setPixelSize(std::max(1, int(slot.width() * 0.6)));
            painter.setFont(initial);
            painter.setPen(Qt::white);
            const QString name = card.entry.column2.isEmpty() ? card.entry.column1 : card.entry.column2;
            painter.drawText(slot, Qt::AlignCenter, name.left(1));
        }
        textRect.setLeft(slot.right() + pad);
    }

    QFont font = Fonts::layoutFont(Fonts::heiti(), 10, true);
    font.setPixelSize(std::max(1, int(grid.textPixels)));
    const double lineStep = grid.textPixels * StageCardGrid::lineHeight;
    double y = textRect.center().y() - lineStep * lines.size() / 2;
    for (int k = 0; k < lines.size(); ++k) {
        font.setBold(k == 0);
        painter.setFont(font);
        painter.setPen(k == 0 ? cardText : cardSecondText);
        painter.drawText(QRectF(textRect.left(), y, textRect.width(), lineStep), Qt::AlignCenter,
                         lines[k]);
        y += lineStep;
    }
    if (card.absent) {
        QFont stamp = Fonts::layoutFont(Fonts::heiti(), 10, true);
        stamp.setPixelSize(std::max(1, int(rect.height() * 0.3)));
        painter.save();
        painter.translate(rect.center());
        painter.rotate(-15);
        painter.setFont(stamp);
        painter.setPen(QColor(0xD0, 0x10, 0x10, 0xD0));
        painter.drawText(QRectF(-rect.width() / 2, -rect.height() / 2, rect.width(), rect.height()),
                         Qt::AlignCenter, u"缺席"_s);
        painter.restore();
    }
}

void StageView::markAbsent(int winner)
{
    if (winner < 0 || winner >= int(cards.size()) || cards[winner].absent)
        return;
    cards[winner].absent = true;
    cardsStale = true;
    update(cardsArea);
}

void StageView::paintRolling(QPainter &painter)
{
    const std::array<const QString *, 4> columns{nullptr, &rolling.column1, &rolling.column2,
                                                 &rolling.column3};
    for (int k = 1; k <= 3; ++k) {
        if (rowFonts[k].pixelSize() <= 0)
            continue;
        const QFontMetricsF metrics(rowFonts[k]);
        const double width = glyphCache->width(rowFonts[k], *columns[k]);
        const QPointF origin(rowArea[k].center().x() + 0.5 - width / 2,
                             rowArea[k].top() + (rowArea[k].height() - metrics.height()) / 2
                                 + metrics.ascent());
        glyphCache->drawText(painter, origin, rowFonts[k], rollingGreen, *columns[k]);
    }
}

void StageView::paintClosingText(QPainter &painter)
{
    const QStringList lines = closingText.split(u'\n');
    const QFont font = rowFont(2, fittedPixels(rowFont(2, 1), lines,
                                               px(panelInner.height() * 0.8 / lines.size()),
                                               panelInner.width() * 0.96));
    painter.setFont(font);
    painter.setPen(closingColour.isValid() ? closingColour : rollingGreen);
    painter.drawText(panelInner, Qt::AlignCenter, closingText);
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
    if (panelColour.isValid() && exposed.intersects(panelArea))
        paintPanelFrame(painter, panelColour);
    if (exposed.intersects(panelInner)) {
        painter.setClipRect(panelInner);
        painter.setRenderHint(QPainter::TextAntialiasing);
        if (closingShown)
            paintClosingText(painter);
        else if (rollingShown)
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
}
