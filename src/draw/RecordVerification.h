#pragma once

#include <QString>
#include <QStringList>

// What checking a record found: status 0 everything matches, 1 a difference (message names the
// first), 2 the record or its pool file cannot be read or is malformed.
struct VerificationResult {
    int status = 2;
    QStringList lines; // one a confirmed winner: number, pool position, the pool line
    QString message;
};

// Recomputes a verifiable draw from its record and the pool file beside it.
VerificationResult verifyRecord(const QString &recordFile);
