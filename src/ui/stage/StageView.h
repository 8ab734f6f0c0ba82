#pragma once

#include "StageCardGrid.h"
#include "entries/EntryTable.h"

#include <QColor>
#include <QFont>
#include <QImage>
#include <QPixmap>
#include <QPointer>
#include <QWidget>

#include <array>
#include <memory>
#include <vector>

class GlyphCache;

// The stage: a full-screen view of a draw for the audience, on the screen beside the main
// window's. It is told what to show and shows nothing else: no controls, no cursor, no dialog.
// Sizes follow the screen height. What stays put between steps is painted once into a
// pixmap; a rolling step repaints only the rolling rows.
class StageView : public QWidget
{
    Q_OBJECT

public:
    explicit StageView(QWidget *parent = nullptr);
    ~StageView() override;
    StageView(const StageView &) = delete;
    StageView &operator=(const StageView &) = delete;

    void setTitle(const QString &title);
    // The current prize and its picture; an empty name shows no prize.
    void setPrize(const QString &name, const QImage &picture = QImage());
    // Which columns roll and the cards show, and the rolling rows' sizes relative to each other.
    void setColumns(const std::array<bool, 3> &shown, const std::array<int, 3> &sizes = {1, 1, 1});
    // Where the winners' photos are: <column1>.jpg or <column1>.png.
    void setPhotoFolder(const QString &folder);

    void showRolling(const EntryRecord &entry);
    void addWinner(const EntryRecord &entry);
    // A step of the flash after a winner: the panel's frame in colour; an invalid colour
    // gives the frame its own colour back.
    void setPanelColour(const QColor &colour);
    // The rolling rows give way to the closing text; the steps of its flash set its colour
    // (an invalid colour: its own).
    void showClosingText(const QString &text);
    void setClosingTextColour(const QColor &colour);
    // A new run: no cards, no rolling entry, no closing text.
    void clearRun();
    // The winner (0-based) was not in the room; a replacement's card follows.
    void markAbsent(int winner);

    int winnerCount() const { return int(cards.size()); }
    // What is on show: the rolling entry (empty once the closing text shows), the colours of
    // the panel's frame and of the closing text (invalid: their own), and the absent cards.
    EntryRecord rollingEntry() const { return rollingShown ? rolling : EntryRecord(); }
    QString closingTextShown() const { return closingShown ? closingText : QString(); }
    QColor panelFrameColour() const { return panelColour; }
    QColor closingTextColour() const { return closingColour; }
    int absentCount() const;
    bool hasPhoto(int winner) const;
    StageCardGrid::Grid cardGrid() const { return grid; }
    // The part a rolling step repaints.
    QRect rollingRect() const { return panelInner; }
    QRect cardsRect() const { return cardsArea; }

    // Full screen on the screen that StageScreen::choose picks beside the main window's.
    // Screens plugged in or out meanwhile move it; it closes when the screen it showed on
    // alone is gone and only the main window's is left.
    void openBeside(QWidget *mainWindow);
    bool sharesMainScreen() const { return shared; }

signals:
    // Keys pressed while the stage has the focus (one screen); the main window decides.
    void keyPressed(int key, bool autoRepeat);
    void closed();

protected:
    void paintEvent(QPaintEvent *event) override;
    void resizeEvent(QResizeEvent *event) override;
    void keyPressEvent(QKeyEvent *event) override;
    void closeEvent(QCloseEvent *event) override;

private:
    struct Card {
        EntryRecord entry;
        QImage photo;         // decoded once, at most photo height
        QPixmap scaledPhoto;  // at the card's size
        double widestLine = 0; // of its text at one pixel
        bool absent = false;
    };

    void placeOnScreen();
    // Places everything and the cards; the panel shrinks when the cards need room.
    void layOut();
    void layOutWithPanel(double panelHeight);
    void rebuildBase();
    void rebuildCards();
    void measure(Card &card) const;
    QStringList cardLines(const EntryRecord &entry) const;
    QFont rowFont(int row, int pixels) const;
    void paintCard(QPainter &painter, Card &card, const QRectF &rect, bool newest);
    // The rolling rows' fonts, fitted to the entry, and where their text lies.
    void fitRollingRows();
    void paintRolling(QPainter &painter);
    void paintClosingText(QPainter &painter);
    void paintPanelFrame(QPainter &painter, const QColor &colour) const;
    QImage loadPhoto(const QString &column1) const;
    void updateRolling();

    QString title;
    QString prizeName;
    QImage prizePicture;
    std::array<bool, 3> shownColumns{true, true, true};
    std::array<int, 3> rowSizes{1, 1, 1};
    QString photoFolder;

    EntryRecord rolling;
    bool rollingShown = false;
    QString closingText;
    bool closingShown = false;
    QColor panelColour, closingColour;
    std::vector<Card> cards;
    StageCardGrid::Grid grid;
    bool cardsHavePhotos = false; // then every card keeps a photo slot

    // Layout, in widget pixels.
    QRect titleArea, prizeArea, panelArea, panelInner, cardsArea;
    int frameWidth = 0;
    std::array<QRect, 4> rowArea; // 1..3
    std::array<QFont, 4> rowFonts;
    QRect rollingText;

    QPixmap backdrop; // at the stage's size in device pixels
    QPixmap base;  // backdrop, title, prize and the panel in its own colour
    QPixmap scene; // base with the cards
    bool baseStale = true, cardsStale = true;

    std::unique_ptr<GlyphCache> glyphCache; // of the rolling rows
    QPointer<QWidget> mainWindow;
    bool watchingScreens = false;
    bool shared = false;
};
