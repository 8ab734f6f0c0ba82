#include "draw/DrawPreparation.h"
#include "draw/DrawRandom.h"

#include <QCoreApplication>
#include <QMap>
#include <QProcess>
#include <QTest>

#include <climits>
#include <cstdio>

using namespace Qt::StringLiterals;

namespace {

// Counts up through its whole output range, so one cycle holds every word exactly once.
class EnumeratingSource : public RandomSource
{
public:
    explicit EnumeratingSource(int bits) : width(bits) {}
    int bits() const override { return width; }
    quint64 next() override { return produced++ & ((quint64(1) << width) - 1); }
    quint64 produced = 0;

private:
    int width;
};

const char *const childVariable = "ZOP_DRAW_RANDOM_CHILD";

// What a child process prints: a draw made with the program's own generator.
int runAsChild()
{
    DrawRandom random;
    const QList<int> order = pickDistinct(1000000, 8, random);
    for (int e : order)
        std::printf("%d ", e);
    std::printf("\n");
    return 0;
}

} // namespace

class TestDrawRandom : public QObject
{
    Q_OBJECT

private slots:
    void everyResultEquallyOften_data();
    void everyResultEquallyOften();
    void widestRangesStayInBounds();
    void twoProcessesDrawDifferently();
};

void TestDrawRandom::everyResultEquallyOften_data()
{
    QTest::addColumn<bool>("inclusive");
    QTest::addColumn<int>("lo");
    QTest::addColumn<int>("hi");
    QTest::addColumn<int>("bits");
    QTest::addColumn<int>("first"); // the results expected: first..last
    QTest::addColumn<int>("last");

    QTest::newRow("inclusive 1..10, 8-bit words") << true << 1 << 10 << 8 << 1 << 10;
    QTest::newRow("inclusive 1..3, 8-bit words") << true << 1 << 3 << 8 << 1 << 3;
    QTest::newRow("inclusive 0..255, the whole word") << true << 0 << 255 << 8 << 0 << 255;
    QTest::newRow("inclusive -3..3") << true << -3 << 3 << 8 << -3 << 3;
    QTest::newRow("inclusive 7..7") << true << 7 << 7 << 8 << 7 << 7;
    QTest::newRow("inclusive 1..1000, 16-bit words") << true << 1 << 1000 << 16 << 1 << 1000;
    QTest::newRow("inclusive 1..99999, 20-bit words") << true << 1 << 99999 << 20 << 1 << 99999;
    QTest::newRow("half-open 1..10 never gives 10") << false << 1 << 10 << 8 << 1 << 9;
    QTest::newRow("half-open 20..40") << false << 20 << 40 << 8 << 20 << 39;
    QTest::newRow("half-open 1..2 is always 1") << false << 1 << 2 << 8 << 1 << 1;
    QTest::newRow("half-open 5..5 is always 5") << false << 5 << 5 << 8 << 5 << 5;
}

void TestDrawRandom::everyResultEquallyOften()
{
    QFETCH(bool, inclusive);
    QFETCH(int, lo);
    QFETCH(int, hi);
    QFETCH(int, bits);
    QFETCH(int, first);
    QFETCH(int, last);

    auto owned = std::make_unique<EnumeratingSource>(bits);
    EnumeratingSource *source = owned.get();
    DrawRandom random(std::move(owned));
    const quint64 cycle = quint64(1) << bits;

    // One whole cycle of words: the refused ones fall at its start, so calls end exactly on it.
    QMap<int, qint64> seen;
    for (quint64 calls = 0; source->produced < cycle && calls < cycle; ++calls)
        ++seen[inclusive ? random.randomInclusive(lo, hi) : random.randomHalfOpen(lo, hi)];
    QVERIFY(source->produced == 0 || source->produced == cycle);

    QCOMPARE(seen.firstKey(), first);
    QCOMPARE(seen.lastKey(), last);
    QCOMPARE(seen.size(), last - first + 1);
    const qint64 each = seen.first();
    for (auto it = seen.cbegin(); it != seen.cend(); ++it)
        QVERIFY2(it.value() == each, qPrintable(u"%1 came %2 times, %3 came %4"_s.arg(it.key()).arg(it.value())
                                                    .arg(first).arg(each)));
}

void TestDrawRandom::widestRangesStayInBounds()
{
    DrawRandom random(std::make_unique<XoshiroSource>(7));
    bool sawNegative = false, sawPositive = false;
    for (int i = 0; i < 1000; ++i) {
        const int v = random.randomInclusive(INT_MIN, INT_MAX);
        sawNegative |= v < 0;
        sawPositive |= v > 0;
        const int h = random.randomHalfOpen(INT_MIN, INT_MAX);
        QVERIFY(h < INT_MAX);
    }
    QVERIFY(sawNegative && sawPositive);
}

void TestDrawRandom::twoProcessesDrawDifferently()
{
    QStringList outputs;
    for (int run = 0; run < 2; ++run) {
        QProcess child;
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert(QString::fromLatin1(childVariable), u"1"_s);
        child.setProcessEnvironment(env);
        child.start(QCoreApplication::applicationFilePath(), {});
        QVERIFY(child.waitForFinished());
        QCOMPARE(child.exitCode(), 0);
        outputs.append(QString::fromLatin1(child.readAllStandardOutput()).trimmed());
        QCOMPARE(outputs.last().split(u' ').size(), 8);
    }
    QVERIFY2(outputs[0] != outputs[1], qPrintable(outputs[0]));
}

int main(int argc, char *argv[])
{
    if (qEnvironmentVariableIsSet(childVariable))
        return runAsChild();
    QCoreApplication app(argc, argv);
    TestDrawRandom test;
    return QTest::qExec(&test, argc, argv);
}

#include "tst_DrawRandom.moc"
