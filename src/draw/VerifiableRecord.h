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
    // Written when the draw begins; older records lack them.
    std::optional<QString> prize;        // only when the run was for a prize
    std::optional<int> excludedCount;     // entries the exclusion list left out of the list
    std::optional<int> earlierWinnerCount; // entries left out as earlier winners of the event
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
// Hex digits in groups of four, to be read out and compared aloud.
QString groupedHex(QStringView hex);

// The pool file beside recordFile, checked against the record: its lines (without line ends)
// when its SHA-256 and line count match, else why not. status: 0 read, 1 differs, 2 unreadable.
struct PoolFile {
    int status = 2;
    QString path;
    QStringList lines;
    QString problem;
};
PoolFile readPoolFile(const QString &recordFile, const VerifiableRecord &record);

// The program line of the records this program begins.
QString programName();

// Lines as the record holds them (without line ends): the header is everything before the
// random numbers.
QStringList headerLines(const VerifiableRecord &record);
QStringList randomInputLines(const QStringList &sources, const QString &key);
QString winnerLine(int number, int position);
QString absenceLine(int winnerNumber);
QStringList allLines(const VerifiableRecord &record);

// Appends lines like a result line: one write, flushed to the disk before returning.
bool appendLines(const QString &fileName, const QStringList &lines);

// Reads a record's text; the first line that breaks its form is reported.
RecordParse parse(QStringView text);
// Reads a record file (GBK or UTF-8); nothing when it cannot be read or does not parse.
std::optional<VerifiableRecord> readRecord(const QString &recordFile);

// The record's expected number of 中奖 lines: the draw count, and one more for each absence.
int expectedWinners(const VerifiableRecord &record);
int recordedWinners(const VerifiableRecord &record);

} // namespace VerifiableRecordFile
