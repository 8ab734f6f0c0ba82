#pragma once

#include <QString>

// A tmpfs of a given size mounted on a folder, inside a mount namespace of this process's own:
// nothing outside the process and its children sees it, and it goes when they end. Needs root
// (CI and the developers' machines run as root); otherwise isMounted() is false and
// failure() says why.
class PrivateTmpfs
{
public:
    PrivateTmpfs(const QString &folder, qint64 bytes);
    ~PrivateTmpfs();
    PrivateTmpfs(const PrivateTmpfs &) = delete;
    PrivateTmpfs &operator=(const PrivateTmpfs &) = delete;

    bool isMounted() const { return mounted; }
    QString failure() const { return why; }
    QString folder() const { return path; }

private:
    QString path;
    bool mounted = false;
    QString why;
};
