#include "support/small_file_system.h"

// Windows has no file system a test can mount of a few pages: the tests of a full disk skip there.
SmallFileSystem::SmallFileSystem(int)
    : m_problem(QStringLiteral("no small file system to mount on Windows")) {}

SmallFileSystem::~SmallFileSystem() = default;

void SmallFileSystem::fill(qint64) {}
