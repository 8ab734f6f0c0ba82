#pragma once

#include <QString>

// Everything the user can configure, one field per key of the settings file.
struct Settings {
    int drawCount = 0;        // 一次性摇出个数
    int drawPause = 0;        // 一次性摇出延时, tenths of a second
    int scrollSpeed = 0;      // 滚动速度, steps of 10 ms
    int onePerClick = 0;      // 每点一次出一号标志
    QString dataFile;         // 数据文件
    int winnerColumns = 0;    // 中奖名单列显示, 0..6
    int winnerShowIndex = 0;  // 中奖名单是否显示序号
    QString titleText;        // 标题文字, line breaks decoded
    int titleFontSize = 0;    // 标题字号
    int showRollList = 0;     // 显示滚动列表
    int winnerFontSize = 0;   // 中奖名单列字号
    int rollCountMin = 0;     // 滚动个数随机小
    int rollCountMax = 0;     // 滚动个数随机大
    QString fieldSeparator;   // 数据字段分隔符, {tab} and {space} decoded
    QString closingText;      // 结束语
    QString resultTitle;      // 结果标题
    int resultFontSize = 0;   // 结果字号
    int showItemA = 0;        // 项A显示
    int showItemB = 0;        // 项B显示
    int showItemC = 0;        // 项C显示
    int fontSizeA = 0;        // 字号A
    int fontSizeB = 0;        // 字号B
    int fontSizeC = 0;        // 字号C
    int keepWinnersOut = 0;   // 中奖者不再参与: the event's earlier winners take no part
    int verifiableDraw = 0;   // 可验证摇号: fixed pool, public random numbers, RFC 3797 selection

    QString appDir;      // the program's folder, ending in "/"
    QString excludeFile; // appDir + 不参与摇号.txt

    QString settingsFile() const;
    QString vipFile() const;
    // The data file: a relative name is found in appDir, an absolute one where it says. The
    // main window and the editor both go through here, so they always read the same file.
    QString dataFilePath() const;
};

namespace AppFiles {

// Names of the files beside the program.
QString settingsFileName();
QString vipFileName();
QString excludeFileName();

// The folder with a trailing separator, as appDir holds it.
QString withTrailingSeparator(const QString &dir);

// NotAFile: a folder or the like stands where the file should be; Unreadable: the file exists
// but reading it failed. Both load the same defaults as a missing file.
enum class SettingsSource { File, MissingFile, NotAFile, Unreadable };

// Fills every field from the settings file in appDir. A missing or unreadable file gives the
// dialog's defaults and nothing is written; a missing or non-numeric number takes the same default
// silently. The overload in draw/RunData.h also empties the run tables, as the program needs.
SettingsSource loadSettings(Settings &settings, const QString &programDir);

} // namespace AppFiles
