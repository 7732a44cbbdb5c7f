// The settings store: one INI file per application under the XDG config home, Korean names included.
#include "platform/settings_store.h"
#include "platform/cp949.h"
#include "support/qt_printers.h"

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QSettings>
#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace {

TEST(SettingsStore, GetSaveRemoveByApplicationSectionAndKey) {
    const QString app = QStringLiteral("테사르Soft 접속관리자");
    const QString section = QStringLiteral("서버정보");
    EXPECT_EQ(settings::get(app, section, QStringLiteral("DB명"), QStringLiteral("tessardb")),
              QStringLiteral("tessardb"));
    settings::save(app, section, QStringLiteral("DB명"), QStringLiteral("주문DB"));
    settings::save(app, QStringLiteral("Options"), QStringLiteral("DB명"), QStringLiteral("other"));
    settings::save(QStringLiteral("펠로라푸드주문서"), section, QStringLiteral("DB명"),
                   QStringLiteral("third"));
    EXPECT_EQ(settings::get(app, section, QStringLiteral("DB명")), QStringLiteral("주문DB"));
    EXPECT_TRUE(QFile::exists(qEnvironmentVariable("XDG_CONFIG_HOME") +
                              QStringLiteral("/테사르Soft 접속관리자.ini")));

    // An empty stored value is a value, not a missing one.
    settings::save(app, section, QStringLiteral("PWD"), QString());
    EXPECT_EQ(settings::get(app, section, QStringLiteral("PWD"), QStringLiteral("default")), QString());

    settings::remove(app, section, QStringLiteral("DB명"));
    settings::remove(app, section, QStringLiteral("never there"));
    EXPECT_EQ(settings::get(app, section, QStringLiteral("DB명"), QStringLiteral("gone")),
              QStringLiteral("gone"));
    EXPECT_EQ(settings::get(app, QStringLiteral("Options"), QStringLiteral("DB명")), QStringLiteral("other"));
    EXPECT_EQ(settings::get(QStringLiteral("펠로라푸드주문서"), section, QStringLiteral("DB명")),
              QStringLiteral("third"));
}

TEST(SettingsStore, ValuesWithSeparatorsSurvive) {
    const QString value = QStringLiteral("a;b=c, d\\e \"f\" ");
    settings::save(QStringLiteral("app"), QStringLiteral("Config"), QStringLiteral("k"), value);
    EXPECT_EQ(settings::get(QStringLiteral("app"), QStringLiteral("Config"), QStringLiteral("k")), value);
}

}  // namespace

namespace {

QString settingsPath(const QString& application) {
    return qEnvironmentVariable("XDG_CONFIG_HOME") + QLatin1Char('/') + application + QStringLiteral(".ini");
}

QByteArray readAll(const QString& path) {
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

void writeAll(const QString& path, const QByteArray& bytes) {
    QFile f(path);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly | QIODevice::Truncate));
    f.write(bytes);
}

// The Korean sections and keys of every settings file the program writes, in files laid out by hand:
// writing one key changes that key's line and nothing else, Korean names stay readable.
TEST(SettingsStore, AWriteChangesOnlyItsLineAndKeepsKoreanNamesReadable) {
    struct Case {
        const char* application;
        const char* section;
        const char* key;
    };
    const Case cases[] = {
        {"테사르Soft 접속관리자", "서버정보", "DB명"},
        {"테사르Soft 접속관리자", "서버정보", "서버Type"},
        {"테사르Soft 로그인 관리자", "Config", "MainPathParam"},
        {"펠로라푸드주문서", "Config", "주문서_Printer"},
        {"테사르공통", "바코드프린터", "PORTTYPE"},
    };
    for (const Case& c : cases) {
        const QString app = QString::fromUtf8(c.application);
        const QString section = QString::fromUtf8(c.section);
        const QString key = QString::fromUtf8(c.key);
        SCOPED_TRACE(c.application);
        const QByteArray before = QByteArray("; 관리자가 손으로 적은 설명\r\n[") + c.section + "]\r\n" +
                                  c.key + "=old\r\n기타=값 ; 주석\r\n\r\n[다른절]\r\n키=\"따옴표\"\r\n";
        writeAll(settingsPath(app), before);

        settings::save(app, section, key, QStringLiteral("새 값"));
        QByteArray expected = before;
        expected.replace(QByteArray(c.key) + "=old", QByteArray(c.key) + "=새 값");
        EXPECT_EQ(readAll(settingsPath(app)), expected);
        EXPECT_EQ(settings::get(app, section, key), QStringLiteral("새 값"));
        EXPECT_EQ(settings::get(app, section, QStringLiteral("기타")), QStringLiteral("값"));

        // A new key goes to the end of its section; a new section to the end of the file, as it is.
        settings::save(app, section, QStringLiteral("새키"), QStringLiteral("1"));
        settings::save(app, QStringLiteral("새절"), QStringLiteral("이름"), QStringLiteral("2"));
        expected.replace("기타=값 ; 주석\r\n", "기타=값 ; 주석\r\n새키=1\r\n");
        expected += "\r\n[새절]\r\n이름=2\r\n";
        EXPECT_EQ(readAll(settingsPath(app)), expected);
        QFile::remove(settingsPath(app));
    }
}

// A file that an earlier version wrote through Qt's INI format (names as "%UXXXX" escapes, values with
// its quoting) reads the same; the first access writes the names as they are, and a section the
// administrator then added by hand wins over the escaped copy.
TEST(SettingsStore, EscapedNamesOfEarlierVersionsAreReadAndRepairedOnce) {
    const QString app = QStringLiteral("테사르Soft 접속관리자");
    const QString path = settingsPath(app);
    const QString tricky = QStringLiteral(" a;b=c, d\\e \"f\" ");
    {
        QSettings old(path, QSettings::IniFormat);
        old.setValue(QStringLiteral("서버정보/IP"), QStringLiteral("10.0.0.5"));
        old.setValue(QStringLiteral("서버정보/DB명"), QStringLiteral("escaped"));
        old.setValue(QStringLiteral("서버정보/PWD"), tricky);
        old.setValue(QStringLiteral("Options/시작"), QStringLiteral("@1"));
    }
    ASSERT_TRUE(readAll(path).contains("%U"));
    QFile f(path);
    ASSERT_TRUE(f.open(QIODevice::Append));
    f.write("\n[서버정보]\nDB명=by hand\n");
    f.close();

    EXPECT_EQ(settings::get(app, QStringLiteral("서버정보"), QStringLiteral("IP")),
              QStringLiteral("10.0.0.5"));
    EXPECT_EQ(settings::get(app, QStringLiteral("서버정보"), QStringLiteral("DB명")),
              QStringLiteral("by hand"));
    EXPECT_EQ(settings::get(app, QStringLiteral("서버정보"), QStringLiteral("PWD")), tricky);
    EXPECT_EQ(settings::get(app, QStringLiteral("Options"), QStringLiteral("시작")), QStringLiteral("@1"));

    const QByteArray repaired = readAll(path);
    EXPECT_FALSE(repaired.contains("%U")) << repaired.constData();
    EXPECT_EQ(repaired.count("[서버정보]"), 1) << repaired.constData();
    // Reading again changes nothing more, and Qt's own reader still reads what we wrote.
    settings::get(app, QStringLiteral("서버정보"), QStringLiteral("IP"));
    EXPECT_EQ(readAll(path), repaired);
    settings::save(app, QStringLiteral("서버정보"), QStringLiteral("PWD"), tricky);
    QSettings reader(path, QSettings::IniFormat);
    EXPECT_EQ(reader.value(QStringLiteral("서버정보/PWD")).toString(), tricky);
    EXPECT_EQ(reader.value(QStringLiteral("서버정보/IP")).toString(), QStringLiteral("10.0.0.5"));
    QFile::remove(path);
}

constexpr QFileDevice::Permissions kOthers = QFileDevice::ReadGroup | QFileDevice::WriteGroup |
                                             QFileDevice::ExeGroup | QFileDevice::ReadOther |
                                             QFileDevice::WriteOther | QFileDevice::ExeOther;

// The files hold passwords: written by its owner alone from the first save, narrowed when an older file
// that others could read is written again; a settings folder the store creates is its owner's only.
TEST(SettingsStore, FilesWithPasswordsAreTheOwnersAlone) {
    const QByteArray saved = qgetenv("XDG_CONFIG_HOME");
    QTemporaryDir home;
    const QString folder = home.path() + QStringLiteral("/config");
    qputenv("XDG_CONFIG_HOME", folder.toUtf8());
    const QString app = QStringLiteral("테사르Soft 접속관리자");
    const QString path = folder + QLatin1Char('/') + app + QStringLiteral(".ini");

    settings::save(app, QStringLiteral("서버정보"), QStringLiteral("PWD"), QStringLiteral("c2VjcmV0"));
    EXPECT_EQ(QFile::permissions(path) & kOthers, QFileDevice::Permissions());
    EXPECT_TRUE(QFile::permissions(path) & QFileDevice::ReadOwner);
    EXPECT_EQ(QFile::permissions(folder) & kOthers, QFileDevice::Permissions());

    ASSERT_TRUE(QFile::setPermissions(path, QFileDevice::ReadOwner | QFileDevice::WriteOwner |
                                                QFileDevice::ReadGroup | QFileDevice::ReadOther));
    settings::save(QStringLiteral("펠로라푸드주문서"), QStringLiteral("Config"), QStringLiteral("passwd"),
                   QStringLiteral("cGFzcw=="));
    settings::save(app, QStringLiteral("서버정보"), QStringLiteral("IP"), QStringLiteral("10.0.0.5"));
    EXPECT_EQ(QFile::permissions(path) & kOthers, QFileDevice::Permissions());
    EXPECT_EQ(QFile::permissions(folder + QStringLiteral("/펠로라푸드주문서.ini")) & kOthers,
              QFileDevice::Permissions());
    EXPECT_EQ(settings::get(app, QStringLiteral("서버정보"), QStringLiteral("PWD")),
              QStringLiteral("c2VjcmV0"));
    qputenv("XDG_CONFIG_HOME", saved);
}

// Two processes saving different keys of one file, 300 times each: every key ends at its last value.
TEST(SettingsStore, TwoWritersLoseNoKey) {
    const QString app = QStringLiteral("두 작성자");
    const QString section = QStringLiteral("Config");
    constexpr int kSaves = 300;
    QProcess first;
    QProcess second;
    first.start(QStringLiteral(PELORA_SETTINGS_WRITER),
                {app, section, QStringLiteral("A"), QString::number(kSaves)});
    second.start(QStringLiteral(PELORA_SETTINGS_WRITER),
                 {app, section, QStringLiteral("B"), QString::number(kSaves)});
    ASSERT_TRUE(first.waitForFinished(120000) && second.waitForFinished(120000));
    ASSERT_EQ(first.exitCode(), 0);
    ASSERT_EQ(second.exitCode(), 0);
    for (const QString& prefix : {QStringLiteral("A"), QStringLiteral("B")})
        for (int k = 0; k < 10; ++k)
            EXPECT_EQ(settings::get(app, section, prefix + QString::number(k)),
                      QString::number(kSaves - 10 + k))
                << (prefix + QString::number(k)).toStdString();
    QFile::remove(settingsPath(app));
}

// The connection file as the Windows program's connection manager wrote it, in code page 949: read as
// such, and the first save writes it as UTF-8 (the line ends and every other line kept), with the original
// bytes beside it.
TEST(SettingsStore, ACodePage949FileOfTheOldProgramIsReadAndBecomesUtf8OnTheFirstSave) {
    const QString app = QStringLiteral("테사르Soft 접속관리자");
    const QString path = settingsPath(app);
    const QString text = QStringLiteral(
        "[서버정보]\r\n서버Type=1\r\nIP=192.168.0.10\r\nID=tessar\r\nDB명=똠양DB\r\nPWD=dGVzc2Fy\r\n"
        "\r\n[Options]\r\nID=pelorafood\r\n");
    const QByteArray original = cp949::encode(text);
    {
        QFile f(path);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write(original);
    }
    const QString section = QStringLiteral("서버정보");
    EXPECT_EQ(settings::get(app, section, QStringLiteral("서버Type")), QStringLiteral("1"));
    EXPECT_EQ(settings::get(app, section, QStringLiteral("IP")), QStringLiteral("192.168.0.10"));
    EXPECT_EQ(settings::get(app, section, QStringLiteral("DB명")), QStringLiteral("똠양DB"));
    EXPECT_EQ(settings::get(app, section, QStringLiteral("PWD")), QStringLiteral("dGVzc2Fy"));
    EXPECT_EQ(readAll(path), original);  // reading changes nothing

    settings::save(app, QStringLiteral("Options"), QStringLiteral("StartParam"), QStringLiteral("MDA2MTAw"));
    EXPECT_EQ(readAll(path).toStdString(),
              QString(text)
                  .replace(QStringLiteral("ID=pelorafood\r\n"),
                           QStringLiteral("ID=pelorafood\r\nStartParam=MDA2MTAw\r\n"))
                  .toStdString());
    EXPECT_EQ(readAll(path + QStringLiteral(".cp949")), original);
    EXPECT_EQ(settings::get(app, section, QStringLiteral("DB명")), QStringLiteral("똠양DB"));
    QFile::remove(path);
    QFile::remove(path + QStringLiteral(".cp949"));
}

}  // namespace
