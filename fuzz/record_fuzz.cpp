#include "FuzzSupport.h"
#include "draw/RecordVerification.h"
#include "draw/VerifiableRecord.h"
#include "settings/TextCodec.h"

using namespace Qt::StringLiterals;

// The record reader on arbitrary bytes: what it accepts writes back to lines it reads the same
// again, and checking such a record beside a small pool never crashes or hangs.
extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const QByteArray bytes(reinterpret_cast<const char *>(data), qsizetype(size));
    const RecordParse parsed = VerifiableRecordFile::parse(TextCodec::decode(bytes).text);
    if (!parsed.record) {
        FUZZ_CHECK(parsed.errorLine > 0 && !parsed.error.isEmpty());
        return 0;
    }
    const QStringList lines = VerifiableRecordFile::allLines(*parsed.record);
    const RecordParse again = VerifiableRecordFile::parse(lines.join(u"\r\n"_s));
    FUZZ_CHECK(again.record && *again.record == *parsed.record);

    // A name the file system refuses (too long, say) is a pool file that cannot be read.
    QFile pool(fuzzDir().filePath(parsed.record->poolFileName));
    if (pool.open(QIODevice::WriteOnly | QIODevice::Truncate))
        pool.write("1\r\n2\r\n3\r\n");
    pool.close();
    const VerificationResult result = verifyRecord(writeFuzzFile(u"record.txt"_s, bytes));
    FUZZ_CHECK(result.status >= 0 && result.status <= 3);
    // Consistent or incomplete, the last line says which; anything else has its message.
    FUZZ_CHECK((result.status == 0 || result.status == 3) == result.message.isEmpty());
    if (result.status == 0)
        FUZZ_CHECK(result.lines.last() == u"一致"_s);
    if (result.status == 3)
        FUZZ_CHECK(result.lines.last().startsWith(u"不完整"_s));
    return 0;
}
