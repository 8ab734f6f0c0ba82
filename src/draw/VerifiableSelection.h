#pragma once

#include "RankTree.h"

#include <QByteArray>
#include <QStringList>

#include <optional>

// The publicly checkable selection of RFC 3797.
namespace Rfc3797 {

// The highest selection index: it is hashed as two bytes.
constexpr int maxIndex = 65535;

// The key of the random sources, one source a string of non-negative decimal integers separated
// by blanks: each source's numbers in ascending order without leading zeros, each followed by
// ".", each source followed by "/". Blank sources are skipped. Nothing when a source holds
// anything else or when no source is left.
std::optional<QByteArray> keyFromSources(const QStringList &sources);

// MD5 over index (two bytes, high first) + key + index.
QByteArray selectionDigest(int index, QByteArrayView key);

// The big-endian unsigned number in bytes, modulo m (m > 0).
quint32 remainder(QByteArrayView bytes, quint32 m);

} // namespace Rfc3797

// The selections of one key from a pool of n positions, in order: selection i takes the entry
// whose rank among the positions not yet taken is the remainder of selection i's digest.
class VerifiableSelection
{
public:
    VerifiableSelection(int poolSize, QByteArray key);

    // The index of the next selection, which is also how many were made.
    int nextIndex() const { return index; }
    bool canSelect() const;
    // The pool position (1-based) of the next selection; 0 when canSelect() is false.
    int peekNext() const;
    // The same, and the position is taken.
    int selectNext();

private:
    RankTree remaining;
    QByteArray key;
    int index = 0;
};
