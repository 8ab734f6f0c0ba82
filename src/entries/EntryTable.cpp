#include "EntryTable.h"

#include "settings/IniFile.h"
#include "settings/ValueText.h"

using namespace Qt::StringLiterals;

QStringView EntryTable::column(int i, int c) const
{
    const Slot &slot = entrySlots.at(static_cast<size_t>(i - 1));
    return QStringView(pool).mid(slot.start[c - 1], slot.length[c - 1]);
}

EntryRecord EntryTable::record(int i) const
{
    return {column(i, 1).toString(), column(i, 2).toString(), column(i, 3).toString()};
}

bool EntryTable::equals(int i, QStringView c1, QStringView c2, QStringView c3) const
{
    return column(i, 1) == c1 && column(i, 2) == c2 && column(i, 3) == c3;
}

void EntryTable::clear()
{
    pool.clear();
    usedChars = 0;
    entrySlots.clear();
}

EntryTable::Slot EntryTable::store(QStringView c1, QStringView c2, QStringView c3)
{
    Slot slot;
    const QStringView columns[3] = {c1, c2, c3};
    for (int c = 0; c < 3; ++c) {
        slot.start[c] = static_cast<quint32>(pool.size());
        slot.length[c] = static_cast<quint32>(columns[c].size());
        pool.append(columns[c]);
        usedChars += columns[c].size();
    }
    return slot;
}

void EntryTable::append(QStringView c1, QStringView c2, QStringView c3)
{
    entrySlots.push_back(store(c1, c2, c3));
}

void EntryTable::replace(int i, const EntryRecord &r)
{
    Slot &slot = entrySlots.at(static_cast<size_t>(i - 1));
    usedChars -= slot.length[0] + slot.length[1] + slot.length[2];
    slot = store(r.column1, r.column2, r.column3);
    compactIfWasteful();
}

void EntryTable::remove(int i)
{
    const Slot &slot = entrySlots.at(static_cast<size_t>(i - 1));
    usedChars -= slot.length[0] + slot.length[1] + slot.length[2];
    entrySlots.erase(entrySlots.begin() + (i - 1));
    compactIfWasteful();
}

// Edits leave unreferenced text behind; rebuild the pool once most of it is garbage.
void EntryTable::compactIfWasteful()
{
    if (pool.size() < 4096 || usedChars * 2 > pool.size())
        return;
    QString old = std::move(pool);
    pool = QString();
    pool.reserve(usedChars);
    usedChars = 0;
    for (Slot &slot : entrySlots) {
        QStringView c[3];
        for (int k = 0; k < 3; ++k)
            c[k] = QStringView(old).mid(slot.start[k], slot.length[k]);
        slot = store(c[0], c[1], c[2]);
    }
}

int EntryTable::parse(QString text, QStringView separator, int *wideLines)
{
    clear();
    if (wideLines)
        *wideLines = 0;
    if (text.size() >= qsizetype(UINT32_MAX))
        return 0;
    int unread = 0;
    pool = std::move(text);
    const QStringView all(pool);
    const qsizetype n = all.size();
    entrySlots.reserve(static_cast<size_t>(all.count(u'\n')) + 1);

    // Fields are cut at the whole separator, found with the fast single-character search first.
    auto find = [&](QStringView line, qsizetype from) -> qsizetype {
        if (separator.size() == 1)
            return line.indexOf(separator.front(), from);
        return line.indexOf(separator, from);
    };
    qsizetype lineStart = 0;
    while (lineStart < n) {
        // A line ends at CR LF or at LF alone (most tools outside Windows); a lone CR stays in it.
        qsizetype next = all.indexOf(u'\n', lineStart);
        if (next < 0)
            next = n; // a last line without its end is read like any other
        qsizetype lineEnd = next;
        if (lineEnd > lineStart && all[lineEnd - 1] == u'\r' && next < n)
            --lineEnd;
        const QStringView line = all.mid(lineStart, lineEnd - lineStart);
        // Nothing is cut without a separator.
        const qsizetype s1 = separator.isEmpty() ? -1 : find(line, 0);
        const qsizetype s2 = s1 < 0 ? -1 : find(line, s1 + separator.size());
        if (s2 >= 0) {
            qsizetype s3 = find(line, s2 + separator.size());
            if (s3 < 0)
                s3 = line.size();
            else if (wideLines && !ValueText::trimBlanks(line.mid(s3 + separator.size())).isEmpty())
                ++*wideLines;
            const QStringView pieces[3] = {
                line.first(s1),
                line.mid(s1 + separator.size(), s2 - s1 - separator.size()),
                line.mid(s2 + separator.size(), s3 - s2 - separator.size()),
            };
            Slot slot;
            for (int c = 0; c < 3; ++c) {
                const QStringView t = ValueText::trimBlanks(pieces[c]);
                slot.start[c] = static_cast<quint32>(t.data() - all.data());
                slot.length[c] = static_cast<quint32>(t.size());
                usedChars += t.size();
            }
            entrySlots.push_back(slot);
        } else if (!ValueText::trimBlanks(line).isEmpty()) {
            ++unread;
        }
        lineStart = next + 1;
    }
    if (entrySlots.capacity() > 2 * entrySlots.size() + 1024)
        entrySlots.shrink_to_fit(); // mostly ignored lines
    return unread;
}

int loadEntryFile(const QString &fileName, const QString &separator, EntryTable &table)
{
    QString text;
    IniFile::readWholeFile(fileName, text);
    return table.parse(std::move(text), separator);
}

bool isExcluded(const EntryTable &excludeList, QStringView c1, QStringView c2, QStringView c3)
{
    for (int i = 1; i <= excludeList.entryCount(); ++i) {
        if (excludeList.equals(i, c1, c2, c3))
            return true;
    }
    return false;
}
