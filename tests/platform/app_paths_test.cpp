// Where the data folder lies: beside the program only for a portable or development copy, never inside an
// installed program's folder, however writable.
#include "platform/app_paths.h"

#include <QDir>
#include <QFile>
#include <QStandardPaths>
#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace {

class DataFolder : public testing::Test {
protected:
    void SetUp() override {
        m_savedOverride = qgetenv("PELORA_DATA_DIR");
        qunsetenv("PELORA_DATA_DIR");
        ASSERT_TRUE(QDir().mkpath(bin()));
        app_paths::setProgramFolderForTests(bin());
    }
    void TearDown() override {
        app_paths::setProgramFolderForTests(QString());
        if (!m_savedOverride.isEmpty()) qputenv("PELORA_DATA_DIR", m_savedOverride);
    }
    QString bin() const { return m_prefix.path() + QStringLiteral("/usr/bin"); }
    static void touch(const QString& path) {
        QFile f(path);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    }
    QTemporaryDir m_prefix;
    QByteArray m_savedOverride;
};

TEST_F(DataFolder, AnInstalledProgramUsesThePerUserFolderEvenWhenItsFolderIsWritable) {
    // As root every folder is writable: /usr/bin must still stay clean.
    const QString perUser = QStandardPaths::writableLocation(QStandardPaths::AppDataLocation);
    EXPECT_EQ(app_paths::dataFolder(), perUser);
    EXPECT_FALSE(app_paths::dataFolder().startsWith(m_prefix.path()));
    // The user's sheets and workbooks: the owner's alone.
    EXPECT_EQ(QFile::permissions(perUser) & (QFileDevice::ReadGroup | QFileDevice::ReadOther |
                                             QFileDevice::ExeGroup | QFileDevice::ExeOther),
              QFileDevice::Permissions());
    EXPECT_EQ(QDir(bin()).entryList(QDir::NoDotAndDotDot | QDir::AllEntries), QStringList());
}

TEST_F(DataFolder, APortableOrDevelopmentCopyKeepsItsDataBesideItself) {
    touch(bin() + QStringLiteral("/portable"));
    EXPECT_EQ(app_paths::dataFolder(), bin());
    QFile::remove(bin() + QStringLiteral("/portable"));

    // The executable two folders below a build tree's CMakeCache.txt (build/app/PeloraOrder).
    touch(m_prefix.path() + QStringLiteral("/CMakeCache.txt"));
    EXPECT_EQ(app_paths::dataFolder(), bin());
}

TEST_F(DataFolder, PicturesComeFromBesideTheProgramOrFromTheInstalledShareFolder) {
    EXPECT_EQ(app_paths::imageFolder(), m_prefix.path() + QStringLiteral("/usr/share/peloraorder/Image"));
    ASSERT_TRUE(QDir().mkpath(bin() + QStringLiteral("/Image")));
    EXPECT_EQ(app_paths::imageFolder(), bin() + QStringLiteral("/Image"));
}

}  // namespace
