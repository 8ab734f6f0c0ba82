#pragma once

#include <QList>
#include <QString>
#include <QStringList>

#include <optional>

class EntryTable;

// One 中奖 or 缺席 line of a record, in file order.
struct RecordStep {
    bool absence = false;
    int number = 0; // the winner's number (中奖<number>) or, for an absence, the absent winner's
    int position = 0; // the winner's pool position; 0 for an absence

    friend bool operator==(const RecordStep &, const RecordStep &) = default;
};

// What a record of a verifiable draw holds: the fixed pool, the random input once given, and
// each selection as it was revealed.
struct VerifiableRecord {
    QString program;
    QString poolFileName; // a bare name: the pool file lies beside the record
    QString poolSha256;   // 64 lowercase hex digits
    int poolSize = 0;
    int drawCount = 0;
    QStringList sources;  // as typed, one a line
    std::optional<QString> key;
    QList<RecordStep> steps;

    friend bool operator==(const VerifiableRecord &, const VerifiableRecord &) = default;
};

struct RecordParse {
    std::optional<VerifiableRecord> record;
    int errorLine = 0;    // 1-based line of the first fault
    QString error;
};

namespace VerifiableRecordFile {

// The file names of one draw, sharing their time stamp (yyyyMMdd_HHmmss).
QString poolFileName(const QString &stamp);
QString recordFileName(const QString &stamp);

// The pool file's bytes: one entry a line (the three columns joined by separator, CR LF) in
// GB18030, the encoding of result files.
QByteArray poolBytes(const EntryTable &table, const QList<int> &entries, const QString &separator);
// Writes the bytes with one write through a temporary file: never half a pool file.
bool writePoolFile(const QString &fileName, const QByteArray &bytes);
QString sha256Hex(const QByteArray &bytes);

// Lines as the record holds them (without line ends).
QStringList headerLines(const QString &poolFileName, const QString &sha256, int poolSize, int drawCount);
QStringList randomInputLines(const QStringList &sources, const QString &key);
QString winnerLine(int number, int position);
QString absenceLine(int winnerNumber);
QStringList allLines(const VerifiableRecord &record);

// Appends lines like a result line: one write, flushed to the disk before returning.
bool appendLines(const QString &fileName, const QStringList &lines);

// Reads a record's text; the first line that breaks its form is reported.
RecordParse parse(QStringView text);

} // namespace VerifiableRecordFile
