#include "TestSupport.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QStringEncoder>
#include <QTest>

namespace TestSupport {

QByteArray gbk(const QString &text)
{
    QStringEncoder encoder("GBK");
    return encoder.encode(text);
}

QByteArray readBytes(const QString &path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return QByteArray();
    return file.readAll();
}

void writeBytes(const QString &path, const QByteArray &bytes)
{
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly) || file.write(bytes) != bytes.size())
        qFatal("cannot write test fixture %s", qPrintable(path));
}

QStringList folderEntries(const QString &dir)
{
    return QDir(dir).entryList(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden, QDir::Name);
}

QString shippedDataDir()
{
    // ZOP_DATA_DIR still points elsewhere, at an installed copy for instance.
    const QString dir = qEnvironmentVariable("ZOP_DATA_DIR", QString::fromUtf8(ZOP_SHIPPED_DATA_DIR));
    if (!QFileInfo(QDir(dir).filePath(QStringLiteral("ZOP摇号设置.ini"))).isFile())
        qFatal("The shipped sample files are not in %s; set ZOP_DATA_DIR to their folder.",
               qPrintable(dir));
    return dir;
}

} // namespace TestSupport
