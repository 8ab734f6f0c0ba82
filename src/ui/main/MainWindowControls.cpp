#include "MainWindow.h"

#include "ui/common/CaptionLabel.h"
#include "ui/common/Fonts.h"
#include "ui/common/PictureBox.h"
#include "ui/common/Pictures.h"
#include "ui/common/WidgetColours.h"
#include "ui/stage/StageView.h"
#include "ui/stage/StageWindow.h"

#include <QApplication>
#include <QComboBox>
#include <QGroupBox>
#include <QImage>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTimer>

// The main window's controls: what each is, how it looks, where it sits in the twip layout and
// which handler it calls. What the handlers do is in MainWindow.cpp.

using namespace Qt::StringLiterals;
using WidgetColours::setBackColor;
using WidgetColours::setForeColor;

const QColor MainWindow::rollingGreen(0x00, 0xC0, 0x00);
const QColor MainWindow::panelColour(0x80, 0x80, 0xFF);

namespace {

const QColor red(0xFF, 0x00, 0x00);
const QColor blue(0x00, 0x00, 0xFF);

template<typename T>
T *named(T *control, const QString &name)
{
    control->setObjectName(name);
    return control;
}

QString indexed(const QString &name, int index)
{
    return name + u'(' + QString::number(index) + u')';
}

} // namespace

void MainWindow::createControls()
{
    // Controls without a font of their own take the window's, the usual 宋体 9 pt of a
    // Chinese desktop.
    auto *clientArea = named(new QWidget(this), u"ClientArea"_s);
    layout = std::make_unique<WindowLayout>(*this, *clientArea);
    layout->setFont(this, Fonts::songti(), 9);

    rollListTimer = named(new QTimer(this), u"rollListTimer"_s);
    rollListTimer->setInterval(100);
    connect(rollListTimer, &QTimer::timeout, this, &MainWindow::advanceRollList);

    quickSettingsPanel = named(new QGroupBox(u"[摇号设置]"_s, clientArea), u"quickSettingsPanel"_s);
    setBackColor(quickSettingsPanel, QColor(0xFF, 0xFF, 0xC0));
    quickSettingsPanel->setAutoFillBackground(true);
    setForeColor(quickSettingsPanel, blue);
    statusFrame = named(new QGroupBox(clientArea), u"statusFrame"_s);
    startButton = named(new QPushButton(u"开始"_s, clientArea), u"startButton"_s);
    setBackColor(startButton, QColor(0xFF, 0x80, 0x80));
    layout->setFont(startButton, Fonts::songti(), 26.25, true);
    startButton->setToolTip(u"空格键开始"_s);
    startButton->setEnabled(false);
    displayFrame = named(new QGroupBox(clientArea), u"displayFrame"_s);
    setBackColor(displayFrame, QColor(0xE0, 0xE0, 0xE0));
    displayFrame->setAutoFillBackground(true);
    winnerListFrame = named(new QGroupBox(clientArea), u"winnerListFrame"_s);

    const QColor titleColours[2] = {red, QColor(0x40, 0x40, 0x40)};
    for (int i = 0; i < 2; ++i) {
        titleLabel[i] = named(new CaptionLabel(clientArea), indexed(u"titleLabel"_s, i));
        titleLabel[i]->setText(u"标题"_s);
        titleLabel[i]->setAlignment(Qt::AlignHCenter | Qt::AlignTop);
        setForeColor(titleLabel[i], titleColours[i]);
        layout->setFont(titleLabel[i], Fonts::songti(), 26.25, true);
    }
    const Pictures::Pointing pointing[2] = {Pictures::Pointing::Left, Pictures::Pointing::Right};
    for (int i = 0; i < 2; ++i) {
        widthHandle[i] = named(new PictureBox(clientArea), indexed(u"widthHandle"_s, i));
        widthHandle[i]->setPicture([direction = pointing[i]](QSize size) {
            return Pictures::triangle(direction, size);
        });
        widthHandle[i]->setCursor(Qt::PointingHandCursor);
        connect(widthHandle[i], &PictureBox::clicked, this, [this, i] { collapseOrExpand(i); });
    }
    widthHandle[1]->hide();
    flashPanel = named(new CaptionLabel(clientArea), u"flashPanel"_s);
    setBackColor(flashPanel, panelColour);
    flashPanel->setAutoFillBackground(true);
    openPanelTab = named(new CaptionLabel(clientArea), u"openPanelTab"_s);
    openPanelTab->setText(u">>>\r\n摇\r\n号\r\n设\r\n置\r\n>>>\r\n"_s);
    setBackColor(openPanelTab, QColor(0xFF, 0xFF, 0x80));
    openPanelTab->setAutoFillBackground(true);
    setForeColor(openPanelTab, blue);
    layout->setFont(openPanelTab, Fonts::songti(), 10.5);
    openPanelTab->setCursor(Qt::PointingHandCursor);
    stackFrontToBack({quickSettingsPanel, statusFrame, startButton, displayFrame, winnerListFrame, titleLabel[0], titleLabel[1], widthHandle[1],
                      widthHandle[0], flashPanel, openPanelTab});

    // The quick settings panel.
    confirmButton = named(new QPushButton(u"确定设置"_s, quickSettingsPanel), u"confirmButton"_s);
    drawCountBox = named(new QLineEdit(quickSettingsPanel), u"drawCountBox"_s);
    dataFileBox = named(new QLineEdit(quickSettingsPanel), u"dataFileBox"_s);
    dataFileBox->setText(u"测试数据.txt"_s);
    advancedSettingsLink = named(new CaptionLabel(quickSettingsPanel), u"advancedSettingsLink"_s);
    advancedSettingsLink->setText(u" 高级设置 "_s);
    setForeColor(advancedSettingsLink, blue);
    layout->setFont(advancedSettingsLink, Fonts::songti(), 9, false, true);
    advancedSettingsLink->setCursor(Qt::PointingHandCursor);
    closePanelTab = named(new CaptionLabel(quickSettingsPanel), u"closePanelTab"_s);
    closePanelTab->setText(u"<<<\r\n|收\r\n|起\r\n<<<"_s);
    setForeColor(closePanelTab, blue);
    closePanelTab->setCursor(Qt::PointingHandCursor);
    // The panel's small labels were drawn for an 8-point face whose Latin letters are half as
    // wide as an ideograph; the mono cut of 黑体 is one, so "<<<" fits its 17 pixels.
    layout->setFont(closePanelTab, Fonts::heiti(), 8);
    const QString panelCaptions[2] = {u"摇出个数："_s, u"数据文件："_s};
    for (int i = 0; i < 2; ++i) {
        panelCaption[i] = named(new CaptionLabel(quickSettingsPanel), indexed(u"panelCaption"_s, i));
        panelCaption[i]->setText(panelCaptions[i]);
        // The panel's blue is for its caption only.
        setForeColor(panelCaption[i], QApplication::palette().color(QPalette::WindowText));
        layout->setFont(panelCaption[i], Fonts::heiti(), 8);
    }
    stageLink = named(new CaptionLabel(quickSettingsPanel), u"stageLink"_s);
    stageLink->setText(u" 投影大屏 "_s);
    stageLink->setToolTip(u"F5"_s);
    setForeColor(stageLink, blue);
    layout->setFont(stageLink, Fonts::songti(), 9, false, true);
    stageLink->setCursor(Qt::PointingHandCursor);
    prizeRow = std::make_unique<PrizeRow>(quickSettingsPanel, *layout, settings, run, messages, procedure);
    prizeRow->chosen = [this] {
        drawCountBox->setText(QString::number(prizeRow->drawCount()));
        showDrawnCount();
        // The stage names it until a run starts.
        // A prize without a picture has no file name to load (Qt warns on an empty one).
        const QString picture = currentPrizePicture();
        if (stage)
            stage->setChosenPrize(currentPrizeName(), picture.isEmpty() ? QImage() : QImage(picture));
    };
    QComboBox *prizeBox = prizeRow->combo();
    CaptionLabel *prizeCaption = prizeRow->caption();
    stackFrontToBack({prizeBox, confirmButton, dataFileBox, drawCountBox, advancedSettingsLink, stageLink, closePanelTab, prizeCaption,
                      panelCaption[1], panelCaption[0]});

    // The status line.
    const QString statusCaptions[3] = {u"数据文件:"_s, u"记录条数:"_s, u"已出结果:"_s};
    for (int i = 0; i < 3; ++i) {
        statusLabel[i] = named(new CaptionLabel(statusFrame), indexed(u"statusLabel"_s, i));
        statusLabel[i]->setText(statusCaptions[i]);
    }
    setForeColor(statusLabel[2], red);
    layout->setFont(statusLabel[2], Fonts::songti(), 14.25, true);
    soundIndicator = named(new CaptionLabel(statusFrame), u"soundIndicator"_s);
    setForeColor(soundIndicator, red);
    stackFrontToBack({statusLabel[2], soundIndicator, statusLabel[1], statusLabel[0]});

    // The display area.
    rollList = named(new CaptionLabel(displayFrame), u"rollList"_s);
    setForeColor(rollList, rollingGreen);
    rollList->hide();
    for (int k = 1; k <= 3; ++k) {
        rollingRow[k] = named(new CaptionLabel(displayFrame), indexed(u"rollingRow"_s, k));
        rollingRow[k]->setAlignment(Qt::AlignHCenter | Qt::AlignTop);
        setForeColor(rollingRow[k], rollingGreen);
        layout->setFont(rollingRow[k], k == 1 ? Fonts::heiti() : Fonts::songti(), 36, true);
    }
    backdrop = named(new PictureBox(displayFrame), u"backdrop"_s);
    backdrop->setPicture([](QSize size) { return Pictures::displayBackdrop(size); });
    stackFrontToBack({rollList, rollingRow[3], rollingRow[2], rollingRow[1], backdrop});

    // The winner list.
    winnerListBox = named(new QPlainTextEdit(winnerListFrame), u"winnerListBox"_s);
    winnerListBox->setLineWrapMode(QPlainTextEdit::NoWrap);
    winnerListBox->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    winnerListBox->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    // Rewritten on every refresh, so typing into it would never last.
    winnerListBox->setReadOnly(true);
    winnerListBox->setTextInteractionFlags(Qt::TextSelectableByMouse | Qt::TextSelectableByKeyboard);
    winnerListBox->setTabChangesFocus(true);
    {
        QPalette palette = winnerListBox->palette();
        palette.setColor(QPalette::Base, QColor(0xFF, 0x80, 0x80));
        palette.setColor(QPalette::Text, QColor(0xFF, 0xD7, 0x00));
        winnerListBox->setPalette(palette);
    }
    layout->setFont(winnerListBox, Fonts::heiti(), 15.75, true);

    prizeRow->setPlacements({
        {quickSettingsPanel, 240, 6840, 3495, 1695},   {statusFrame, 120, 8760, 8295, 615},
        {startButton, 1440, 6840, 6375, 1695}, {displayFrame, 240, 1080, 8175, 5175},
        {winnerListFrame, 8760, 840, 5415, 8535},   {titleLabel[0], 120, 120, 14310, 975},
        {titleLabel[1], 140, 140, 14310, 975}, {widthHandle[1], 8280, 7200, 240, 840},
        {widthHandle[0], 8280, 7200, 240, 840}, {flashPanel, 120, 960, 8415, 5415},
        {openPanelTab, 240, 7080, 375, 1335},

        {confirmButton, 1320, 1080, 1935, 375}, {dataFileBox, 1320, 720, 1935, 270},
        {drawCountBox, 1320, 360, 1935, 270},  {advancedSettingsLink, 360, 1200, 855, 255},
        {stageLink, 360, 1425, 855, 255},
        {closePanelTab, 0, 480, 255, 735},        {panelCaption[1], 480, 720, 975, 255},
        {panelCaption[0], 480, 360, 975, 255},   {prizeCaption, 480, 360, 975, 255},
        {prizeBox, 1320, 330, 1935, 330},

        {statusLabel[2], 5280, 170, 2895, 370}, {statusLabel[1], 3120, 240, 1935, 255},
        {statusLabel[0], 120, 240, 2895, 255},  {soundIndicator, 4560, 240, 660, 255},

        {rollList, 240, 720, 7335, 3855}, {rollingRow[3], 240, 3480, 7695, 1455},
        {rollingRow[2], 240, 1920, 7695, 1455}, {rollingRow[1], 240, 360, 7695, 1455},
        {backdrop, 0, 0, 8175, 5175},

        {winnerListBox, 120, 240, 5175, 8175},
    });
    prizeRow->show(false);
    layout->setTitles({titleLabel[0], titleLabel[1]});
    layout->setWidthHandles(widthHandle[0], widthHandle[1]);
    layout->setShrinking({panelCaption[0], panelCaption[1], prizeCaption, openPanelTab, closePanelTab, advancedSettingsLink, stageLink});

    connect(startButton, &QPushButton::clicked, this, &MainWindow::startDraw);
    connect(confirmButton, &QPushButton::clicked, this, &MainWindow::confirmQuickSettings);
    connect(openPanelTab, &CaptionLabel::clicked, this, &MainWindow::openQuickSettings);
    connect(closePanelTab, &CaptionLabel::clicked, this, &MainWindow::closeQuickSettings);
    connect(advancedSettingsLink, &CaptionLabel::clicked, this, &MainWindow::openAdvancedSettings);
    connect(stageLink, &CaptionLabel::clicked, this, &MainWindow::toggleStage);
    keys = std::make_unique<KeyRouting>(*this, startButton, winnerListBox, KeyRouting::Actions{
        .start = [this] {
            if (startButton->isEnabled())
                startDraw();
        },
        .previousPrize = [this] { choosePreviousPrize(); },
        .toggleStage = [this] { toggleStage(); },
        .closeStage = [this] {
            if (!stage->isOpen())
                return false;
            stage->close();
            return true;
        },
        .turnStagePage = [this](int delta) { return stage->turnPage(delta); },
        .isRunning = [this] { return isRunning(); },
    });
    startButton->installEventFilter(this);
    winnerListBox->installEventFilter(this);
    // A double-click on a winner's line, or its context menu, redraws an absent winner.
    winnerListBox->viewport()->installEventFilter(this);
    winnerListBox->setContextMenuPolicy(Qt::CustomContextMenu);
    connect(winnerListBox, &QWidget::customContextMenuRequested, this, &MainWindow::showWinnerMenu);

    setTabOrder(prizeBox, drawCountBox);
    setTabOrder(drawCountBox, dataFileBox);
    setTabOrder(dataFileBox, confirmButton);
    setTabOrder(confirmButton, startButton);
    setTabOrder(startButton, winnerListBox);
    drawCountBox->setFocus();
}

void MainWindow::stackFrontToBack(std::initializer_list<QWidget *> controls)
{
    for (auto it = std::rbegin(controls); it != std::rend(controls); ++it)
        (*it)->raise();
}
