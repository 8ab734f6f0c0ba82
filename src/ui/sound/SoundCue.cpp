#include "SoundCue.h"

#include "settings/Settings.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>

using namespace Qt::StringLiterals;

namespace SoundCue {

QString name(Cue cue)
{
    static const QString names[] = {u"滚动"_s, u"中奖"_s, u"结束"_s, u"待机"_s};
    return names[int(cue)];
}

QString folderName()
{
    return u"音效"_s;
}

bool loops(Cue cue)
{
    return cue == Cue::Rolling || cue == Cue::Idle;
}

QString file(const Settings &settings, Cue cue)
{
    const QString chosen = settings.soundFiles[size_t(cue)];
    if (!chosen.isEmpty()) {
        const QString path = QDir(settings.appDir).filePath(chosen);
        return QFileInfo(path).isFile() ? path : QString();
    }
    // An installed program keeps its files in a per-user folder that has no sounds of its own;
    // the shipped ones are beside the program. A folder of the organiser's is used as it is.
    QDir folder(settings.appDir + folderName());
    if (!folder.exists())
        folder.setPath(QDir(QCoreApplication::applicationDirPath()).filePath(folderName()));
    const QStringList found = folder.entryList({name(cue) + u".*"_s}, QDir::Files | QDir::Readable, QDir::Name);
    return found.isEmpty() ? QString() : folder.filePath(found.first());
}

} // namespace SoundCue
