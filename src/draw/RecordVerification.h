#pragma once

#include <QString>
#include <QStringList>

// What checking a record found: status 0 everything matches, 1 a difference (message names the
// first), 2 the record or its pool file cannot be read or is malformed, 3 what the record holds
// matches but the draw is incomplete (no random numbers yet, or fewer winners than its count).
struct VerificationResult {
    int status = 2;
    // What the notary compares (pool file, its SHA-256, entries, what was left out, the random
    // numbers and the key), then one line a confirmed winner (number, pool position, the pool
    // line), then "一致" or the incompleteness.
    QStringList lines;
    QString message; // the first difference or fault; empty for status 0 and 3
};

// Recomputes a verifiable draw from its record and the pool file beside it.
VerificationResult verifyRecord(const QString &recordFile);
