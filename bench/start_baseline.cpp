// The baseline process of bench/start.cpp: the application object and one database connection with the
// same settings, nothing else.
#include "common/codecs.h"
#include "db/mysql_func.h"
#include "platform/settings_store.h"
#include "start_helper.h"
#include "startup/session.h"

#include <QApplication>

#include <cstdlib>

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    FailOnBoxDialogs boxes;
    setDialogs(&boxes);
    const QString section = QStringLiteral("서버정보");
    const bool connected =
        DBInit(settings::get(kConnectionManagerApp, section, QStringLiteral("IP")),
               settings::get(kConnectionManagerApp, section, QStringLiteral("ID")),
               DecodeStr(settings::get(kConnectionManagerApp, section, QStringLiteral("PWD"))),
               settings::get(kConnectionManagerApp, section, QStringLiteral("DB명")));
    std::_Exit(connected ? 0 : 1);
}
