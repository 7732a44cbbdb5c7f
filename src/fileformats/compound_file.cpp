#include "fileformats/compound_file.h"

#include <QString>
#include <QtEndian>

#include <cstring>

namespace compound_file {

namespace {

constexpr int kSector = 512;
constexpr int kIdsPerSector = kSector / 4;
constexpr int kHeaderDifat = 109;
constexpr quint32 kFree = 0xFFFFFFFF;
constexpr quint32 kEndOfChain = 0xFFFFFFFE;
constexpr quint32 kFatSector = 0xFFFFFFFD;
constexpr quint32 kDifatSector = 0xFFFFFFFC;
constexpr quint32 kNoStream = 0xFFFFFFFF;

void put16(char* p, quint16 v) {
    qToLittleEndian(v, p);
}
void put32(char* p, quint32 v) {
    qToLittleEndian(v, p);
}

// One 128-byte directory entry.
void directoryEntry(char* e, const QString& name, quint8 type, quint32 child, quint32 start, quint32 size) {
    std::memset(e, 0, 128);
    const int chars = int(std::min<qsizetype>(name.size(), 31));
    for (int i = 0; i < chars; ++i) put16(e + 2 * i, name.at(i).unicode());
    put16(e + 64, quint16(name.isEmpty() ? 0 : (chars + 1) * 2));
    e[66] = char(type);
    e[67] = 1;  // black in the red-black tree
    put32(e + 68, kNoStream);
    put32(e + 72, kNoStream);
    put32(e + 76, child);
    put32(e + 116, start);
    put32(e + 120, size);
}

}  // namespace

QByteArray build(const QString& streamName, const QByteArray& stream) {
    const quint32 streamSectors = quint32((stream.size() + kSector - 1) / kSector);
    const quint32 dirSectors = 1;
    // The allocation table must also describe its own sectors and the extra locator sectors.
    quint32 fatSectors = 1, difatSectors = 0;
    for (;;) {
        const quint32 needed = streamSectors + dirSectors + fatSectors + difatSectors;
        const quint32 fat = (needed + kIdsPerSector - 1) / kIdsPerSector;
        const quint32 difat =
            fat > kHeaderDifat ? (fat - kHeaderDifat + (kIdsPerSector - 1) - 1) / (kIdsPerSector - 1) : 0;
        if (fat == fatSectors && difat == difatSectors) break;
        fatSectors = fat;
        difatSectors = difat;
    }
    const quint32 dirStart = streamSectors;
    const quint32 fatStart = dirStart + dirSectors;
    const quint32 difatStart = fatStart + fatSectors;
    const quint32 totalSectors = difatStart + difatSectors;

    QByteArray file(qsizetype(kSector) * (1 + totalSectors), '\0');
    char* base = file.data();

    // Header.
    static const unsigned char signature[8] = {0xD0, 0xCF, 0x11, 0xE0, 0xA1, 0xB1, 0x1A, 0xE1};
    std::memcpy(base, signature, 8);
    put16(base + 24, 0x003E);  // minor version
    put16(base + 26, 0x0003);  // major version 3: 512-byte sectors
    put16(base + 28, 0xFFFE);  // little-endian
    put16(base + 30, 9);       // sector shift
    put16(base + 32, 6);       // mini sector shift
    put32(base + 44, fatSectors);
    put32(base + 48, dirStart);
    put32(base + 56, quint32(kMiniStreamCutoff));
    put32(base + 60, kEndOfChain);  // no mini allocation table
    put32(base + 68, difatSectors ? difatStart : kEndOfChain);
    put32(base + 72, difatSectors);
    for (int i = 0; i < kHeaderDifat; ++i)
        put32(base + 76 + 4 * i, quint32(i) < fatSectors ? fatStart + quint32(i) : kFree);

    auto sector = [&](quint32 n) { return base + kSector * (1 + qsizetype(n)); };

    // The stream itself.
    std::memcpy(sector(0), stream.constData(), size_t(stream.size()));

    // Directory: the root and the one stream.
    char* dir = sector(dirStart);
    directoryEntry(dir, QStringLiteral("Root Entry"), 5, 1, kEndOfChain, 0);
    directoryEntry(dir + 128, streamName, 2, kNoStream, streamSectors ? 0 : kEndOfChain,
                   quint32(stream.size()));
    for (int i = 2; i < 4; ++i) {
        directoryEntry(dir + 128 * i, QString(), 0, kNoStream, 0, 0);
        dir[128 * i + 67] = 0;
    }

    // Allocation table.
    auto setFat = [&](quint32 index, quint32 value) {
        put32(sector(fatStart + index / kIdsPerSector) + 4 * (index % kIdsPerSector), value);
    };
    for (quint32 i = 0; i < fatSectors * kIdsPerSector; ++i) setFat(i, kFree);
    for (quint32 i = 0; i < streamSectors; ++i) setFat(i, i + 1 < streamSectors ? i + 1 : kEndOfChain);
    setFat(dirStart, kEndOfChain);
    for (quint32 i = 0; i < fatSectors; ++i) setFat(fatStart + i, kFatSector);
    for (quint32 i = 0; i < difatSectors; ++i) setFat(difatStart + i, kDifatSector);

    // Locator sectors for the table sectors beyond the header's 109: 127 entries and a link each.
    for (quint32 d = 0; d < difatSectors; ++d) {
        char* s = sector(difatStart + d);
        for (int i = 0; i < kIdsPerSector - 1; ++i) {
            const quint32 fatIndex = kHeaderDifat + d * (kIdsPerSector - 1) + quint32(i);
            put32(s + 4 * i, fatIndex < fatSectors ? fatStart + fatIndex : kFree);
        }
        put32(s + 4 * (kIdsPerSector - 1), d + 1 < difatSectors ? difatStart + d + 1 : kEndOfChain);
    }
    return file;
}

}  // namespace compound_file
