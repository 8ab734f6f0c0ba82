#include "AppLocation.h"

#include "Settings.h"

#include <QDir>
#include <QFile>
#include <QTemporaryFile>

using namespace Qt::StringLiterals;

namespace AppFiles {

QStringList shippedFileNames()
{
    return {settingsFileName(), u"测试数据.txt"_s, vipFileName(), excludeFileName(), u"奖项设置.txt"_s};
}

bool canCreateFilesIn(const QString &dir)
{
    QTemporaryFile probe(withTrailingSeparator(dir) + u".zop-write-test-XXXXXX"_s);
    return probe.open();
}

QStringList seedMissingFiles(const QString &fromDir, const QString &toDir)
{
    QStringList copied;
    for (const QString &name : shippedFileNames()) {
        const QString from = withTrailingSeparator(fromDir) + name;
        const QString to = withTrailingSeparator(toDir) + name;
        if (QFile::exists(from) && !QFile::exists(to) && QFile::copy(from, to)) {
            // Copies of files installed read-only must stay editable.
            QFile::setPermissions(to, QFile::permissions(to) | QFile::WriteOwner | QFile::ReadOwner);
            copied.append(name);
        }
    }
    return copied;
}

AppLocation chooseAppDir(const QString &programDir, const QString &perUserDir)
{
    AppLocation location;
    if (canCreateFilesIn(programDir)) {
        location.dir = withTrailingSeparator(programDir);
        return location;
    }
    location.perUser = true;
    if (!perUserDir.isEmpty() && QDir().mkpath(perUserDir) && canCreateFilesIn(perUserDir)) {
        seedMissingFiles(programDir, perUserDir);
        location.dir = withTrailingSeparator(perUserDir);
        return location;
    }
    location.dir = withTrailingSeparator(programDir);
    location.writable = false;
    return location;
}

} // namespace AppFiles
