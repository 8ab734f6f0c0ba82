#pragma once

#include <QStringList>

// zop-draw --import ROSTER OUT.txt [--sheet N] [--columns 2,3,5] [--header | --no-header]:
// the roster's entries written as a data file, with the dialog's rules and defaults.
namespace ImportCommand {

enum Status { Written = 0, NothingToImport = 1, Failed = 2 };

struct Outcome {
    int status = Failed;
    QStringList out; // what to print on standard output
    QStringList err; // on standard error
};

QString usage();

// args: what follows --import. Relative names are taken from the current folder; the
// separator is the one in force in appDir's settings file.
Outcome run(const QStringList &args, const QString &appDir);

} // namespace ImportCommand
