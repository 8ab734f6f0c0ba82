#include "SoundSettingsFrame.h"

#include "CuePlayer.h"
#include "settings/IniFile.h"
#include "settings/Settings.h"
#include "settings/ValueText.h"
#include "ui/common/MessageBoxes.h"
#include "ui/common/Twips.h"

#include <QCheckBox>
#include <QDir>
#include <QFileDialog>
#include <QLabel>
#include <QLineEdit>
#include <QSlider>
#include <QToolButton>

using namespace Qt::StringLiterals;

namespace {

// Tool buttons: a push button asks for 80 pixels, whatever its caption.
QToolButton *toolButton(QWidget *parent, const QString &name, const QString &text, QRect geometry)
{
    auto *b = new QToolButton(parent);
    b->setObjectName(name);
    b->setText(text);
    b->setGeometry(geometry);
    return b;
}

} // namespace

SoundSettingsFrame::SoundSettingsFrame(const Settings &settings, MessageBoxes &messages, QWidget *parent)
    : QGroupBox(u"[声音]"_s, parent), settings(settings), messages(messages)
{
    using Twips::rect;
    setObjectName(u"soundFrame"_s);
    chooseFile = [](QWidget *owner, const QString &start) {
        return QFileDialog::getOpenFileName(owner, u"选择声音文件"_s, start,
                                            u"声音文件 (*.wav *.mp3 *.ogg *.flac *.m4a *.wma);;所有文件 (*)"_s);
    };

    soundOn = new QCheckBox(u"播放声音（M键静音）"_s, this);
    soundOn->setObjectName(u"soundOnBox"_s);
    soundOn->setGeometry(rect(180, 300, 2700, 330));
    auto *volumeLabel = new QLabel(u"音量："_s, this);
    volumeLabel->setGeometry(rect(3000, 300, 600, 330));
    volume = new QSlider(Qt::Horizontal, this);
    volume->setObjectName(u"volumeSlider"_s);
    volume->setGeometry(rect(3600, 300, 2400, 330));
    volume->setRange(0, 100);
    auto *volumeValue = new QLabel(this);
    volumeValue->setGeometry(rect(6060, 300, 540, 330));
    connect(volume, &QSlider::valueChanged, volumeValue, [volumeValue](int v) { volumeValue->setText(QString::number(v)); });

    for (Cue cue : allCues) {
        const int c = int(cue);
        const int left = 180 + (c % 2) * 4800, top = 720 + (c / 2) * 420;
        auto *label = new QLabel(SoundCue::name(cue) + u"："_s, this);
        label->setGeometry(rect(left, top, 600, 330));
        QLineEdit *&edit = files[size_t(c)];
        edit = new QLineEdit(this);
        edit->setObjectName(u"soundFileBox(%1)"_s.arg(c));
        edit->setGeometry(rect(left + 600, top, 2310, 330));
        QToolButton *choose = toolButton(this, u"soundChooseButton(%1)"_s.arg(c), u"…"_s, rect(left + 2970, top - 15, 660, 360));
        choose->setToolTip(u"选择文件"_s);
        QToolButton *listen = toolButton(this, u"soundTryButton(%1)"_s.arg(c), u"试听"_s, rect(left + 3690, top - 15, 720, 360));
        connect(choose, &QToolButton::clicked, this, [this, cue] { browse(cue); });
        connect(listen, &QToolButton::clicked, this, [this, cue] { tryCue(cue); });
    }
    // Frames of the dialog are drawn in the layout's height.
    setMinimumHeight(Twips::toPixels(heightTwips));
}

SoundSettingsFrame::~SoundSettingsFrame() = default;

void SoundSettingsFrame::load()
{
    soundOn->setChecked(settings.soundOn == 1);
    volume->setValue(settings.soundVolume);
    // The default shows as a hint, so that an empty box reads as what it plays.
    Settings defaults = settings;
    defaults.soundFiles = {};
    for (Cue cue : allCues) {
        QLineEdit *edit = files[size_t(cue)];
        edit->setText(settings.soundFiles[size_t(cue)]);
        edit->setCursorPosition(0);
        const QString found = SoundCue::file(defaults, cue);
        edit->setPlaceholderText(found.isEmpty() ? u"（无）"_s : QDir(settings.appDir).relativeFilePath(found));
    }
}

bool SoundSettingsFrame::save(const QString &settingsFile) const
{
    bool written = IniFile::iniWriteValue(settingsFile, u"声音"_s, soundOn->isChecked() ? 1 : 0);
    written = IniFile::iniWriteValue(settingsFile, u"音量"_s, volume->value()) && written;
    for (Cue cue : allCues) {
        const QString name = ValueText::trimBlanks(files[size_t(cue)]->text()).toString();
        written = IniFile::iniWriteValue(settingsFile, AppFiles::soundFileKey(int(cue)), name) && written;
    }
    return written;
}

void SoundSettingsFrame::browse(Cue cue)
{
    QLineEdit *edit = files[size_t(cue)];
    const QDir appDir(settings.appDir);
    const QString typed = edit->text().isEmpty() ? edit->placeholderText() : edit->text();
    const QString chosen = chooseFile(window(), appDir.filePath(typed.startsWith(u'（') ? SoundCue::folderName() : typed));
    if (chosen.isEmpty())
        return;
    // Inside the program's folder the name stays relative, so the folder can be moved whole.
    const QString relative = appDir.relativeFilePath(chosen);
    edit->setText(relative.startsWith(u"../"_s) ? QDir::toNativeSeparators(chosen) : relative);
}

void SoundSettingsFrame::tryCue(Cue cue)
{
    Settings typed = settings;
    typed.soundFiles[size_t(cue)] = ValueText::trimBlanks(files[size_t(cue)]->text()).toString();
    const QString file = SoundCue::file(typed, cue);
    preview.reset();
    if (file.isEmpty()) {
        messages.information(window(), u"找不到%1的声音文件。"_s.arg(SoundCue::name(cue)));
        return;
    }
    if (!CuePlayer::deviceAvailable()) {
        messages.information(window(), u"没有声音设备，无法试听。"_s);
        return;
    }
    preview = std::make_unique<CuePlayer>(file, false);
    preview->setVolume(volume->value());
    connect(preview.get(), &CuePlayer::failed, this, [this](const QString &f) {
        messages.error(window(), u"无法播放声音文件“"_s + QDir::toNativeSeparators(f) + u"”。"_s);
    });
    preview->play();
}
