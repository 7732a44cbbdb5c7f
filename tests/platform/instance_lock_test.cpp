// One running copy per program: the lock is refused while another process holds it and taken over once
// that process is gone.
#include "platform/single_instance.h"

#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace {

class SingleInstance : public testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(m_runtime.isValid());
        qputenv("XDG_RUNTIME_DIR", m_runtime.path().toUtf8());
    }
    void TearDown() override { single_instance::releaseAll(); }
    QTemporaryDir m_runtime;
};

TEST_F(SingleInstance, SecondAttemptIsRefused) {
    EXPECT_TRUE(single_instance::acquire(QStringLiteral("PeloraOrder")));
    EXPECT_TRUE(QFile::exists(single_instance::lockPath(QStringLiteral("PeloraOrder"))));
    EXPECT_FALSE(single_instance::acquire(QStringLiteral("PeloraOrder")));
    EXPECT_TRUE(single_instance::acquire(QStringLiteral("OtherProgram")));
    single_instance::releaseAll();
    EXPECT_TRUE(single_instance::acquire(QStringLiteral("PeloraOrder")));
}

TEST_F(SingleInstance, AnotherProcessHoldsTheLockUntilItEnds) {
    QProcess holder;  // inherits XDG_RUNTIME_DIR, so it locks the same file
    holder.start(QStringLiteral(PELORA_INSTANCE_HOLDER), {QStringLiteral("PeloraOrder")});
    QElapsedTimer clock;
    clock.start();
    while (!holder.readAllStandardOutput().contains("locked") && clock.elapsed() < 20000)
        holder.waitForReadyRead(200);
    ASSERT_LT(clock.elapsed(), 20000) << "the holder process never took the lock";

    EXPECT_FALSE(single_instance::acquire(QStringLiteral("PeloraOrder")));
    holder.kill();  // a crash: the lock file stays behind
    holder.waitForFinished();
    EXPECT_TRUE(QFile::exists(single_instance::lockPath(QStringLiteral("PeloraOrder"))));
    EXPECT_TRUE(single_instance::acquire(QStringLiteral("PeloraOrder")));
}

}  // namespace
