#include "settings/IniFile.h"
#include "support/TestSupport.h"

#include <QDir>
#include <QTemporaryDir>
#include <QTest>

#include <csignal>
#include <sys/resource.h>

using namespace Qt::StringLiterals;
using namespace IniFile;
using TestSupport::gbk;
using TestSupport::readBytes;
using TestSupport::writeBytes;

class TestIniFile : public QObject
{
    Q_OBJECT

private:
    QTemporaryDir dir;
    QString path(const QString &name) const { return dir.filePath(name); }

private slots:
    void readValue_data();
    void readValue();
    void writeValue_data();
    void writeValue();
    void writeValueNeverCreatesTheFile();
    void writerAndReaderMatchDifferently();
    void wholeFileRoundTrip();
    void encodings_data();
    void encodings();
    void rewriteKeepsEncoding_data();
    void rewriteKeepsEncoding();
    void undecodableSettingsFileIsNotRewritten();
    void codePage936RewriteKeepsEveryCharacter();
    void badPaths();
    void hugeAndOddContent();
    void writeFailingPartWayKeepsOldFile();
    void saveRemovesLeftoversOfAKilledSave_data();
    void saveRemovesLeftoversOfAKilledSave();
    void saveWritesThroughALinkAndKeepsPermissions();
};

void TestIniFile::readValue_data()
{
    QTest::addColumn<QString>("content");
    QTest::addColumn<QString>("key");
    QTest::addColumn<QString>("expected");

    QTest::newRow("comment skipped") << u";一次性摇出个数=3\r\n一次性摇出个数=7\r\n"_s
                                     << u"一次性摇出个数"_s << u"7"_s;
    QTest::newRow("indented comment skipped") << u"   ;字号A=1\r\n字号A=2\r\n"_s << u"字号A"_s << u"2"_s;
    QTest::newRow("case-insensitive") << u"字号a=20\r\n"_s << u"字号A"_s << u"20"_s;
    QTest::newRow("value keeps =") << u"标题文字=a=b\r\n"_s << u"标题文字"_s << u"a=b"_s;
    QTest::newRow("blanks kept") << u"数据文件= x.txt \r\n"_s << u"数据文件"_s << u" x.txt "_s;
    QTest::newRow("key found anywhere") << u"X字号A=1\r\n字号A=5\r\n"_s << u"字号A"_s << u"1"_s;
    QTest::newRow("value starts at the first =, before the key")
        << u"备注=见字号A=5\r\n"_s << u"字号A"_s << u"见字号A=5"_s;
    QTest::newRow("key trimmed") << u"字号A=9\r\n"_s << u"  字号A  "_s << u"9"_s;
    QTest::newRow("first match wins") << u"字号A=1\r\n字号A=2\r\n"_s << u"字号A"_s << u"1"_s;
    QTest::newRow("absent key") << u"字号A=1\r\n"_s << u"字号B"_s << QString();
    QTest::newRow("lone CR ends a line") << u"字号A=1\r字号B=2"_s << u"字号B"_s << u"2"_s;
    QTest::newRow("lone LF stays in the line") << u"字号A=1\n字号B=2\r\n"_s << u"字号A"_s << u"1\n字号B=2"_s;
    QTest::newRow("blank before = is no match") << u"字号A =1\r\n"_s << u"字号A"_s << QString();
}

void TestIniFile::readValue()
{
    QFETCH(QString, content);
    QFETCH(QString, key);
    QFETCH(QString, expected);
    writeBytes(path(u"r.ini"_s), gbk(content));
    QCOMPARE(iniReadValue(path(u"r.ini"_s), key), expected);
}

void TestIniFile::writeValue_data()
{
    QTest::addColumn<QString>("content");
    QTest::addColumn<QString>("key");
    QTest::addColumn<QString>("value");
    QTest::addColumn<QString>("expected");

    QTest::newRow("new key appended last") << u"a=1\r\nb=2\r\nc=3\r\n"_s << u"字号A"_s << u"36"_s
                                           << u"a=1\r\nb=2\r\nc=3\r\n字号A=36\r\n"_s;
    QTest::newRow("replaced with caller's spelling") << u"字号a=20\r\n"_s << u"字号A"_s << u"30"_s
                                                     << u"字号A=30\r\n"_s;
    QTest::newRow("short and blank lines dropped") << u"x\r\n\r\na=1\r\n   \r\n"_s << u"a"_s << u"2"_s
                                                   << u"a=2\r\n"_s;
    QTest::newRow("every line-start match replaced") << u"k=1\r\nother=0\r\nK=2\r\n"_s << u"k"_s << u"9"_s
                                                     << u"k=9\r\nother=0\r\nk=9\r\n"_s;
    QTest::newRow("leading blanks removed, comments kept") << u"  ;note\r\n  a=1\r\n"_s << u"b"_s << u"2"_s
                                                           << u";note\r\na=1\r\nb=2\r\n"_s;
    QTest::newRow("last line without CR LF") << u"a=1"_s << u"a"_s << u"5"_s << u"a=5\r\n"_s;
    QTest::newRow("empty file") << QString() << u"a"_s << u""_s << u"a=\r\n"_s;
}

void TestIniFile::writeValue()
{
    QFETCH(QString, content);
    QFETCH(QString, key);
    QFETCH(QString, value);
    QFETCH(QString, expected);
    const QString file = path(u"w.ini"_s);
    writeBytes(file, gbk(content));
    QVERIFY(iniWriteValue(file, key, value));
    QCOMPARE(readBytes(file), gbk(expected));
}

void TestIniFile::writeValueNeverCreatesTheFile()
{
    const QString file = path(u"absent.ini"_s);
    QVERIFY(!iniWriteValue(file, u"a"_s, 1));
    QVERIFY(!QFile::exists(file));
}

void TestIniFile::writerAndReaderMatchDifferently()
{
    // The reader finds X字号A=1; the writer only matches at line starts and appends.
    const QString file = path(u"m.ini"_s);
    writeBytes(file, gbk(u"X字号A=1\r\n"_s));
    QVERIFY(iniWriteValue(file, u"字号A"_s, 7));
    QCOMPARE(readBytes(file), gbk(u"X字号A=1\r\n字号A=7\r\n"_s));
    QCOMPARE(iniReadValue(file, u"字号A"_s), u"1"_s);
}

void TestIniFile::wholeFileRoundTrip()
{
    const QString file = path(u"whole.txt"_s);
    QFile::remove(file);
    QCOMPARE(writeWholeFile(u"a"_s, file), 0);
    QCOMPARE(readBytes(file).size(), 1);

    QCOMPARE(writeWholeFile(u"张三\t1001\r\n"_s, file), 0);
    QCOMPARE(readBytes(file), QByteArray("\xD5\xC5\xC8\xFD\t1001\r\n"));
    QString text;
    QCOMPARE(readWholeFile(file, text), 0);
    QCOMPARE(text, u"张三\t1001\r\n"_s); // CR LF kept as it is

    QCOMPARE(writeWholeFile(QString(), file), 0);
    QCOMPARE(QFileInfo(file).size(), 0);

    text = u"old"_s;
    QCOMPARE(readWholeFile(path(u"missing.txt"_s), text), -2);
    QCOMPARE(text, QString());
}

void TestIniFile::encodings_data()
{
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<QString>("text");
    QTest::addColumn<int>("encoding");
    QTest::addColumn<bool>("errors");

    const QString chinese = u"张三\t销售部"_s;
    QTest::newRow("GBK") << gbk(chinese) << chinese << int(TextEncoding::Gb18030) << false;
    QTest::newRow("UTF-8") << chinese.toUtf8() << chinese << int(TextEncoding::Utf8) << false;
    QTest::newRow("UTF-8 with mark") << QByteArray("\xEF\xBB\xBF") + chinese.toUtf8() << chinese
                                     << int(TextEncoding::Utf8Bom) << false;
    QTest::newRow("ASCII") << QByteArray("a\tb\tc") << u"a\tb\tc"_s << int(TextEncoding::Gb18030) << false;
    QTest::newRow("euro sign of code page 936") << QByteArray("\x80" "5") << u"€5"_s
                                                << int(TextEncoding::Cp936) << false;
    QTest::newRow("a second mark is text") << QByteArray("\xEF\xBB\xBF\xEF\xBB\xBF" "A") << u"\uFEFFA"_s
                                           << int(TextEncoding::Utf8Bom) << false;
    QTest::newRow("GBK that is also valid UTF-8") << gbk(u"蟹\t2"_s) << u"蟹\t2"_s
                                                  << int(TextEncoding::Gb18030) << false;
    QTest::newRow("GBK that passes as UTF-8 of Latin letters") << gbk(u"钱平\t陆强\t莫然"_s) << u"钱平\t陆强\t莫然"_s
                                                               << int(TextEncoding::Gb18030) << false;
    QTest::newRow("UTF-8 pinyin and middle dot") << u"Zhāng Sān\t约翰·史密斯"_s.toUtf8()
                                                 << u"Zhāng Sān\t约翰·史密斯"_s << int(TextEncoding::Utf8) << false;
    QTest::newRow("NUL bytes") << QByteArray("a\0b", 3) << QString(u"a\0b"_s) << int(TextEncoding::Gb18030)
                               << false;
    QTest::newRow("lone lead byte at the end") << gbk(u"张"_s) + QByteArray("\xD5") << u"张\uFFFD"_s
                                               << int(TextEncoding::Gb18030) << true;
    QTest::newRow("invalid bytes") << QByteArray("a\xFF\xFF" "b") << u"a\uFFFD\uFFFDb"_s
                                   << int(TextEncoding::Gb18030) << true;
}

void TestIniFile::encodings()
{
    QFETCH(QByteArray, bytes);
    QFETCH(QString, text);
    QFETCH(int, encoding);
    QFETCH(bool, errors);
    const QString file = path(u"enc.txt"_s);
    writeBytes(file, bytes);
    const FileText read = readTextFile(file);
    QCOMPARE(read.status, 0);
    QCOMPARE(int(read.decoded.encoding), encoding);
    QCOMPARE(read.decoded.hadErrors, errors);
    if (!errors)
        QCOMPARE(read.decoded.text, text);
    else
        QVERIFY(read.decoded.text.startsWith(text.first(1)));
}

void TestIniFile::rewriteKeepsEncoding_data()
{
    QTest::addColumn<QByteArray>("before");
    QTest::addColumn<QByteArray>("after");

    const QString start = u"标题文字=旧\r\n"_s;
    const QString end = u"标题文字=新€\r\n"_s;
    QTest::newRow("GBK") << gbk(start) << QByteArray(gbk(u"标题文字=新"_s) + "\xA2\xE3\r\n");
    QTest::newRow("UTF-8") << start.toUtf8() << end.toUtf8();
    QTest::newRow("UTF-8 with mark") << QByteArray("\xEF\xBB\xBF") + start.toUtf8()
                                     << QByteArray("\xEF\xBB\xBF") + end.toUtf8();
    QTest::newRow("code page 936") << QByteArray(gbk(u"标题文字=旧"_s) + "\x80\r\n")
                                   << QByteArray(gbk(u"标题文字=新"_s) + "\x80\r\n");
}

void TestIniFile::rewriteKeepsEncoding()
{
    QFETCH(QByteArray, before);
    QFETCH(QByteArray, after);
    const QString file = path(u"keep.ini"_s);
    writeBytes(file, before);
    QVERIFY(iniWriteValue(file, u"标题文字"_s, u"新€"_s));
    QCOMPARE(readBytes(file), after);
    QCOMPARE(iniReadValue(file, u"标题文字"_s), u"新€"_s);
}

void TestIniFile::codePage936RewriteKeepsEveryCharacter()
{
    // Characters code page 936 lacks must not turn into "?" when such a file is rewritten.
    const QString file = path(u"cp936.ini"_s);
    writeBytes(file, QByteArray("a=\x80\r\n"));
    const QString value = u"€ǹ😀张"_s;
    QVERIFY(iniWriteValue(file, u"a"_s, value));
    QCOMPARE(iniReadValue(file, u"a"_s), value);
    QCOMPARE(int(readTextFile(file).decoded.encoding), int(TextEncoding::Cp936));
}

void TestIniFile::undecodableSettingsFileIsNotRewritten()
{
    const QByteArray bytes = gbk(u"标题文字=旧\r\n"_s) + QByteArray("\xFF\xFF\r\n");
    const QString file = path(u"bad.ini"_s);
    writeBytes(file, bytes);
    QVERIFY(!iniWriteValue(file, u"字号A"_s, 1));
    QCOMPARE(readBytes(file), bytes);
    QCOMPARE(iniReadValue(file, u"标题文字"_s), u"旧"_s); // still readable
}

void TestIniFile::badPaths()
{
    // A folder where a file is expected, and a path under a missing folder: root cannot get past these.
    const QString folder = path(u"folder.txt"_s);
    QDir().mkpath(folder);
    const QString underMissing = path(u"no/such/dir/file.txt"_s);
    QString text = u"kept"_s;

    QCOMPARE(readWholeFile(folder, text), -1);
    QCOMPARE(text, u"kept"_s);
    QCOMPARE(writeWholeFile(u"x"_s, folder), -1);
    QVERIFY(QFileInfo(folder).isDir());
    QCOMPARE(iniReadValue(folder, u"a"_s), QString());
    QVERIFY(!iniWriteValue(folder, u"a"_s, 1));

    QCOMPARE(readWholeFile(underMissing, text), -2);
    QCOMPARE(writeWholeFile(u"x"_s, underMissing), -1);
    QVERIFY(!QFile::exists(underMissing));
    QCOMPARE(iniReadValue(underMissing, u"a"_s), QString());
}

void TestIniFile::hugeAndOddContent()
{
    // A 50 MB line with no line break, ending in a lone GBK lead byte.
    const QString file = path(u"huge.ini"_s);
    QByteArray bytes(50 * 1024 * 1024, 'x');
    bytes.prepend("k=");
    bytes.append('\xD5');
    writeBytes(file, bytes);
    const QString value = iniReadValue(file, u"k"_s);
    QVERIFY(value.size() >= 50 * 1024 * 1024); // the broken last byte is dropped or replaced
    QVERIFY(value.startsWith(u"xxx"));
    QVERIFY(!iniWriteValue(file, u"k"_s, 1)); // did not decode cleanly: left alone
    QCOMPARE(QFileInfo(file).size(), bytes.size());
    QFile::remove(file);
}

void TestIniFile::writeFailingPartWayKeepsOldFile()
{
    // A file size limit makes the write fail part-way even for root.
    const QString file = path(u"limited.txt"_s);
    const QByteArray old = gbk(u"旧内容\r\n"_s);
    writeBytes(file, old);
    const QStringList before = TestSupport::folderEntries(dir.path());

    std::signal(SIGXFSZ, SIG_IGN);
    rlimit saved;
    getrlimit(RLIMIT_FSIZE, &saved);
    rlimit limit = saved;
    limit.rlim_cur = 64 * 1024;
    QCOMPARE(setrlimit(RLIMIT_FSIZE, &limit), 0);
    const int status = writeWholeFile(QString(200 * 1024, u'张'), file);
    const bool iniWritten = iniWriteValue(file, u"k"_s, QString(200 * 1024, u'a'));
    setrlimit(RLIMIT_FSIZE, &saved);

    QCOMPARE(status, -1);
    QVERIFY(!iniWritten);
    QCOMPARE(readBytes(file), old);
    QCOMPARE(TestSupport::folderEntries(dir.path()), before);
}

void TestIniFile::saveRemovesLeftoversOfAKilledSave_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<bool>("removed");
    QTest::newRow("committed, not renamed yet") << u"k.ini.zop-saving"_s << true;
    QTest::newRow("written part-way under a temporary name") << u"k.ini.zop-saving.AbCdEf"_s << true;
    QTest::newRow("the user's backup") << u"k.ini.backup"_s << false;
    QTest::newRow("a name like another program's temporary") << u"k.ini.AbCdEf"_s << false;
    QTest::newRow("another file's leftover") << u"j.ini.zop-saving"_s << false;
    QTest::newRow("longer than a temporary name") << u"k.ini.zop-saving.AbCdEfG"_s << false;
}

void TestIniFile::saveRemovesLeftoversOfAKilledSave()
{
    // A save killed part-way can leave its temporary file; the next save of that file removes it.
    QFETCH(QString, name);
    QFETCH(bool, removed);
    QTemporaryDir folder;
    const QString file = folder.filePath(u"k.ini"_s);
    writeBytes(file, "a=1\r\n");
    writeBytes(folder.filePath(name), "left\r\n");
    QVERIFY(iniWriteValue(file, u"a"_s, 2));
    QCOMPARE(readBytes(file), QByteArray("a=2\r\n"));
    QCOMPARE(QFile::exists(folder.filePath(name)), !removed);
    QCOMPARE(TestSupport::folderEntries(folder.path()).size(), removed ? 1 : 2);
}

void TestIniFile::saveWritesThroughALinkAndKeepsPermissions()
{
    QTemporaryDir folder;
    const QString real = folder.filePath(u"real.txt"_s);
    const QString link = folder.filePath(u"link.txt"_s);
    writeBytes(real, "old");
    const auto permissions = QFile::ReadOwner | QFile::WriteOwner | QFile::ReadGroup;
    QVERIFY(QFile::setPermissions(real, permissions));
    QVERIFY(QFile::link(real, link));
    QCOMPARE(writeWholeFile(u"new"_s, link), 0);
    QVERIFY(QFileInfo(link).isSymLink());
    QCOMPARE(readBytes(real), QByteArray("new"));
    QCOMPARE(QFileInfo(real).permissions() & 0xf0ff, permissions); // owner, group and others
}

QTEST_GUILESS_MAIN(TestIniFile)
#include "tst_IniFile.moc"
