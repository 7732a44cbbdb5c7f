// The INI helper: one key at a time, case-insensitive names, other sections and keys kept.
#include "platform/ini_file.h"
#include "platform/cp949.h"
#include "support/data_folder.h"
#include "support/small_file_system.h"

#include <QDir>
#include <QFile>

namespace {

class IniFile : public DataFolderTest {};

TEST_F(IniFile, WritesOneKeyAtATimeAndKeepsTheRest) {
    const QString path = dataDir() + QStringLiteral("/a.ini");
    {
        QFile f(path);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write(cp949::encode(
            u"; written by hand\r\n[Other]\r\nKey = one \r\n\r\n[FormPosition]\r\nLeft=10\r\n"));
    }
    ASSERT_TRUE(
        ini_file::write(path, QStringLiteral("formposition"), QStringLiteral("LEFT"), QStringLiteral("20")));
    ASSERT_TRUE(
        ini_file::write(path, QStringLiteral("Other"), QStringLiteral("Second"), QStringLiteral("두부")));
    ASSERT_TRUE(ini_file::write(path, QStringLiteral("New"), QStringLiteral("k"), QStringLiteral("v")));

    EXPECT_EQ(ini_file::read(path, QStringLiteral("FormPosition"), QStringLiteral("Left")),
              QStringLiteral("20"));
    EXPECT_EQ(ini_file::read(path, QStringLiteral("other"), QStringLiteral("key")), QStringLiteral("one"));
    EXPECT_EQ(ini_file::read(path, QStringLiteral("Other"), QStringLiteral("Second")),
              QStringLiteral("두부"));
    EXPECT_EQ(ini_file::read(path, QStringLiteral("New"), QStringLiteral("k")), QStringLiteral("v"));
    EXPECT_EQ(ini_file::read(path, QStringLiteral("New"), QStringLiteral("missing"), QStringLiteral("d")),
              QStringLiteral("d"));
    EXPECT_EQ(
        ini_file::read(dataDir() + QStringLiteral("/none.ini"), QStringLiteral("a"), QStringLiteral("b")),
        QString());

    QFile f(path);
    ASSERT_TRUE(f.open(QIODevice::ReadOnly));
    const QString text = cp949::decode(f.readAll());
    EXPECT_TRUE(
        text.startsWith(QStringLiteral("; written by hand\r\n[Other]\r\nKey = one \r\nSecond=두부\r\n")));
    EXPECT_EQ(text.count(QStringLiteral("[FormPosition]")), 1);
}

TEST_F(IniFile, AReadBufferCutsLongValues) {
    const QString path = dataDir() + QStringLiteral("/b.ini");
    ASSERT_TRUE(
        ini_file::write(path, QStringLiteral("s"), QStringLiteral("k"), QStringLiteral("1234567890")));
    EXPECT_EQ(ini_file::read(path, QStringLiteral("s"), QStringLiteral("k"), QString(), 10),
              QStringLiteral("123456789"));
    EXPECT_EQ(ini_file::read(path, QStringLiteral("s"), QStringLiteral("k")), QStringLiteral("1234567890"));
}

TEST_F(IniFile, OtherLinesGoBackByteForByte) {
    // A byte that is no code page 949 text (0xDC before "2") in another key's value: writing one key
    // must not turn it into "?".
    const QString path = dataDir() + QStringLiteral("/b.ini");
    const QByteArray other =
        "[spList_General]\r\nFontSize=1\xDC"
        "2\r\n";
    {
        QFile f(path);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write(other);
    }
    ASSERT_TRUE(ini_file::write(path, QStringLiteral("FormPosition"), QStringLiteral("Left"),
                                QStringLiteral("1500")));
    QFile f(path);
    ASSERT_TRUE(f.open(QIODevice::ReadOnly));
    EXPECT_EQ(f.readAll(), other + "[FormPosition]\r\nLeft=1500\r\n");
}

TEST_F(IniFile, AWriteToAFullDiskFailsAndKeepsTheFormerFile) {
    SmallFileSystem disk(64);
    if (!disk.problem().isEmpty()) GTEST_SKIP() << "no small file system: " << disk.problem().toStdString();
    const QString path = disk.path() + QStringLiteral("/frmMain.ini");
    ASSERT_TRUE(ini_file::write(path, QStringLiteral("FormPosition"), QStringLiteral("Left"),
                                QStringLiteral("1500")));
    QFile before(path);
    ASSERT_TRUE(before.open(QIODevice::ReadOnly));
    const QByteArray former = before.readAll();
    before.close();

    disk.fill();
    EXPECT_FALSE(
        ini_file::write(path, QStringLiteral("FormPosition"), QStringLiteral("Top"), QStringLiteral("1200")));
    QFile after(path);
    ASSERT_TRUE(after.open(QIODevice::ReadOnly));
    EXPECT_EQ(after.readAll(), former);
    // No half-written temporary file stays beside it.
    EXPECT_EQ(QDir(disk.path()).entryList(QDir::Files | QDir::Hidden).size(), 2);  // the file and the filler
}

}  // namespace
