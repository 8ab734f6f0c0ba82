#include "VerifiableSelection.h"

#include <QCryptographicHash>

#include <algorithm>

namespace Rfc3797 {

namespace {

bool isBlank(QChar c)
{
    return c == u' ' || c == u'\t' || c == QChar(0x3000);
}

} // namespace

std::optional<QByteArray> keyFromSources(const QStringList &sources)
{
    QByteArray key;
    for (const QString &source : sources) {
        QList<QByteArray> numbers;
        QByteArray current;
        auto finish = [&] {
            if (current.isEmpty())
                return;
            // Leading zeros go, so "007" and "7" are one number; zero stays "0".
            qsizetype z = 0;
            while (z + 1 < current.size() && current[z] == '0')
                ++z;
            numbers.append(current.mid(z));
            current.clear();
        };
        for (QChar c : source) {
            if (c >= u'0' && c <= u'9')
                current.append(char(c.unicode()));
            else if (isBlank(c))
                finish();
            else
                return std::nullopt;
        }
        finish();
        if (numbers.isEmpty())
            continue;
        // Numbers of any length: a shorter one is smaller.
        std::sort(numbers.begin(), numbers.end(), [](const QByteArray &a, const QByteArray &b) {
            return a.size() != b.size() ? a.size() < b.size() : a < b;
        });
        for (const QByteArray &n : std::as_const(numbers))
            key += n + '.';
        key += '/';
    }
    if (key.isEmpty())
        return std::nullopt;
    return key;
}

QByteArray selectionDigest(int index, QByteArrayView key)
{
    const char twoBytes[2] = {char((index >> 8) & 0xff), char(index & 0xff)};
    QCryptographicHash md5(QCryptographicHash::Md5);
    md5.addData(QByteArrayView(twoBytes, 2));
    md5.addData(key);
    md5.addData(QByteArrayView(twoBytes, 2));
    return md5.result();
}

quint32 remainder(QByteArrayView bytes, quint32 m)
{
    quint64 r = 0;
    for (char b : bytes)
        r = ((r << 8) | quint8(b)) % m;
    return quint32(r);
}

} // namespace Rfc3797

VerifiableSelection::VerifiableSelection(int poolSize, QByteArray key)
    : remaining(poolSize), key(std::move(key))
{
}

bool VerifiableSelection::canSelect() const
{
    return index <= Rfc3797::maxIndex && remaining.presentCount() > 0;
}

int VerifiableSelection::peekNext() const
{
    if (!canSelect())
        return 0;
    const QByteArray digest = Rfc3797::selectionDigest(index, key);
    return remaining.positionOfRank(int(Rfc3797::remainder(digest, quint32(remaining.presentCount()))));
}

int VerifiableSelection::selectNext()
{
    const int position = peekNext();
    if (position == 0)
        return 0;
    remaining.take(position);
    ++index;
    return position;
}
