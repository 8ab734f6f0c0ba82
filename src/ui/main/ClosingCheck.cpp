#include "ClosingCheck.h"

#include "draw/RunData.h"
#include "draw/WinnerList.h"
#include "settings/IniFile.h"
#include "ui/common/MessageBoxes.h"

#include <QDateTime>
#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QStandardPaths>

using namespace Qt::StringLiterals;

namespace {

enum Choice { Retry, SaveElsewhere, CloseWithout, Cancel };

QString waitingText(const RunData &run)
{
    QStringList files;
    for (const ResultLine &line : run.unwrittenResultLines) {
        if (!files.contains(line.fileName))
            files.append(line.fileName);
    }
    QString text;
    if (!run.unwrittenResultLines.isEmpty())
        text = u"还有 %1 名中奖者未能写入结果文件%2，关闭程序将丢失这些结果。"_s
                   .arg(run.unwrittenResultLines.size())
                   .arg(quotedFileNames(files));
    if (!run.pendingAbsences.isEmpty())
        text += (text.isEmpty() ? QString() : u"\r\n"_s)
            + u"还有 %1 条缺席记录未能写入。"_s.arg(run.pendingAbsences.size());
    return text;
}

} // namespace

ClosingCheck::ClosingCheck(RunData &run, MessageBoxes &messages) : run(run), messages(messages)
{
    chooseFile = [](QWidget *parent, const QString &suggested) {
        return QFileDialog::getSaveFileName(parent, u"保存未写入的结果"_s, suggested, u"文本文件 (*.txt)"_s);
    };
}

bool ClosingCheck::mayClose(QWidget *window)
{
    while (!run.unwrittenResultLines.isEmpty() || !run.pendingAbsences.isEmpty()) {
        const int choice = messages.choose(window, waitingText(run),
                                           {u"重试"_s, u"另存为…"_s, u"不保存，直接关闭"_s, u"取消"_s});
        if (choice == Retry) {
            if (writeWaitingLines(run))
                return true;
        } else if (choice == SaveElsewhere) {
            if (saveElsewhere(window))
                return true;
        } else if (choice == CloseWithout) {
            return true;
        } else {
            return false;
        }
    }
    return true;
}

bool ClosingCheck::saveElsewhere(QWidget *window)
{
    // The program's folder may be the one that refuses; the documents folder is a better guess.
    const QString folder = QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation);
    const QString suggested = QDir(folder).filePath(
        u"未写入的中奖结果"_s + QDateTime::currentDateTime().toString(u"yyyyMMdd_HHmmss"_s) + u".txt"_s);
    const QString file = chooseFile(window, suggested);
    if (file.isEmpty())
        return false;
    if (IniFile::writeWholeFile(waitingLinesText(run), file) != IniFile::ReadOk) {
        messages.error(window, u"无法写入“%1”。"_s.arg(QDir::toNativeSeparators(file)));
        return false;
    }
    return true;
}
