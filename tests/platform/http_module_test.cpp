// The HTTP client lives in a module that a program loads on its first HTTP call: a program that links the
// platform starts without Qt Network, and without the module its requests fail as with a server that cannot
// be reached, saying which file could not be loaded.
#include "support/http_server.h"

#include <QProcess>
#include <QProcessEnvironment>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <map>

namespace {

// Runs the probe program (http_probe.cpp) on `url`, with PELORA_HTTP_MODULE set to `module` unless empty.
std::map<QByteArray, QByteArray> probe(const QString& url, const QString& module = QString()) {
    QProcess process;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.remove(QStringLiteral("PELORA_HTTP_MODULE"));
    if (!module.isEmpty()) env.insert(QStringLiteral("PELORA_HTTP_MODULE"), module);
    process.setProcessEnvironment(env);
    process.start(QStringLiteral(PELORA_HTTP_PROBE), {url});
    std::map<QByteArray, QByteArray> values;
    if (!process.waitForFinished(20000)) return values;
    EXPECT_EQ(process.exitStatus(), QProcess::NormalExit) << process.readAllStandardError().toStdString();
    EXPECT_EQ(process.exitCode(), 0);
    for (const QByteArray& line : process.readAllStandardOutput().split('\n')) {
        const qsizetype eq = line.indexOf('=');
        if (eq > 0) values[line.left(eq)] = line.mid(eq + 1);
    }
    return values;
}

TEST(HttpModule, QtNetworkIsLoadedOnlyByTheFirstRequest) {
    TestHttpServer server;
    TestHttpServer::Response r;
    r.body = "10.0.0.7";
    server.route(QStringLiteral("/ip"), r);
    auto values = probe(server.url(QStringLiteral("/ip")));
    EXPECT_EQ(values["before"], "0");
    EXPECT_EQ(values["opened"], "1");
    EXPECT_EQ(values["status"], "200");
    EXPECT_EQ(values["body"], "10.0.0.7");
    EXPECT_EQ(values["after"], "1");
    EXPECT_EQ(values["error"], "");
}

TEST(HttpModule, WithoutTheModuleRequestsFailAndSayWhy) {
    TestHttpServer server;
    TestHttpServer::Response r;
    r.body = "10.0.0.7";
    server.route(QStringLiteral("/ip"), r);
    QTemporaryDir dir;
    const QString notLibrary = dir.filePath(QStringLiteral("libpelora_http.so"));
    QFile file(notLibrary);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write("not a shared library");
    file.close();
    const QString missing = dir.filePath(QStringLiteral("missing/libpelora_http.so"));
    for (const QString& module : {missing, notLibrary}) {
        SCOPED_TRACE(module.toStdString());
        auto values = probe(server.url(QStringLiteral("/ip")), module);
        EXPECT_EQ(values["opened"], "0");
        EXPECT_EQ(values["status"], "0");
        EXPECT_EQ(values["after"], "0");
        EXPECT_TRUE(values["error"].contains("HTTP 모듈")) << values["error"].toStdString();
        EXPECT_TRUE(values["error"].contains(module.toUtf8())) << values["error"].toStdString();
    }
    EXPECT_TRUE(server.requestedPaths().isEmpty());
}

}  // namespace
