#pragma once

#include <QDir>
#include <QFile>
#include <QString>

#include <unistd.h>

// The one file a fuzz run writes and reads back on every input, memory-backed where the machine has it
// (a run writes it hundreds of thousands of times), and removed when the run ends. `name` is the file's
// name with "%1" for the process.
class FuzzScratchFile {
public:
    explicit FuzzScratchFile(const char* name)
        : m_path((QDir(QStringLiteral("/dev/shm")).exists() ? QStringLiteral("/dev/shm") : QDir::tempPath()) +
                 QLatin1Char('/') + QString::fromLatin1(name).arg(getpid())) {}
    ~FuzzScratchFile() { QFile::remove(m_path); }
    FuzzScratchFile(const FuzzScratchFile&) = delete;
    FuzzScratchFile& operator=(const FuzzScratchFile&) = delete;

    const QString& path() const { return m_path; }

private:
    QString m_path;
};
