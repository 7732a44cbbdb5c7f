#pragma once

#include <QString>
#include <QTemporaryDir>

// A real file system that fills up: a tmpfs of a few pages mounted, for this test only, in a mount
// namespace of the calling thread's own (it needs the right to mount: root, as in the test container).
// fill() takes its free space until a write fails, leaving `keep` bytes (rounded down to pages) free.
class SmallFileSystem {
public:
    explicit SmallFileSystem(int kib);
    ~SmallFileSystem();
    SmallFileSystem(const SmallFileSystem&) = delete;
    SmallFileSystem& operator=(const SmallFileSystem&) = delete;

    // Empty when it is mounted; otherwise why not.
    QString problem() const { return m_problem; }
    QString path() const { return m_dir.path(); }
    void fill(qint64 keep = 0);

private:
    QTemporaryDir m_dir;
    QString m_problem;
    bool m_mounted = false;
};
