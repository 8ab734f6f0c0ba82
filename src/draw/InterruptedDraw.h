#pragma once

#include "VerifiableRecord.h"

#include <QString>
#include <QStringList>

#include <optional>

// A verifiable draw that has its random numbers but not all its winners on show: a crash, a
// power cut or a closed window ended it after a 中奖 line was written, or before the last one.
struct InterruptedDraw {
    QString recordFile;
    VerifiableRecord record;
    int recorded = 0;      // 中奖 lines
    int expected = 0;      // 中奖 lines a complete draw has
    int shown = 0;         // 中奖 lines from the first whose result lines are on disk
    QStringList poolLines; // the pool file, when it is intact
    QString problem;       // why the draw cannot go on; empty when it can
};

// The newest such record of appDir (ends in "/"). A winner counts as shown when its line is in
// a result file written since the record began, in order after the one shown before it.
std::optional<InterruptedDraw> findInterruptedDraw(const QString &appDir, const QString &separator);
