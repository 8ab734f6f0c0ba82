#include "settings/AppLocation.h"
#include "support/TestSupport.h"

#include <QDir>
#include <QTemporaryDir>
#include <QTest>

using namespace Qt::StringLiterals;
using namespace AppFiles;

class TestAppLocation : public QObject
{
    Q_OBJECT

private slots:
    void writableProgramFolderIsUsed();
    void unwritableProgramFolderFallsBackToPerUserFolder();
    void nothingWritableIsReported();
    void seedingNeverReplacesUserFiles();
};

void TestAppLocation::writableProgramFolderIsUsed()
{
    QTemporaryDir program, user;
    const AppLocation location = chooseAppDir(program.path(), user.filePath(u"zop"_s));
    QCOMPARE(location.dir, program.path() + u'/');
    QVERIFY(!location.perUser);
    QVERIFY(location.writable);
    QCOMPARE(TestSupport::folderEntries(program.path()), QStringList()); // the probe is gone
    QVERIFY(!QFileInfo::exists(user.filePath(u"zop"_s)));
}

void TestAppLocation::unwritableProgramFolderFallsBackToPerUserFolder()
{
    // Not even root can create files in /proc.
    QTemporaryDir user;
    const QString perUser = user.filePath(u"a/b/zop-draw"_s);
    const AppLocation location = chooseAppDir(u"/proc"_s, perUser);
    QVERIFY(location.perUser);
    QVERIFY(location.writable);
    QCOMPARE(location.dir, perUser + u'/');
    QVERIFY(QFileInfo(perUser).isDir());
}

void TestAppLocation::nothingWritableIsReported()
{
    const AppLocation location = chooseAppDir(u"/proc"_s, u"/proc/zop-draw"_s);
    QVERIFY(location.perUser);
    QVERIFY(!location.writable);
}

void TestAppLocation::seedingNeverReplacesUserFiles()
{
    QTemporaryDir user;
    const QString mine = user.filePath(u"ZOP摇号设置.ini"_s);
    TestSupport::writeBytes(mine, "mine");
    const QStringList copied = seedMissingFiles(TestSupport::shippedDataDir(), user.path());
    QCOMPARE(copied, (QStringList{u"测试数据.txt"_s, u"GoodLuck.txt"_s, u"不参与摇号.txt"_s, u"奖项设置.txt"_s}));
    QCOMPARE(TestSupport::readBytes(mine), QByteArray("mine"));
    QCOMPARE(TestSupport::readBytes(user.filePath(u"测试数据.txt"_s)),
             TestSupport::readBytes(TestSupport::shippedDataDir() + u"/测试数据.txt"_s));
    QCOMPARE(seedMissingFiles(TestSupport::shippedDataDir(), user.path()), QStringList());
}

QTEST_GUILESS_MAIN(TestAppLocation)
#include "tst_AppLocation.moc"
