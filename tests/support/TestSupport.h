#pragma once

#include <QByteArray>
#include <QString>

// Small helpers the tests share: exact bytes in and out of files.
namespace TestSupport {

QByteArray gbk(const QString &text);
QByteArray readBytes(const QString &path);
void writeBytes(const QString &path, const QByteArray &bytes);
// Names of the entries of a folder, for checking that no temporary file was left behind.
QStringList folderEntries(const QString &dir);
// The folder of the shipped sample files.
QString shippedDataDir();

} // namespace TestSupport
