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

// Where the parts of a file with one stream of `streamSize` bytes lie, in sectors after the header.
struct Layout {
    quint32 streamSectors;
    quint32 fatSectors;
    quint32 difatSectors;
    quint32 dirStart;
    quint32 fatStart;
    quint32 difatStart;
    quint32 totalSectors;
};

Layout layout(qsizetype streamSize) {
    Layout l{};
    l.streamSectors = quint32((streamSize + kSector - 1) / kSector);
    const quint32 dirSectors = 1;
    // The allocation table must also describe its own sectors and the extra locator sectors.
    l.fatSectors = 1;
    for (;;) {
        const quint32 needed = l.streamSectors + dirSectors + l.fatSectors + l.difatSectors;
        const quint32 fat = (needed + kIdsPerSector - 1) / kIdsPerSector;
        const quint32 difat =
            fat > kHeaderDifat ? (fat - kHeaderDifat + (kIdsPerSector - 1) - 1) / (kIdsPerSector - 1) : 0;
        if (fat == l.fatSectors && difat == l.difatSectors) break;
        l.fatSectors = fat;
        l.difatSectors = difat;
    }
    l.dirStart = l.streamSectors;
    l.fatStart = l.dirStart + dirSectors;
    l.difatStart = l.fatStart + l.fatSectors;
    l.totalSectors = l.difatStart + l.difatSectors;
    return l;
}

}  // namespace

QByteArray header(qsizetype streamSize) {
    const Layout l = layout(streamSize);
    QByteArray head(kSector, '\0');
    char* base = head.data();
    static const unsigned char signature[8] = {0xD0, 0xCF, 0x11, 0xE0, 0xA1, 0xB1, 0x1A, 0xE1};
    std::memcpy(base, signature, 8);
    put16(base + 24, 0x003E);  // minor version
    put16(base + 26, 0x0003);  // major version 3: 512-byte sectors
    put16(base + 28, 0xFFFE);  // little-endian
    put16(base + 30, 9);       // sector shift
    put16(base + 32, 6);       // mini sector shift
    put32(base + 44, l.fatSectors);
    put32(base + 48, l.dirStart);
    put32(base + 56, quint32(kMiniStreamCutoff));
    put32(base + 60, kEndOfChain);  // no mini allocation table
    put32(base + 68, l.difatSectors ? l.difatStart : kEndOfChain);
    put32(base + 72, l.difatSectors);
    for (int i = 0; i < kHeaderDifat; ++i)
        put32(base + 76 + 4 * i, quint32(i) < l.fatSectors ? l.fatStart + quint32(i) : kFree);
    return head;
}

QByteArray trailer(const QString& streamName, qsizetype streamSize) {
    const Layout l = layout(streamSize);
    // The trailer starts with the padding of the stream's last sector; sector n begins at `sector(n)`.
    const qsizetype padding = qsizetype(l.streamSectors) * kSector - streamSize;
    QByteArray tail(padding + qsizetype(kSector) * (l.totalSectors - l.streamSectors), '\0');
    auto sector = [&](quint32 n) { return tail.data() + padding + kSector * qsizetype(n - l.streamSectors); };

    // Directory: the root and the one stream.
    char* dir = sector(l.dirStart);
    directoryEntry(dir, QStringLiteral("Root Entry"), 5, 1, kEndOfChain, 0);
    directoryEntry(dir + 128, streamName, 2, kNoStream, l.streamSectors ? 0 : kEndOfChain,
                   quint32(streamSize));
    for (int i = 2; i < 4; ++i) {
        directoryEntry(dir + 128 * i, QString(), 0, kNoStream, 0, 0);
        dir[128 * i + 67] = 0;
    }

    // Allocation table.
    auto setFat = [&](quint32 index, quint32 value) {
        put32(sector(l.fatStart + index / kIdsPerSector) + 4 * (index % kIdsPerSector), value);
    };
    for (quint32 i = 0; i < l.fatSectors * kIdsPerSector; ++i) setFat(i, kFree);
    for (quint32 i = 0; i < l.streamSectors; ++i) setFat(i, i + 1 < l.streamSectors ? i + 1 : kEndOfChain);
    setFat(l.dirStart, kEndOfChain);
    for (quint32 i = 0; i < l.fatSectors; ++i) setFat(l.fatStart + i, kFatSector);
    for (quint32 i = 0; i < l.difatSectors; ++i) setFat(l.difatStart + i, kDifatSector);

    // Locator sectors for the table sectors beyond the header's 109: 127 entries and a link each.
    for (quint32 d = 0; d < l.difatSectors; ++d) {
        char* s = sector(l.difatStart + d);
        for (int i = 0; i < kIdsPerSector - 1; ++i) {
            const quint32 fatIndex = kHeaderDifat + d * (kIdsPerSector - 1) + quint32(i);
            put32(s + 4 * i, fatIndex < l.fatSectors ? l.fatStart + fatIndex : kFree);
        }
        put32(s + 4 * (kIdsPerSector - 1), d + 1 < l.difatSectors ? l.difatStart + d + 1 : kEndOfChain);
    }
    return tail;
}

QByteArray build(const QString& streamName, const QByteArray& stream) {
    return header(stream.size()) + stream + trailer(streamName, stream.size());
}

}  // namespace compound_file
