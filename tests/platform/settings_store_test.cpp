// The settings store: one INI file per application under the XDG config home, Korean names included.
#include "platform/settings_store.h"
#include "support/qt_printers.h"

#include <QFile>

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
