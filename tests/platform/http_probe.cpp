// A program that links the platform as the real one does and fetches the URL on its command line: whether
// Qt Network was loaded before the first request and after it, how the request went and the module's load
// error, one "name=value" line each.
#include "platform/http.h"

#include <QCoreApplication>
#include <QFile>

#include <cstdio>

namespace {

bool networkLoaded() {
    QFile maps(QStringLiteral("/proc/self/maps"));
    return maps.open(QIODevice::ReadOnly) && maps.readAll().contains("libQt6Network");
}

void print(const char* name, const QByteArray& value) {
    std::printf("%s=%s\n", name, value.constData());
}

}  // namespace

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    if (argc < 2) return 2;
    print("before", networkLoaded() ? "1" : "0");
    http::setLimits({2000, 2000, 4000});
    http::Request request;
    const bool opened = request.open(QUrl(QString::fromLocal8Bit(argv[1])), "probe", true);
    char buffer[64];
    const qint64 n = opened ? request.read(buffer, sizeof buffer) : -1;
    print("opened", opened ? "1" : "0");
    print("status", QByteArray::number(request.status()));
    print("body", n > 0 ? QByteArray(buffer, int(n)) : QByteArray());
    print("after", networkLoaded() ? "1" : "0");
    print("error", http::loadError().toUtf8().replace("\r\n", " | "));
    return 0;
}
