#pragma once

#include <QString>
#include <QTemporaryDir>

#include <gtest/gtest.h>

// A test with a data folder of its own (PELORA_DATA_DIR: FormIni/, ExpExcel/, Print/ go there).
class DataFolderTest : public testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(m_dir.isValid());
        qputenv("PELORA_DATA_DIR", m_dir.path().toUtf8());
    }
    void TearDown() override { qunsetenv("PELORA_DATA_DIR"); }
    QString dataDir() const { return m_dir.path(); }

private:
    QTemporaryDir m_dir;
};
