// The other copy of the program for the single-instance test: takes the lock named on its command line,
// says "locked" and waits to be killed.
#include "platform/single_instance.h"

#include <QCoreApplication>
#include <QThread>

#include <cstdio>

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    if (argc < 2 || !single_instance::acquire(QString::fromLocal8Bit(argv[1]))) return 1;
    std::printf("locked\n");
    std::fflush(stdout);
    QThread::sleep(60);
    return 0;
}
