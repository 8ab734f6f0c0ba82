#include "Form1.h"

#include "draw/DrawRandom.h"
#include "draw/EventWinners.h"
#include "draw/RunData.h"
#include "draw/WinnerList.h"
#include "entries/EntryTable.h"
#include "entries/VipList.h"
#include "settings/INIFileModule1.h"
#include "settings/Settings.h"
#include "settings/zopValstr.h"
#include "ui/common/CaptionLabel.h"
#include "ui/common/Fonts.h"
#include "ui/common/MessageBoxes.h"
#include "ui/common/PictureBox.h"
#include "ui/common/Pictures.h"
#include "ui/common/WidgetColours.h"
#include "ui/reveal/RollingDisplay.h"
#include "ui/reveal/WinnerListText.h"
#include "ui/reveal/zopSleepModule.h"
#include "ui/settings/Form2.h"
#include "ui/stage/StageView.h"
#include "ui/stage/StageWindow.h"

#include <QApplication>
#include <QCloseEvent>
#include <QComboBox>
#include <QImage>
#include <QDir>
#include <QGroupBox>
#include <QIcon>
#include <QKeyEvent>
#include <QLineEdit>
#include <QMenu>
#include <QMouseEvent>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QResizeEvent>
#include <QShortcut>
#include <QTimer>

#include <algorithm>

using namespace Qt::StringLiterals;
using WidgetColours::setBackColor;
using WidgetColours::setForeColor;

namespace {

const QColor red(0xFF, 0x00, 0x00);
const QColor blue(0x00, 0x00, 0xFF);
const QColor rollingGreen(0x00, 0xC0, 0x00);
const QColor panelColour(0x80, 0x80, 0xFF);

// Sizes a hand-edited settings file can hold that no label could show.
double displayPoints(int points)
{
    return std::clamp(points, 1, 200);
}

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

QString settingsNotSavedText(const QString &file)
{
    return u"设置文件“"_s + QDir::toNativeSeparators(file) + u"”无法保存，本次设置只在本次运行中有效。"_s;
}

} // namespace

Form1::Form1(Settings &settings, RunData &run, MessageBoxes &messages, const QString &programDir,
             QWidget *parent)
    : QWidget(parent),
      settings(settings),
      run(run),
      messages(messages),
      programDir(programDir),
      procedure(settings, run, messages, this),
      closing(run, messages),
      verifiable(std::make_unique<VerifiableDrawDesk>(settings, run, messages, procedure, this, [this] {
          Command1->setEnabled(false);
          Command1->setText(u"开始"_s);
      }))
{
    procedure.addView(this);
    setWindowTitle(u"ZOP摇号 V:1.22"_s);
    setWindowIcon(QIcon(Pictures::windowIcon()));
    // A fixed single border: no maximising, and the size is set only by the layout.
    setWindowFlags(Qt::Window | Qt::WindowTitleHint | Qt::WindowSystemMenuHint
                   | Qt::WindowMinimizeButtonHint | Qt::WindowCloseButtonHint
                   | Qt::MSWindowsFixedSizeDialogHint);
    createControls();
    layout->apply(1.0);
    layout->fitOnScreen();
    layout->centreOnScreen();

    stage = std::make_unique<StageWindow>(*this, procedure, settings, run);
    stage->setKeyHandler([this](int key, bool autoRepeat) { keys->stageKeyPress(key, autoRepeat); });
    // A shortcut of the window, so that it works whichever control has the focus.
    auto *stageKey = new QShortcut(QKeySequence(Qt::Key_F5), this);
    connect(stageKey, &QShortcut::activated, this, &Form1::toggleStage);
}

Form1::~Form1()
{
    // A run processes events inside its handler; the window goes only after it has returned.
    Q_ASSERT(!procedure.isRunning());
}

void Form1::createControls()
{
    // Controls without a font of their own take the window's, the usual 宋体 9 pt of a
    // Chinese desktop.
    auto *clientArea = named(new QWidget(this), u"ClientArea"_s);
    layout = std::make_unique<WindowLayout>(*this, *clientArea);
    layout->setFont(this, Fonts::songti(), 9);

    Timer1 = named(new QTimer(this), u"Timer1"_s);
    Timer1->setInterval(100);
    connect(Timer1, &QTimer::timeout, this, &Form1::Timer1_Timer);

    Frame4 = named(new QGroupBox(u"[摇号设置]"_s, clientArea), u"Frame4"_s);
    setBackColor(Frame4, QColor(0xFF, 0xFF, 0xC0));
    Frame4->setAutoFillBackground(true);
    setForeColor(Frame4, blue);
    Frame3 = named(new QGroupBox(clientArea), u"Frame3"_s);
    Command1 = named(new QPushButton(u"开始"_s, clientArea), u"Command1"_s);
    setBackColor(Command1, QColor(0xFF, 0x80, 0x80));
    layout->setFont(Command1, Fonts::songti(), 26.25, true);
    Command1->setToolTip(u"空格键开始"_s);
    Command1->setEnabled(false);
    Frame2 = named(new QGroupBox(clientArea), u"Frame2"_s);
    setBackColor(Frame2, QColor(0xE0, 0xE0, 0xE0));
    Frame2->setAutoFillBackground(true);
    Frame1 = named(new QGroupBox(clientArea), u"Frame1"_s);

    const QColor titleColours[2] = {red, QColor(0x40, 0x40, 0x40)};
    for (int i = 0; i < 2; ++i) {
        Label2[i] = named(new CaptionLabel(clientArea), indexed(u"Label2"_s, i));
        Label2[i]->setText(u"标题"_s);
        Label2[i]->setAlignment(Qt::AlignHCenter | Qt::AlignTop);
        setForeColor(Label2[i], titleColours[i]);
        layout->setFont(Label2[i], Fonts::songti(), 26.25, true);
    }
    const Pictures::Pointing pointing[2] = {Pictures::Pointing::Left, Pictures::Pointing::Right};
    for (int i = 0; i < 2; ++i) {
        Image2[i] = named(new PictureBox(clientArea), indexed(u"Image2"_s, i));
        Image2[i]->setPicture([direction = pointing[i]](QSize size) {
            return Pictures::triangle(direction, size);
        });
        Image2[i]->setCursor(Qt::PointingHandCursor);
        connect(Image2[i], &PictureBox::clicked, this, [this, i] { Image2_Click(i); });
    }
    Image2[1]->hide();
    Label7 = named(new CaptionLabel(clientArea), u"Label7"_s);
    setBackColor(Label7, panelColour);
    Label7->setAutoFillBackground(true);
    Label5 = named(new CaptionLabel(clientArea), u"Label5"_s);
    Label5->setText(u">>>\r\n摇\r\n号\r\n设\r\n置\r\n>>>\r\n"_s);
    setBackColor(Label5, QColor(0xFF, 0xFF, 0x80));
    Label5->setAutoFillBackground(true);
    setForeColor(Label5, blue);
    layout->setFont(Label5, Fonts::songti(), 10.5);
    Label5->setCursor(Qt::PointingHandCursor);
    stackFrontToBack({Frame4, Frame3, Command1, Frame2, Frame1, Label2[0], Label2[1], Image2[1],
                      Image2[0], Label7, Label5});

    // The quick settings panel.
    Command2 = named(new QPushButton(u"确定设置"_s, Frame4), u"Command2"_s);
    for (int i = 0; i < 2; ++i)
        Text1[i] = named(new QLineEdit(Frame4), indexed(u"Text1"_s, i));
    Text1[1]->setText(u"测试数据.txt"_s);
    Label8 = named(new CaptionLabel(Frame4), u"Label8"_s);
    Label8->setText(u" 高级设置 "_s);
    setForeColor(Label8, blue);
    layout->setFont(Label8, Fonts::songti(), 9, false, true);
    Label8->setCursor(Qt::PointingHandCursor);
    Label6 = named(new CaptionLabel(Frame4), u"Label6"_s);
    Label6->setText(u"<<<\r\n|收\r\n|起\r\n<<<"_s);
    setForeColor(Label6, blue);
    Label6->setCursor(Qt::PointingHandCursor);
    // The panel's small labels were drawn for an 8-point face whose Latin letters are half as
    // wide as an ideograph; the mono cut of 黑体 is one, so "<<<" fits its 17 pixels.
    layout->setFont(Label6, Fonts::heiti(), 8);
    const QString captions4[2] = {u"摇出个数："_s, u"数据文件："_s};
    for (int i = 0; i < 2; ++i) {
        Label4[i] = named(new CaptionLabel(Frame4), indexed(u"Label4"_s, i));
        Label4[i]->setText(captions4[i]);
        // The panel's blue is for its caption only.
        setForeColor(Label4[i], QApplication::palette().color(QPalette::WindowText));
        layout->setFont(Label4[i], Fonts::heiti(), 8);
    }
    LabelStage = named(new CaptionLabel(Frame4), u"LabelStage"_s);
    LabelStage->setText(u" 投影大屏 "_s);
    LabelStage->setToolTip(u"F5"_s);
    setForeColor(LabelStage, blue);
    layout->setFont(LabelStage, Fonts::songti(), 9, false, true);
    LabelStage->setCursor(Qt::PointingHandCursor);
    prizeRow = std::make_unique<PrizeRow>(Frame4, *layout, settings, run, messages, procedure);
    prizeRow->chosen = [this] {
        Text1[0]->setText(QString::number(prizeRow->drawCount()));
        showDrawnCount();
        // The stage names the prize the drop-down shows.
        if (stage)
            stage->view().setPrize(currentPrizeName(), QImage(currentPrizePicture()));
    };
    QComboBox *Combo1 = prizeRow->combo();
    CaptionLabel *prizeCaption = prizeRow->caption();
    stackFrontToBack({Combo1, Command2, Text1[1], Text1[0], Label8, LabelStage, Label6, prizeCaption,
                      Label4[1], Label4[0]});

    // The status line.
    const QString captions3[3] = {u"数据文件:"_s, u"记录条数:"_s, u"已出结果:"_s};
    for (int i = 0; i < 3; ++i) {
        Label3[i] = named(new CaptionLabel(Frame3), indexed(u"Label3"_s, i));
        Label3[i]->setText(captions3[i]);
    }
    setForeColor(Label3[2], red);
    layout->setFont(Label3[2], Fonts::songti(), 14.25, true);
    stackFrontToBack({Label3[2], Label3[1], Label3[0]});

    // The display area.
    LabelData = named(new CaptionLabel(Frame2), u"LabelData"_s);
    setForeColor(LabelData, rollingGreen);
    LabelData->hide();
    for (int k = 1; k <= 3; ++k) {
        Label1[k] = named(new CaptionLabel(Frame2), indexed(u"Label1"_s, k));
        Label1[k]->setAlignment(Qt::AlignHCenter | Qt::AlignTop);
        setForeColor(Label1[k], rollingGreen);
        layout->setFont(Label1[k], k == 1 ? Fonts::heiti() : Fonts::songti(), 36, true);
    }
    ImgBK0 = named(new PictureBox(Frame2), u"ImgBK0"_s);
    ImgBK0->setPicture([](QSize size) { return Pictures::displayBackdrop(size); });
    stackFrontToBack({LabelData, Label1[3], Label1[2], Label1[1], ImgBK0});

    // The winner list.
    Text2 = named(new QPlainTextEdit(Frame1), u"Text2"_s);
    Text2->setLineWrapMode(QPlainTextEdit::NoWrap);
    Text2->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    Text2->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    // Rewritten on every refresh, so typing into it would never last.
    Text2->setReadOnly(true);
    Text2->setTextInteractionFlags(Qt::TextSelectableByMouse | Qt::TextSelectableByKeyboard);
    Text2->setTabChangesFocus(true);
    {
        QPalette palette = Text2->palette();
        palette.setColor(QPalette::Base, QColor(0xFF, 0x80, 0x80));
        palette.setColor(QPalette::Text, QColor(0xFF, 0xD7, 0x00));
        Text2->setPalette(palette);
    }
    layout->setFont(Text2, Fonts::heiti(), 15.75, true);

    prizeRow->setPlacements({
        {Frame4, 240, 6840, 3495, 1695},   {Frame3, 120, 8760, 8295, 615},
        {Command1, 1440, 6840, 6375, 1695}, {Frame2, 240, 1080, 8175, 5175},
        {Frame1, 8760, 840, 5415, 8535},   {Label2[0], 120, 120, 14310, 975},
        {Label2[1], 140, 140, 14310, 975}, {Image2[1], 8280, 7200, 240, 840},
        {Image2[0], 8280, 7200, 240, 840}, {Label7, 120, 960, 8415, 5415},
        {Label5, 240, 7080, 375, 1335},

        {Command2, 1320, 1080, 1935, 375}, {Text1[1], 1320, 720, 1935, 270},
        {Text1[0], 1320, 360, 1935, 270},  {Label8, 360, 1200, 855, 255},
        {LabelStage, 360, 1425, 855, 255},
        {Label6, 0, 480, 255, 735},        {Label4[1], 480, 720, 975, 255},
        {Label4[0], 480, 360, 975, 255},   {prizeCaption, 480, 360, 975, 255},
        {Combo1, 1320, 330, 1935, 330},

        {Label3[2], 5280, 170, 2895, 370}, {Label3[1], 3120, 240, 1935, 255},
        {Label3[0], 120, 240, 2895, 255},

        {LabelData, 240, 720, 7335, 3855}, {Label1[3], 240, 3480, 7695, 1455},
        {Label1[2], 240, 1920, 7695, 1455}, {Label1[1], 240, 360, 7695, 1455},
        {ImgBK0, 0, 0, 8175, 5175},

        {Text2, 120, 240, 5175, 8175},
    });
    prizeRow->show(false);
    layout->setTitles({Label2[0], Label2[1]});
    layout->setWidthHandles(Image2[0], Image2[1]);
    layout->setShrinking({Label4[0], Label4[1], prizeCaption, Label5, Label6, Label8, LabelStage});

    connect(Command1, &QPushButton::clicked, this, &Form1::Command1_Click);
    connect(Command2, &QPushButton::clicked, this, &Form1::Command2_Click);
    connect(Label5, &CaptionLabel::clicked, this, &Form1::Label5_Click);
    connect(Label6, &CaptionLabel::clicked, this, &Form1::Label6_Click);
    connect(Label8, &CaptionLabel::clicked, this, &Form1::Label8_Click);
    connect(LabelStage, &CaptionLabel::clicked, this, &Form1::toggleStage);
    keys = std::make_unique<KeyRouting>(*this, Command1, Text2);
    Command1->installEventFilter(this);
    Text2->installEventFilter(this);
    // A double-click on a winner's line, or its context menu, redraws an absent winner.
    Text2->viewport()->installEventFilter(this);
    Text2->setContextMenuPolicy(Qt::CustomContextMenu);
    connect(Text2, &QWidget::customContextMenuRequested, this, &Form1::showWinnerMenu);

    setTabOrder(Combo1, Text1[0]);
    setTabOrder(Text1[0], Text1[1]);
    setTabOrder(Text1[1], Command2);
    setTabOrder(Command2, Command1);
    setTabOrder(Command1, Text2);
    Text1[0]->setFocus();
}

void Form1::stackFrontToBack(std::initializer_list<QWidget *> controls)
{
    for (auto it = std::rbegin(controls); it != std::rend(controls); ++it)
        (*it)->raise();
}

void Form1::Form_Load()
{
    procedure.drawRandom().reseedFromClock();
    const Module1::SettingsSource source = Module1::loadSettings(settings, run, programDir);
    const QString file = QDir::toNativeSeparators(settings.settingsFile());
    if (source == Module1::SettingsSource::MissingFile)
        messages.error(this, u"找不到设置文件，已使用默认设置。"_s);
    else if (source == Module1::SettingsSource::NotAFile)
        messages.error(this, u"设置文件“"_s + file + u"”是一个文件夹，已使用默认设置。"_s);
    else if (source == Module1::SettingsSource::Unreadable)
        messages.error(this, u"无法读取设置文件“"_s + file + u"”，已使用默认设置。"_s);
    InitSYS2();
    loadPrizes(true);
    reportOddResultFiles();
    zopViewZTL();
    zopSetViewObj();
}

void Form1::reportOddResultFiles()
{
    QStringList copies;
    for (const QString &file : lookAlikeResultFiles(settings.appDir)) {
        if (!oddFilesNamed.contains(file))
            copies.append(file);
    }
    QStringList cut;
    for (const QString &line : partialResultLines(settings.appDir)) {
        if (!oddFilesNamed.contains(line))
            cut.append(line);
    }
    oddFilesNamed += copies + cut;
    QStringList said;
    if (!copies.isEmpty())
        said.append(u"文件"_s + quotedFileNames(copies)
                    + u"不是本程序的结果文件（可能是副本或备份），其中的人不算中奖者；“新活动…”会把它们一并归档。"_s);
    if (!cut.isEmpty())
        said.append(u"结果文件的最后一行没有写完（程序曾被强行结束），该行不算中奖者：\r\n"_s + cut.join(u"\r\n"_s));
    if (!said.isEmpty())
        messages.information(this, said.join(u"\r\n"_s));
}

void Form1::InitSYS2()
{
    layout->setFontPoints(Label1[1], displayPoints(settings.fontSizeA));
    layout->setFontPoints(Label1[2], displayPoints(settings.fontSizeB));
    layout->setFontPoints(Label1[3], displayPoints(settings.fontSizeC));
    Label2[0]->setText(settings.titleText);
    Label2[1]->setText(Label2[0]->text());
    layout->setFontPoints(Label2[0], displayPoints(settings.titleFontSize));
    layout->setFontPoints(Label2[1], displayPoints(settings.titleFontSize));
    layout->setFontPoints(Text2, displayPoints(settings.resultFontSize));
}

void Form1::zopViewZTL()
{
    Label3[0]->setText(u"数据文件:"_s + settings.dataFile);
    Label3[1]->setText(u"记录条数:"_s + QString::number(run.entryTable.entryCount()));
    showDrawnCount();
    Text1[0]->setText(QString::number(prizeRow->drawCount()));
    Text1[1]->setText(settings.dataFile);
    if (stage)
        stage->refresh();
}

void Form1::showDrawnCount()
{
    const PrizeRow::Tally tally = prizeRow->statusTally();
    if (tally.count == 0) {
        // Absent winners were replaced: they are not counted.
        Label3[2]->setText(u"已出结果:"_s + QString::number(run.winnerList.size() - run.absentWinners.size())
                           + u'/' + QString::number(settings.drawCount));
        return;
    }
    const QString count = u" 已出:"_s + QString::number(tally.won) + u'/' + QString::number(tally.count);
    // The count always shows; a long prize name gives way.
    const QFontMetricsF metrics(Label3[2]->font());
    const qreal room = Label3[2]->width() - metrics.horizontalAdvance(count) - 2;
    Label3[2]->setText(metrics.elidedText(tally.name, Qt::ElideRight, std::max<qreal>(room, 0)) + count);
}

void Form1::zopSetViewObj()
{
    const int shown[4] = {0, settings.showItemA, settings.showItemB, settings.showItemC};
    for (int k = 1; k <= 3; ++k)
        Label1[k]->setHidden(shown[k] != 1);
}

void Form1::showWinnerList()
{
    const QString heading = run.prize.isEmpty() ? settings.resultTitle
                                                : QString(run.prize + u" 中奖名单\r\n"_s + settings.resultTitle);
    const QString text = WinnerListText::text(heading, run.winnerList, settings.winnerShowIndex,
                                              settings.winnerColumns, run.absentWinners);
    // The box keeps one character per line break where the text has CR LF.
    Text2->setPlainText(text);
    const qsizetype caret = WinnerListText::caretPosition(text);
    const qsizetype crs = QStringView(text).left(caret).count(u'\r');
    QTextCursor cursor = Text2->textCursor();
    cursor.setPosition(int(caret - crs));
    Text2->setTextCursor(cursor);
    Text2->setFocus();
}

void Form1::runLabelData(int start)
{
    if (start == 1) {
        Timer1->start();
        LabelData->show();
    } else {
        Timer1->stop();
        LabelData->hide();
    }
}

void Form1::Timer1_Timer()
{
    ++rollListStart;
    fillRollList(rollListStart);
    if (rollListStart >= run.entryTable.entryCount())
        rollListStart = 0;
}

void Form1::fillRollList(int start)
{
    const std::optional<QString> text = RollingDisplay::rollListText(run.entryTable, start);
    if (!text)
        return;
    LabelData->setText(*text);
    zopSleepModule::processPendingEvents();
}

void Form1::Image2_Click(int index)
{
    if (index == 0 || index == 1)
        layout->setExpanded(index == 1);
}

void Form1::resizeEvent(QResizeEvent *event)
{
    QWidget::resizeEvent(event);
    layout->windowResized();
    showDrawnCount();
}

void Form1::showEvent(QShowEvent *event)
{
    QWidget::showEvent(event);
    layout->windowShown();
}

void Form1::showRollingEntry(int entry)
{
    if (entry < 1 || entry > run.entryTable.entryCount())
        return;
    for (int k = 1; k <= 3; ++k)
        Label1[k]->setText(run.entryTable.column(entry, k).toString());
}

void Form1::setAdvancedSettingsHandler(std::function<void()> handler)
{
    advancedSettings = std::move(handler);
}

void Form1::Command2_Click()
{
    // The run walks the tables and the draw order; nothing may replace them under it.
    if (procedure.isRunning())
        return;
    const int drawCount = zopValstr::valInRange(Text1[0]->text(), 1, 99999, 5);
    if (!prizeRow->mayDraw(drawCount))
        return;
    reportOddResultFiles();
    // Read before anything changes, so that stopping at an unreadable file changes nothing.
    EventWinners event;
    if (settings.keepWinnersOut == 1 && !procedure.readEventWinnersAsking(event))
        return;

    if (run.winnerList.size() <= 1) {
        clearWinnerList(run);
        showWinnerList();
        // The closing text may have shown a row the settings hide.
        zopSetViewObj();
    } else {
        if (messages.question(this, u"已有摇奖结果是否清除？"_s) != MessageBoxes::Answer::Yes)
            return;
        clearWinnerList(run);
        showWinnerList();
        zopSetViewObj();
        zopSleepModule::processPendingEvents();
    }
    procedure.forgetFinishedRun();
    run.verifiable.clear();

    const QString settingsFile = settings.settingsFile();
    // The run is for the prize the drop-down shows; its result file will name it.
    run.prize = prizeRow->currentName();
    prizeRow->confirmCount(drawCount);
    bool saved = INIFileModule1::iniWriteValue(settingsFile, u"一次性摇出个数"_s, drawCount);
    settings.drawCount = drawCount;

    const QString dataFile = Text1[1]->text();
    saved = INIFileModule1::iniWriteValue(settingsFile, u"数据文件"_s, dataFile) && saved;
    settings.dataFile = dataFile;
    // The values in memory still apply; said once, before anything else can look like success.
    if (!saved)
        messages.error(this, settingsNotSavedText(settingsFile));

    loadEntryFile(settings.dataFilePath(), settings.fieldSeparator, run.entryTable);
    loadEntryFile(settings.excludeFile, settings.fieldSeparator, run.excludeList);
    loadVipFile(settings.vipFile(), settings.fieldSeparator, run.vipList);
    run.earlierWinners = std::move(event.winners);
    if (settings.verifiableDraw == 1 && !verifiable->allowed()) {
        Command1->setEnabled(false);
        return;
    }

    // The count is checked against the entries that take part, the exclusion list and the
    // earlier winners left out; those never roll by either.
    const bool prepared = procedure.prepare();
    // Said with either outcome, so that the organiser sees why fewer people take part.
    const QString keptOut = run.earlierWinnersKeptOut > 0
        ? u"\r\n本次活动已中奖的 "_s + QString::number(run.earlierWinnersKeptOut) + u" 人不再参与。"_s
        : QString();
    if (!prepared) {
        messages.error(this, u"一次性摇出号太多"_s + keptOut);
        Text1[0]->setText(u"1"_s);
        if (!INIFileModule1::iniWriteValue(settingsFile, u"一次性摇出个数"_s, u"1"_s) && saved)
            messages.error(this, settingsNotSavedText(settingsFile));
        settings.drawCount = 1;
        // An earlier draw order names entries of the table loaded then.
        Command1->setEnabled(false);
        return;
    }
    if (settings.verifiableDraw == 1 && !verifiable->begin()) {
        Command1->setEnabled(false);
        return;
    }

    zopViewZTL();
    for (int k = 1; k <= 3; ++k)
        Label1[k]->setText(QString());
    Command1->setEnabled(true);
    run.pressCount = 0;
    Command1->setText(u"开始"_s);
    messages.information(this, verifiable->confirmationText(u"设置完成！"_s + keptOut));
    Label6_Click();
    if (settings.showRollList == 1)
        runLabelData(1);
}

void Form1::Label5_Click()
{
    Frame4->show();
}

void Form1::Label6_Click()
{
    Frame4->hide();
}

void Form1::Label8_Click()
{
    // Saving the settings reloads the tables the run is walking.
    if (procedure.isRunning())
        return;
    if (advancedSettings) {
        advancedSettings();
        return;
    }
    Form2 dialog(settings, run, messages, *this, this);
    dialog.exec();
    // The prize list may have been edited, or a new event begun.
    loadPrizes(false);
    reportOddResultFiles();
    zopViewZTL();
}

void Form1::disableStartButton()
{
    procedure.forgetFinishedRun();
    Command1->setEnabled(false);
    Command1->setText(u"开始"_s);
}

void Form1::keepRun()
{
    if (!procedure.hasFinishedRun())
        disableStartButton();
}

void Form1::endEvent()
{
    run.discardPreparedDraw();
    runLabelData(0);
    disableStartButton();
    zopViewZTL();
}

void Form1::Command1_Click()
{
    if (procedure.isRunning())
        return;
    if (run.entryTable.entryCount() == 0) {
        messages.error(this, u"未设置摇奖参数！"_s);
        return;
    }
    runLabelData(0);
    procedure.start();
}

void Form1::revealStarting(int position, int count)
{
    Command1->setEnabled(false);
    Command1->setText(u"正在摇号("_s + QString::number(position) + u'/' + QString::number(count) + u")..."_s);
}

void Form1::winnerFlash(const QColor &colour)
{
    setBackColor(Label7, colour.isValid() ? colour : panelColour);
}

void Form1::waitingForPress(int, int)
{
    Command1->setEnabled(true);
    Command1->setText(u"继续"_s);
}

void Form1::runFinished()
{
    Command1->setEnabled(false);
    Command1->setText(u"摇号结束"_s);
    // The next prize is offered for the next confirmation; the list still shows this run's.
    prizeRow->selectAfterRun();
}

void Form1::closingText(const QString &text)
{
    for (int k = 1; k <= 3; ++k)
        Label1[k]->setText(QString());
    Label1[2]->show();
    Label1[2]->setText(text);
}

void Form1::closingFlash(const QColor &colour)
{
    setForeColor(Label1[2], colour.isValid() ? colour : rollingGreen);
}

int Form1::winnerAt(QPoint viewportPos) const
{
    const QTextCursor cursor = Text2->cursorForPosition(viewportPos);
    // Below the last line is no line at all.
    const QRect line = Text2->cursorRect(cursor);
    if (viewportPos.y() < line.top() || viewportPos.y() > line.bottom())
        return 0;
    return WinnerListText::winnerOnLine(cursor.blockNumber(), Text2->document()->blockCount(),
                                        int(run.winnerList.size()));
}

void Form1::showWinnerMenu(QPoint viewportPos)
{
    const std::unique_ptr<QMenu> menu(Text2->createStandardContextMenu(viewportPos));
    menu->addSeparator();
    const int winner = winnerAt(viewportPos);
    QAction *redraw = menu->addAction(u"缺席补抽"_s);
    redraw->setEnabled(procedure.canRedraw(winner));
    if (menu->exec(Text2->viewport()->mapToGlobal(viewportPos)) == redraw)
        procedure.redrawAbsentWinner(winner);
}

void Form1::Command1_KeyPress(int keyAscii)
{
    startFromKey(keyAscii);
}

void Form1::Form_KeyPress(int keyAscii)
{
    startFromKey(keyAscii);
}

void Form1::Text2_KeyPress(int keyAscii)
{
    startFromKey(keyAscii);
}

void Form1::startFromKey(int keyAscii)
{
    // Space and Enter.
    if ((keyAscii == 32 || keyAscii == 13) && Command1->isEnabled())
        Command1_Click();
}

void Form1::toggleStage()
{
    stage->toggle();
}

void Form1::choosePreviousPrize()
{
    selectPrize(-1);
}

bool Form1::eventFilter(QObject *watched, QEvent *event)
{
    if (event->type() == QEvent::MouseButtonDblClick && watched == Text2->viewport()) {
        const int winner = winnerAt(static_cast<QMouseEvent *>(event)->position().toPoint());
        if (procedure.canRedraw(winner)) {
            procedure.redrawAbsentWinner(winner);
            return true;
        }
    }
    if (keys && keys->controlKeyPress(watched, *event))
        return true;
    return QWidget::eventFilter(watched, event);
}

void Form1::keyPressEvent(QKeyEvent *event)
{
    if (!keys->windowKeyPress(*event))
        QWidget::keyPressEvent(event);
}

void Form1::closeEvent(QCloseEvent *event)
{
    if (procedure.isRunning()) {
        // The run is inside its handler on this window: it ends at its next step without
        // waiting, and the window closes once it has (runStopped).
        procedure.requestStop();
        event->ignore();
        return;
    }
    if (!closing.mayClose(this)) {
        event->ignore();
        return;
    }
    stage->close();
    QWidget::closeEvent(event);
}
