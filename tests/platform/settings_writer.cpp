// A second writer of one settings file, for the two-writer test: saves "<prefix><i mod 10>" = i for i from
// 0 to count - 1 in the application and section named on its command line, then says "done".
#include "platform/settings_store.h"

#include <QCoreApplication>

#include <cstdio>

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    if (argc < 5) return 2;
    const QString application = QString::fromLocal8Bit(argv[1]);
    const QString section = QString::fromLocal8Bit(argv[2]);
    const QString prefix = QString::fromLocal8Bit(argv[3]);
    const int count = QString::fromLocal8Bit(argv[4]).toInt();
    for (int i = 0; i < count; ++i)
        settings::save(application, section, prefix + QString::number(i % 10), QString::number(i));
    std::printf("done\n");
    return 0;
}
