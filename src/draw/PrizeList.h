#pragma once

#include "settings/TextCodec.h"

#include <QList>
#include <QString>
#include <QStringList>

// One prize of the event: its name, how many win it, and an optional picture file name.
struct Prize {
    QString name;
    int count = 0;
    QString picture;

    friend bool operator==(const Prize &, const Prize &) = default;
};

// The prize list file as read: the prizes in drawing order and the lines that gave none.
struct PrizeListFile {
    int status = -2;          // readWholeFile's status: 0 read, -1 unreadable, -2 missing
    QList<Prize> prizes;
    QList<int> badLines;      // 1-based numbers of the lines skipped
    QStringList badReasons;   // why each was skipped, beside badLines
    TextEncoding encoding = TextEncoding::Gb18030;
    bool hadErrors = false;   // some bytes did not decode: the file is never rewritten
};

namespace PrizeLists {

QString fileName(); // 奖项设置.txt, in appDir

// The most winners one prize may have, as for the draw count.
constexpr int maxCount = 99999;

// Why a prize cannot be called name, or "" when it can: empty, a tab, too long for its result
// file's name, a name that ends like a copied file's, or the same result file name as an
// earlier prize (earlierNames, in list order; "J/1" and "J_1" both give "J_1").
QString nameProblem(const QString &name, const QStringList &earlierNames);

// Lines "name TAB count [TAB picture]"; blank lines are passed over. A line with a bad name
// (nameProblem), without a count, with a count outside 1..maxCount or with more than three
// fields is bad and skipped.
PrizeListFile parse(QStringView text);
PrizeListFile read(const QString &fileName);

// The file's text for the prizes, CR LF after every line.
QString text(const QList<Prize> &prizes);

// One message naming the skipped lines and why, or "" when there are none.
QString badLinesMessage(const PrizeListFile &file);

// One message naming the prizes whose picture file does not exist, or "" when all do
// (a relative name is in appDir).
QString missingPicturesMessage(const QList<Prize> &prizes, const QString &appDir);

// The prize to offer after prize index after (-1: from the start), given what each still needs:
// the first later one that needs winners, else the first earlier one; -1 when all are drawn.
int nextOpen(const QList<int> &remaining, int after);

} // namespace PrizeLists
