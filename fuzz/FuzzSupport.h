#pragma once

#include <QByteArray>
#include <QFile>
#include <QTemporaryDir>

#include <cstdint>
#include <cstdlib>

// Every fuzz target works on real files in one scratch folder per process.
inline QTemporaryDir &fuzzDir()
{
    static QTemporaryDir dir;
    return dir;
}

inline QString writeFuzzFile(const QString &name, const QByteArray &bytes)
{
    const QString path = fuzzDir().filePath(name);
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate) || file.write(bytes) != bytes.size())
        std::abort();
    return path;
}

// A finding: abort so libFuzzer (or the replay driver) reports the input.
#define FUZZ_CHECK(cond)                                                                           \
    do {                                                                                           \
        if (!(cond)) {                                                                             \
            fprintf(stderr, "check failed: %s (%s:%d)\n", #cond, __FILE__, __LINE__);              \
            std::abort();                                                                          \
        }                                                                                          \
    } while (0)
