#include "FuzzSupport.h"
#include "draw/RunData.h"
#include "settings/IniFile.h"
#include "settings/Settings.h"

#include <QDir>
#include <QStringList>

using namespace Qt::StringLiterals;

// The settings reader and writer on an arbitrary file: no crash, and a successful write leaves
// whole CR LF lines with the written key at a line start, readable back when nothing shadows it.
extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const QByteArray bytes(reinterpret_cast<const char *>(data), qsizetype(size));
    const QString dir = fuzzDir().path() + u"/settings"_s;
    QDir().mkpath(dir);
    const QString file = writeFuzzFile(u"settings/ZOP摇号设置.ini"_s, bytes);

    Settings settings;
    RunData run;
    AppFiles::loadSettings(settings, run, dir);

    const QStringList keys{u"字号A"_s, u"标题文字"_s, u"a"_s, u"数据文件"_s};
    const QString key = keys[size ? data[0] % keys.size() : 0];
    const QString value = u"v=1 值"_s;
    const QString before = IniFile::iniReadValue(file, key);
    Q_UNUSED(before);
    if (IniFile::iniWriteValue(file, key, value)) {
        const IniFile::FileText written = IniFile::readTextFile(file);
        FUZZ_CHECK(written.status == 0 && !written.decoded.hadErrors);
        const QString &text = written.decoded.text;
        FUZZ_CHECK(text.endsWith(u"\r\n"_s));
        FUZZ_CHECK(text.startsWith(key + u'=' + value) || text.contains(u"\r\n"_s + key + u'=' + value + u"\r\n"_s));
        // With the key alone at line starts and no other line mentioning it, it reads back.
        bool shadowed = false;
        for (const QString &line : text.split(u"\r\n"_s)) {
            if (line.toUpper().contains(key.toUpper() + u'=') && !line.startsWith(key + u'=' + value))
                shadowed = true;
            if (line.contains(u'\r'))
                shadowed = true; // a lone CR splits a line differently for the reader
        }
        if (!shadowed)
            FUZZ_CHECK(IniFile::iniReadValue(file, key) == value);
    }
    return 0;
}
