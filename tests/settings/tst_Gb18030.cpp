#include "settings/Gb18030.h"

#include <QStringDecoder>
#include <QStringEncoder>
#include <QTest>

// The built-in GB18030 codec of the Windows build against ICU's, which the Linux build uses:
// every code, and the bad sequences a file can hold.
class TestGb18030 : public QObject
{
    Q_OBJECT

private slots:
    void decodesEveryCodeAsIcu();
    void encodesEveryCharacterAsIcu();
    void badBytesAsIcu_data();
    void badBytesAsIcu();
};

namespace {

QString icuDecode(QByteArrayView bytes, bool &hadErrors)
{
    QStringDecoder decoder("GB18030", QStringConverter::Flag::Stateless);
    const QString text = decoder.decode(bytes);
    hadErrors = decoder.hasError();
    return text;
}

QByteArray fourByte(int first, int linear)
{
    const char code[] = {char(first + linear / 12600), char(0x30 + linear / 1260 % 10),
                         char(0x81 + linear / 10 % 126), char(0x30 + linear % 10)};
    return QByteArray(code, 4);
}

} // namespace

void TestGb18030::decodesEveryCodeAsIcu()
{
    // One code a line, so that a fault names its code.
    QByteArray all;
    for (int lead = 0x81; lead <= 0xFE; ++lead)
        for (int trail = 0x40; trail <= 0xFE; ++trail)
            if (trail != 0x7F)
                all += QByteArray(1, char(lead)) + char(trail) + '\n';
    for (int linear = 0; linear < 39420 + 10; ++linear) // the BMP, and past its end
        all += fourByte(0x81, linear) + '\n';
    for (int linear = 0; linear < 0x100000 + 10; linear += linear < 0x100000 - 200 ? 97 : 1)
        all += fourByte(0x90, linear) + '\n';
    const QList<QByteArray> codes = all.split('\n');
    for (const QByteArray &code : codes) {
        bool icuErrors = false, ownErrors = false;
        const QString expected = icuDecode(code, icuErrors);
        QCOMPARE(Gb18030::decode(code, ownErrors), expected);
        QCOMPARE(ownErrors, icuErrors);
    }
}

void TestGb18030::encodesEveryCharacterAsIcu()
{
    QString all;
    for (char32_t c = 0x80; c <= 0x10FFFF; c += c < 0x10000 ? 1 : 61) {
        if (c < 0xD800 || c > 0xDFFF)
            all += QString::fromUcs4(&c, 1);
    }
    QStringEncoder icu("GB18030");
    const QByteArray expected = icu.encode(all);
    QVERIFY(!icu.hasError());
    bool errors = true;
    QCOMPARE(Gb18030::encode(all, errors), expected);
    QVERIFY(!errors);

    const QString loneSurrogate = QStringLiteral("a") + QChar(0xDC00) + QChar(0x4E2D);
    QStringEncoder icuLone("GB18030");
    QCOMPARE(Gb18030::encode(loneSurrogate, errors), QByteArray(icuLone.encode(loneSurrogate)));
    QCOMPARE(errors, icuLone.hasError());
}

void TestGb18030::badBytesAsIcu_data()
{
    QTest::addColumn<QByteArray>("bytes");
    QTest::newRow("euro byte") << QByteArray("a\x80" "b");
    QTest::newRow("0xFF") << QByteArray("\xFF\xB0\xA1");
    QTest::newRow("lead then 0x7F") << QByteArray("\x81\x7F\xB0\xA1");
    QTest::newRow("lead then blank") << QByteArray("\xB0 x");
    QTest::newRow("lead then 0xFF") << QByteArray("\x82\xFF" "a\x82\x31\x82\xFF");
    QTest::newRow("lead at the end") << QByteArray("ab\xB0");
    QTest::newRow("four-byte cut after two") << QByteArray("a\x81\x30");
    QTest::newRow("four-byte cut after three") << QByteArray("a\x81\x30\x81");
    QTest::newRow("four-byte, bad third") << QByteArray("\x81\x30\x20\x30z");
    QTest::newRow("four-byte, bad fourth") << QByteArray("\x81\x30\x81\x7F\xB0\xA1");
    QTest::newRow("four-byte past the BMP") << QByteArray("\x84\x31\xA5\x30x");
    QTest::newRow("four-byte past U+10FFFF") << QByteArray("\xE3\x32\x9A\x36x");
    QTest::newRow("four-byte lead 0xFE") << QByteArray("\xFE\x39\xFE\x39x");
}

void TestGb18030::badBytesAsIcu()
{
    QFETCH(QByteArray, bytes);
    bool icuErrors = false, ownErrors = false;
    const QString expected = icuDecode(bytes, icuErrors);
    QVERIFY(icuErrors);
    QCOMPARE(Gb18030::decode(bytes, ownErrors), expected);
    QVERIFY(ownErrors);
}

QTEST_GUILESS_MAIN(TestGb18030)
#include "tst_Gb18030.moc"
