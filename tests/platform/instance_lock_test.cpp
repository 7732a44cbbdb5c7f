// One running copy per program: the lock is refused while another process holds it and taken over once
// that process is gone.
#include "platform/single_instance.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <QThread>

#include <cstdio>

#include <gtest/gtest.h>

namespace {

const char* kHolderVariable = "PELORA_INSTANCE_HOLDER";

class SingleInstance : public testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(m_runtime.isValid());
        if (qEnvironmentVariableIsSet(kHolderVariable)) return;  // the holder uses its parent's folder
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
    QProcess holder;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QString::fromLatin1(kHolderVariable), QStringLiteral("PeloraOrder"));
    holder.setProcessEnvironment(env);
    holder.start(QCoreApplication::applicationFilePath(),
                 {QStringLiteral("--gtest_filter=SingleInstance.HolderProcess")});
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

// Run only as the child of the test above: takes the lock, says so and waits to be killed.
TEST_F(SingleInstance, HolderProcess) {
    const QString name = qEnvironmentVariable(kHolderVariable);
    if (name.isEmpty()) GTEST_SKIP() << "helper of AnotherProcessHoldsTheLockUntilItEnds";
    ASSERT_TRUE(single_instance::acquire(name));
    std::printf("locked\n");
    std::fflush(stdout);
    QThread::sleep(60);
}

}  // namespace
