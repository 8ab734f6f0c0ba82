#include "FuzzSupport.h"
#include "entries/EntryTable.h"
#include "settings/IniFile.h"
#include "settings/ValueText.h"

#include <QStringList>

using namespace Qt::StringLiterals;

// loadEntryFile with a separator taken from the input, checked against a plain split.
extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    if (size < 1)
        return 0;
    const size_t sepLength = data[0] % 4;
    if (size < 1 + sepLength)
        return 0;
    const QString separator = QString::fromLatin1(reinterpret_cast<const char *>(data + 1), qsizetype(sepLength));
    const QByteArray bytes(reinterpret_cast<const char *>(data + 1 + sepLength), qsizetype(size - 1 - sepLength));
    const QString file = writeFuzzFile(u"entries.txt"_s, bytes);

    QString text;
    IniFile::readWholeFile(file, text);
    EntryTable table;
    int wide = -1;
    table.parse(text, separator, &wide);

    QList<QStringList> expected;
    int expectedWide = 0;
    if (!separator.isEmpty()) {
        // Lines end at LF, a CR before it included; a CR at the very end stays.
        const QStringList lines = text.split(u'\n');
        for (qsizetype i = 0; i < lines.size(); ++i) {
            QString line = lines[i];
            if (i + 1 < lines.size() && line.endsWith(u'\r'))
                line.chop(1);
            const QStringList pieces = line.split(separator);
            if (pieces.size() >= 3)
                expected.append({ValueText::trimBlanks(pieces[0]).toString(), ValueText::trimBlanks(pieces[1]).toString(),
                                 ValueText::trimBlanks(pieces[2]).toString()});
            if (pieces.size() > 3 && !ValueText::trimBlanks(pieces.mid(3).join(separator)).isEmpty())
                ++expectedWide;
        }
    }
    FUZZ_CHECK(table.entryCount() == expected.size());
    FUZZ_CHECK(wide == expectedWide);
    for (int i = 1; i <= table.entryCount(); ++i) {
        for (int c = 1; c <= 3; ++c)
            FUZZ_CHECK(table.column(i, c) == expected[i - 1][c - 1]);
    }

    // Edits keep the other entries intact.
    if (table.entryCount() > 0) {
        const EntryRecord last = table.record(table.entryCount());
        table.replace(1, {u"x"_s, u"y"_s, u"z"_s});
        table.append(u"a"_s, u"b"_s, u"c"_s);
        table.remove(1);
        if (table.entryCount() > 1)
            FUZZ_CHECK(table.record(table.entryCount() - 1) == last);
    }
    return 0;
}
