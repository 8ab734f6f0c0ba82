#include "Settings.h"

#include "IniFile.h"
#include "ValueText.h"

#include <QDir>
#include <QFileInfo>

using namespace Qt::StringLiterals;

QString Settings::settingsFile() const
{
    return appDir + AppFiles::settingsFileName();
}

QString Settings::vipFile() const
{
    return appDir + AppFiles::vipFileName();
}

QString Settings::dataFilePath() const
{
    return QDir(appDir).filePath(dataFile);
}

namespace AppFiles {

QString settingsFileName()
{
    return u"ZOP摇号设置.ini"_s;
}

QString vipFileName()
{
    return u"GoodLuck.txt"_s;
}

QString excludeFileName()
{
    return u"不参与摇号.txt"_s;
}

QString withTrailingSeparator(const QString &dir)
{
    return dir.endsWith(u'/') ? dir : dir + u'/';
}

SettingsSource loadSettings(Settings &s, const QString &programDir)
{
    s.appDir = withTrailingSeparator(QDir::fromNativeSeparators(programDir));
    const QString file = s.settingsFile();
    SettingsSource source = SettingsSource::File;
    switch (IniFile::readTextFile(file).status) {
    case IniFile::NoSuchFile:
        source = SettingsSource::MissingFile;
        break;
    case IniFile::ReadFailed:
        source = QFileInfo(file).isFile() ? SettingsSource::Unreadable : SettingsSource::NotAFile;
        break;
    default:
        break;
    }
    // A file that cannot be read would give empty texts, an empty separator above all.
    const bool missing = source != SettingsSource::File;

    // Without a file every value is the dialog's default; with one, only numbers fall back.
    auto text = [&](const QString &key, const QString &whenMissing) {
        return missing ? whenMissing : IniFile::iniReadValue(file, key);
    };
    auto number = [&](const QString &key, int fallback) {
        return ValueText::toInteger(IniFile::iniReadValue(file, key)).value_or(fallback);
    };

    s.drawCount = number(u"一次性摇出个数"_s, 5);
    s.drawPause = number(u"一次性摇出延时"_s, 5);
    s.scrollSpeed = number(u"滚动速度"_s, 5);
    s.onePerClick = number(u"每点一次出一号标志"_s, 0);
    s.dataFile = text(u"数据文件"_s, u"测试数据.txt"_s);
    s.winnerColumns = number(u"中奖名单列显示"_s, 0);
    s.winnerShowIndex = number(u"中奖名单是否显示序号"_s, 1);
    s.titleText = ValueText::convertLineBreaks(text(u"标题文字"_s, u"欢迎使用ZOP摇号工具"_s), 0);
    s.titleFontSize = number(u"标题字号"_s, 25);
    s.showRollList = number(u"显示滚动列表"_s, 1);
    s.winnerFontSize = number(u"中奖名单列字号"_s, 12);
    s.rollCountMin = number(u"滚动个数随机小"_s, 20);
    s.rollCountMax = number(u"滚动个数随机大"_s, 40);
    s.fieldSeparator = text(u"数据字段分隔符"_s, u"{tab}"_s)
                           .replace(u"{tab}"_s, u"\t"_s)
                           .replace(u"{space}"_s, u" "_s);
    s.closingText = ValueText::convertLineBreaks(text(u"结束语"_s, u"**** 谢谢参与! ****"_s), 0);
    s.resultTitle = ValueText::convertLineBreaks(
        text(u"结果标题"_s, u"☆★☆★ 号榜 ☆★☆★\\n=========================="_s), 0);
    s.resultFontSize = number(u"结果字号"_s, 12);

    s.excludeFile = s.appDir + excludeFileName();

    s.showItemA = number(u"项A显示"_s, 1);
    s.showItemB = number(u"项B显示"_s, 1);
    s.showItemC = number(u"项C显示"_s, 1);
    s.fontSizeA = number(u"字号A"_s, 36);
    s.fontSizeB = number(u"字号B"_s, 36);
    s.fontSizeC = number(u"字号C"_s, 36);
    // Files from before the key keep their old behaviour: earlier winners may win again.
    s.keepWinnersOut = number(u"中奖者不再参与"_s, 0);
    s.verifiableDraw = number(u"可验证摇号"_s, 0);

    return source;
}

} // namespace AppFiles
