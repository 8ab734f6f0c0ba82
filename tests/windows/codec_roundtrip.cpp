#include "settings/TextCodec.h"

#include <QCoreApplication>
#include <QCryptographicHash>
#include <QFile>

#include <cstdio>

// For each file: the encoding found, the error flag, a hash of the characters and the bytes
// written back, and whether those equal the file.
int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    if (!TextCodec::available()) {
        std::printf("no GB18030 codec\n");
        return 1;
    }
    const char *const names[] = {"Gb18030", "Cp936", "Utf8", "Utf8Bom"};
    const QStringList files = app.arguments().mid(1);
    for (const QString &path : files) {
        QFile file(path);
        if (!file.open(QIODevice::ReadOnly)) {
            std::printf("cannot read %s\n", qPrintable(path));
            return 1;
        }
        const QByteArray bytes = file.readAll();
        const DecodedText decoded = TextCodec::decode(bytes);
        const QByteArray text(reinterpret_cast<const char *>(decoded.text.utf16()), decoded.text.size() * 2);
        const QByteArray back = TextCodec::encode(decoded.text, decoded.encoding);
        std::printf("%s: %s errors=%d chars=%lld text=%s rewritten=%s same=%d\n",
                    qPrintable(path.section(u'/', -1)), names[int(decoded.encoding)], decoded.hadErrors,
                    static_cast<long long>(decoded.text.size()),
                    QCryptographicHash::hash(text, QCryptographicHash::Sha256).toHex().left(16).constData(),
                    QCryptographicHash::hash(back, QCryptographicHash::Sha256).toHex().left(16).constData(),
                    back == bytes);
    }
    return 0;
}
