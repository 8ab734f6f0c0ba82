#pragma once

#include <QByteArray>
#include <QString>

#include <functional>

class QXmlStreamReader;

// Where minizip's reads of an archive in memory stand.
struct ZipMemorySource {
    const QByteArray *bytes;
    quint64 pos;
};

// A zip archive held in memory, read with minizip: the parts of an .xlsx are streamed through
// Qt's XML reader without ever being decompressed whole.
class ZipArchive
{
public:
    enum class Result { Ok, Missing, Damaged, Stopped };

    explicit ZipArchive(const QByteArray &bytes);
    ~ZipArchive();
    ZipArchive(const ZipArchive &) = delete;
    ZipArchive &operator=(const ZipArchive &) = delete;

    bool isOpen() const { return zip != nullptr; }
    bool contains(const QString &name) const;

    // Feeds every token of the named part to onToken, which returns false to stop (Stopped).
    // A part that does not inflate, fails its checksum or is not well-formed XML is Damaged.
    Result parseXml(const QString &name, const std::function<bool(QXmlStreamReader &)> &onToken);

private:
    ZipMemorySource source;
    void *zip = nullptr;
};
