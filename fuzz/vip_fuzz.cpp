#include "FuzzSupport.h"
#include "entries/VipList.h"
#include "settings/IniFile.h"

using namespace Qt::StringLiterals;

// loadVipFile on arbitrary bytes; what it read saves and reads back unchanged when no text holds
// the separator, the mark or a line break, none has blanks at its ends, and the position has no "#".
extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const QByteArray bytes(reinterpret_cast<const char *>(data), qsizetype(size));
    const QString separator = size && data[0] & 1 ? u" "_s : u"\t"_s;
    const QString file = writeFuzzFile(u"GoodLuck.txt"_s, bytes);

    VipList list;
    loadVipFile(file, separator, list);
    if (saveVipFile(list, separator, file) != 0)
        return 0;
    VipList back;
    loadVipFile(file, separator, back);
    // Short GBK text can also be valid UTF-8: such a file is read back in the other encoding.
    const DecodedText before = TextCodec::decode(bytes);
    const IniFile::FileText after = IniFile::readTextFile(file);
    if (before.hadErrors || before.encoding != after.decoded.encoding)
        return 0;

    auto clean = [&](const QString &t) {
        return !t.contains(separator) && !t.contains(u"#*#"_s) && !t.contains(u"\r\n"_s)
            && !t.startsWith(u' ') && !t.endsWith(u' ') && !t.contains(u'\r');
    };
    bool allClean = true;
    for (int i = 1; i <= list.vipCount(); ++i) {
        const VipRecord &r = list.record(i);
        // A position ending in "#" or "#*" would run into the mark; the editor writes digits only.
        allClean = allClean && clean(r.position) && !r.position.contains(u'#') && clean(r.column1)
            && clean(r.column2) && clean(r.column3);
    }
    if (allClean) {
        FUZZ_CHECK(back.vipCount() == list.vipCount());
        for (int i = 1; i <= list.vipCount(); ++i)
            FUZZ_CHECK(back.record(i) == list.record(i));
    }
    return 0;
}
