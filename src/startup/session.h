#pragma once

#include "widgets/form_style.h"

#include <QString>

// The session values: set by the start-up (and LoginID by the login window), read everywhere, alive for
// the whole process. The application title lives with the message boxes (AppTitle() in common/msgbox.h)
// and the quantity decimals with the number helpers (QtyDecimals() in common/text_helpers.h), because
// folders below the start-up read them too.

// The database server, user, schema and password of the session connection.
inline QString DBHost;
inline QString DBUser;
inline QString DBName;
inline QString DBPassword;
// The server's TCP port (a host "localhost" connects through the local socket instead).
inline int DBPort = 3306;
// The session user's login identifier (local_user.loginid).
inline QString LoginID;
// The session user's buyer (local_user.c_buyer): every order query is restricted to it.
inline int BuyerCode = 0;
// DevMode and UseFormStyle, which the window styling reads, live with it.

// The settings applications that the launcher and the connection manager share with the program.
inline const QString kConnectionManagerApp = QStringLiteral("테사르Soft 접속관리자");
inline const QString kLoginManagerApp = QStringLiteral("테사르Soft 로그인 관리자");
