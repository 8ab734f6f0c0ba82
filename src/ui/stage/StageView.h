#pragma once

#include "StageLayout.h"
#include "StagePainting.h"
#include "entries/EntryTable.h"

#include <QColor>
#include <QImage>
#include <QPixmap>
#include <QPointer>
#include <QTimer>
#include <QWidget>

#include <array>
#include <memory>
#include <vector>

class GlyphCache;

// The stage: a full-screen view of a draw for the audience, on the screen beside the main
// window's. It is told what to show and shows nothing else: no controls, no cursor.
// StageLayout places everything; what stays put between steps is painted once into a pixmap,
// and a rolling step repaints only the rolling rows.
class StageView : public QWidget
{
    Q_OBJECT

public:
    explicit StageView(QWidget *parent = nullptr);
    ~StageView() override;
    StageView(const StageView &) = delete;
    StageView &operator=(const StageView &) = delete;

    void setTitle(const QString &title);
    // The prize named above the cards, and large before the run; an empty name shows no prize.
    void setPrize(const QString &name, const QImage &picture = QImage());
    QString prizeShown() const { return prizeName; }
    // Which columns roll and the cards show, and the rolling rows' sizes relative to each other.
    void setColumns(const std::array<bool, 3> &shown, const std::array<int, 3> &sizes = {1, 1, 1});
    // Where the winners' photos are: <column1>.jpg or <column1>.png.
    void setPhotoFolder(const QString &folder);

    void showRolling(const EntryRecord &entry);
    void addWinner(const EntryRecord &entry);
    // A step of the flash after a winner: the panel's frame in colour; an invalid colour
    // gives the frame its own colour back.
    void setPanelColour(const QColor &colour);
    // The run is over: the panel gives its room to the cards, the text shows in a banner under
    // them; the steps of its flash set its colour (an invalid colour: its own).
    void showClosingText(const QString &text);
    void setClosingTextColour(const QColor &colour);
    // A new run: no cards, no rolling entry, no closing text.
    void clearRun();
    // The winner (0-based) was not in the room; a replacement's card follows.
    void markAbsent(int winner);

    // Pages of cards: the newest while drawing; after the run they turn by themselves.
    int page() const { return currentPage; }
    int pageCount() const { return std::max(layout.grid.pageCount, 1); }
    // The next (1) or previous (-1) page, round; false when there is only one.
    bool turnPage(int delta);
    void setPageInterval(int milliseconds);

    int winnerCount() const { return int(cards.size()); }
    // What is on show: the rolling entry (empty once the run is over), the colours of the
    // panel's frame and of the closing text (invalid: their own), the cards' text lines.
    StageLayout::Phase phase() const;
    EntryRecord rollingEntry() const { return rollingShown ? rolling : EntryRecord(); }
    QString closingTextShown() const { return closingShown ? closingText : QString(); }
    QColor panelFrameColour() const { return panelColour; }
    QColor closingTextColour() const { return closingColour; }
    QStringList cardLines(int winner) const;
    int absentCount() const;
    bool hasPhoto(int winner) const;
    const StageLayout::Areas &areas() const { return layout; }
    // The part a rolling step repaints.
    QRect rollingRect() const { return layout.panelInner; }
    QRect cardsRect() const { return layout.cards; }

    // Full screen on the screen that StageScreen::choose picks beside the main window's.
    // Screens plugged in or out meanwhile move it; it closes when the screen it showed on
    // alone is gone and only the main window's is left.
    void openBeside(QWidget *mainWindow);
    bool sharesMainScreen() const { return shared; }

signals:
    // Keys pressed while the stage has the focus (one screen); the main window decides.
    void keyPressed(int key, bool autoRepeat);
    void closed();
    // Shown on a screen, alone or over the main window's (sharesMainScreen).
    void placed();

protected:
    void paintEvent(QPaintEvent *event) override;
    void resizeEvent(QResizeEvent *event) override;
    void keyPressEvent(QKeyEvent *event) override;
    void closeEvent(QCloseEvent *event) override;

private:
    void placeOnScreen();
    // Places everything again; the base is repainted only when more than the cards moved.
    void layOut();
    void rebuildBase();
    void rebuildCards();
    QStringList linesOf(const EntryRecord &entry) const;
    StageCardGrid::CardShape cardShape() const;
    // The rolling rows' fonts, fitted to the entry, and where their text lies.
    void fitRollingRows();
    void paintRolling(QPainter &painter);
    void paintPanelFrame(QPainter &painter, const QColor &colour) const;
    void updatePageTimer();

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
    std::vector<StagePainting::Card> cards;
    int currentPage = 0;
    QTimer pageTimer;

    StageLayout::Areas layout; // in widget pixels
    std::array<QFont, 3> rowFonts;
    QRect rollingText;

    QPixmap backdrop; // at the stage's size in device pixels
    QPixmap base;  // backdrop, title, prize and the panel in its own colour
    QPixmap scene; // base with the cards
    bool baseStale = true, cardsStale = true;

    std::unique_ptr<GlyphCache> glyphCache; // of the rolling rows
    std::unique_ptr<GlyphCache> cardGlyphs;
    QPointer<QWidget> mainWindow;
    bool watchingScreens = false;
    bool shared = false;
};
