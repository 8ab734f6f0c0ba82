#include "FuzzSupport.h"
#include "draw/EventResults.h"
#include "draw/PrizeList.h"

using namespace Qt::StringLiterals;

// The prize list, a result file of a prize and the absence record, all from arbitrary bytes:
// every prize read is valid and what the editor would write reads back the same; every winner
// row is numbered in order within its prize.
extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const QByteArray bytes(reinterpret_cast<const char *>(data), qsizetype(size));
    const PrizeListFile list = PrizeLists::read(writeFuzzFile(PrizeLists::fileName(), bytes));
    for (const Prize &p : list.prizes)
        FUZZ_CHECK(!p.name.isEmpty() && p.count >= 1 && p.count <= PrizeLists::maxCount);
    FUZZ_CHECK(PrizeLists::parse(PrizeLists::text(list.prizes)).prizes == list.prizes);

    const QString prize = list.prizes.isEmpty() ? u"三等奖"_s : list.prizes.first().name;
    const QString name = u"出号结果20240315_093007_"_s + prizeFileNamePart(prize) + u".txt"_s;
    FUZZ_CHECK(parseResultFileName(name).prize == prizeFileNamePart(prize));
    writeFuzzFile(name, bytes);
    writeFuzzFile(u"缺席记录.txt"_s, bytes);
    const EventResults results = readEventResults(fuzzDir().path() + u'/', u"\t"_s, list.prizes);
    for (qsizetype i = 0; i < results.rows.size(); ++i)
        FUZZ_CHECK(results.rows[i].number == i + 1 && results.rows[i].prize == prize);
    QFile::remove(fuzzDir().filePath(name));
    return 0;
}
