// The INI reader on any file content (a layout file edited by hand or damaged), and the writer on top of
// it: after a key is written, reading it gives the value written, and the other keys read as before.
#include "platform/ini_file.h"
#include "scratch_file.h"

#include <QFile>

#include <cstdint>
#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    static const FuzzScratchFile scratch("pelora-ini-fuzz-%1.ini");
    const QString& path = scratch.path();
    {
        QFile f(path);
        if (!f.open(QIODevice::WriteOnly | QIODevice::Truncate)) return 0;
        f.write(reinterpret_cast<const char*>(data), qint64(size));
    }
    const QString sections[] = {QStringLiteral("FormPosition"), QStringLiteral("spList_ColsWidth"),
                                QStringLiteral("spList_General")};
    const QString keys[] = {QStringLiteral("Left"), QStringLiteral("1"), QStringLiteral("FontSize")};
    QString before[3];
    for (int i = 0; i < 3; ++i) {
        before[i] = ini_file::read(path, sections[i], keys[i], QStringLiteral("-"), 10);
        if (before[i].size() > 9) std::abort();
    }
    if (!ini_file::write(path, sections[0], keys[0], QStringLiteral("1500"))) return 0;
    if (ini_file::read(path, sections[0], keys[0]) != QStringLiteral("1500")) std::abort();
    for (int i = 1; i < 3; ++i)
        if (ini_file::read(path, sections[i], keys[i], QStringLiteral("-"), 10) != before[i]) std::abort();
    return 0;
}
