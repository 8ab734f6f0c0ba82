#include "PrivateTmpfs.h"

#include <QFile>

#include <cerrno>
#include <cstring>

#include <sched.h>
#include <sys/mount.h>

namespace {

QString systemError(const char *what)
{
    return QString::fromLatin1(what) + u": " + QString::fromLocal8Bit(std::strerror(errno));
}

// Once per process: later mounts stay inside the namespace.
bool ownMountNamespace(QString &why)
{
    static const int error = [] {
        if (::unshare(CLONE_NEWNS) != 0 || ::mount(nullptr, "/", nullptr, MS_REC | MS_PRIVATE, nullptr) != 0)
            return errno;
        return 0;
    }();
    errno = error;
    if (error != 0)
        why = systemError("no mount namespace of its own");
    return error == 0;
}

} // namespace

PrivateTmpfs::PrivateTmpfs(const QString &folder, qint64 bytes) : path(folder)
{
    if (!ownMountNamespace(why))
        return;
    const QByteArray options = "size=" + QByteArray::number(bytes);
    mounted = ::mount("tmpfs", QFile::encodeName(folder).constData(), "tmpfs", 0, options.constData()) == 0;
    if (!mounted)
        why = systemError("cannot mount a tmpfs");
}

PrivateTmpfs::~PrivateTmpfs()
{
    if (mounted)
        ::umount2(QFile::encodeName(path).constData(), MNT_DETACH);
}
