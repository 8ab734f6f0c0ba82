#include "ZipArchive.h"

#include <QXmlStreamReader>

#include <unzip.h>

#include <cstring>

namespace {

// minizip's file interface over a byte array, so a file of any name opens the same everywhere
// and the fuzzer reaches the whole reader without a file.
using MemoryFile = ZipMemorySource;

voidpf ZCALLBACK openMemory(voidpf opaque, const void *, int mode)
{
    if ((mode & ZLIB_FILEFUNC_MODE_READWRITEFILTER) != ZLIB_FILEFUNC_MODE_READ)
        return nullptr;
    auto *source = static_cast<MemoryFile *>(opaque);
    source->pos = 0;
    return source;
}

uLong ZCALLBACK readMemory(voidpf, voidpf stream, void *buf, uLong size)
{
    auto *f = static_cast<MemoryFile *>(stream);
    const quint64 total = quint64(f->bytes->size());
    if (f->pos >= total)
        return 0;
    const uLong n = uLong(std::min<quint64>(size, total - f->pos));
    std::memcpy(buf, f->bytes->constData() + f->pos, n);
    f->pos += n;
    return n;
}

uLong ZCALLBACK writeMemory(voidpf, voidpf, const void *, uLong)
{
    return 0;
}

ZPOS64_T ZCALLBACK tellMemory(voidpf, voidpf stream)
{
    return static_cast<MemoryFile *>(stream)->pos;
}

long ZCALLBACK seekMemory(voidpf, voidpf stream, ZPOS64_T offset, int origin)
{
    auto *f = static_cast<MemoryFile *>(stream);
    const quint64 total = quint64(f->bytes->size());
    quint64 base = 0;
    switch (origin) {
    case ZLIB_FILEFUNC_SEEK_CUR:
        base = f->pos;
        break;
    case ZLIB_FILEFUNC_SEEK_END:
        base = total;
        break;
    case ZLIB_FILEFUNC_SEEK_SET:
        break;
    default:
        return -1;
    }
    if (offset > total || base + offset > total)
        return -1;
    f->pos = base + offset;
    return 0;
}

int ZCALLBACK closeMemory(voidpf, voidpf)
{
    return 0;
}

int ZCALLBACK errorMemory(voidpf, voidpf)
{
    return 0;
}

} // namespace

ZipArchive::ZipArchive(const QByteArray &bytes) : source{&bytes, 0}
{
    zlib_filefunc64_def io{};
    io.zopen64_file = openMemory;
    io.zread_file = readMemory;
    io.zwrite_file = writeMemory;
    io.ztell64_file = tellMemory;
    io.zseek64_file = seekMemory;
    io.zclose_file = closeMemory;
    io.zerror_file = errorMemory;
    io.opaque = &source;
    zip = unzOpen2_64("", &io);
}

ZipArchive::~ZipArchive()
{
    if (zip)
        unzClose(zip);
}

bool ZipArchive::contains(const QString &name) const
{
    // Part names are case-insensitive in an Office package.
    return zip && unzLocateFile(zip, name.toUtf8().constData(), 2) == UNZ_OK;
}

ZipArchive::Result ZipArchive::parseXml(const QString &name,
                                        const std::function<bool(QXmlStreamReader &)> &onToken)
{
    if (!contains(name))
        return Result::Missing;
    if (unzOpenCurrentFile(zip) != UNZ_OK)
        return Result::Damaged;
    QXmlStreamReader xml;
    QByteArray chunk(256 * 1024, Qt::Uninitialized);
    bool inflated = false;
    int depth = 0;
    bool rootClosed = false;
    Result result = Result::Ok;
    while (true) {
        const QXmlStreamReader::TokenType token = xml.readNext();
        if (token == QXmlStreamReader::Invalid) {
            if (xml.error() != QXmlStreamReader::PrematureEndOfDocumentError) {
                result = Result::Damaged;
                break;
            }
            if (inflated) {
                if (!rootClosed)
                    result = Result::Damaged; // cut short
                break;
            }
            const int n = unzReadCurrentFile(zip, chunk.data(), unsigned(chunk.size()));
            if (n < 0) {
                result = Result::Damaged;
                break;
            }
            if (n == 0)
                inflated = true;
            else
                xml.addData(QByteArray(chunk.constData(), n));
            continue;
        }
        if (token == QXmlStreamReader::EndDocument)
            break;
        if (token == QXmlStreamReader::StartElement)
            ++depth;
        else if (token == QXmlStreamReader::EndElement && --depth == 0)
            rootClosed = true;
        if (!onToken(xml)) {
            result = Result::Stopped;
            break;
        }
    }
    // A checksum is only checked once the whole part has been read.
    const int closed = unzCloseCurrentFile(zip);
    if (result == Result::Ok && closed == UNZ_CRCERROR)
        result = Result::Damaged;
    return result;
}
