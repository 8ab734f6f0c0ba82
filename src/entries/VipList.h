#pragma once

#include <QString>

#include <vector>

// A chosen entry, named by its three columns, and the draw position it is to come out at.
struct VipRecord {
    QString position;
    QString column1;
    QString column2;
    QString column3;

    friend bool operator==(const VipRecord &, const VipRecord &) = default;
};

// Records numbered 1..vipCount() in file order.
class VipList
{
public:
    int vipCount() const { return static_cast<int>(records.size()); }
    const VipRecord &record(int i) const { return records.at(static_cast<size_t>(i - 1)); }
    void append(const VipRecord &r) { records.push_back(r); }
    void remove(int k) { records.erase(records.begin() + (k - 1)); }
    void clear() { records.clear(); }

private:
    std::vector<VipRecord> records;
};

// The mark between the position and the first column of a line.
inline constexpr char16_t vipMark[] = u"#*#";

// Empties list, then reads "position#*#c1 S c2 S c3" lines; lines of fewer pieces are skipped.
// Lines end at CR LF or LF. Returns how many of the skipped lines held more than blanks;
// wideLines (when given) receives how many records dropped more than blanks after column 3.
int loadVipFile(const QString &fileName, const QString &separator, VipList &list,
                int *wideLines = nullptr);

// Writes every record, each line ended by CR LF; the writeWholeFile status.
int saveVipFile(const VipList &list, const QString &separator, const QString &fileName);
