#include "startup/server_location.h"

#include "build_config.h"
#include "common/msgbox.h"
#include "platform/app_error.h"
#include "platform/dialogs.h"
#include "platform/http.h"
#include "platform/settings_store.h"

namespace {
constexpr qint64 kAddressBytes = 20;
}

QString DownloadDirectory() {
    QString dir = settings::get(AppTitle(), QStringLiteral("Config"), QStringLiteral("DownloadURL"),
                                QStringLiteral(PELORA_DOWNLOAD_URL))
                      .trimmed();
    while (dir.endsWith(QLatin1Char('/'))) dir.chop(1);
    return dir;
}

QString GetCSManageDBIP(const QString& fileName) {
    try {
        const QUrl url(DownloadDirectory() + QLatin1Char('/') + fileName);
        WaitCursor wait;
        http::Request request;
        // A few bytes: the whole fetch has a deadline, so that a server trickling them one by one cannot
        // hold the start for minutes with no window.
        request.setDeadline(http::limits().smallRequestMs);
        if (!request.open(url, "VB OpenUrl", true)) {
            // Without the HTTP module the reason is the module, not the server: the box says which file.
            const QString why = http::loadError();
            ShowPlainMsg(QStringLiteral("InternetOpenUrl() 실패!") +
                         (why.isEmpty() ? QString() : QStringLiteral("\r\n") + why));
            return QString();
        }
        char buffer[kAddressBytes];
        const qint64 n = request.read(buffer, kAddressBytes);
        if (n < 0) {
            ShowPlainMsg(QStringLiteral("InternetReadFile() 실패!"));
            return QString();
        }
        // A missing file comes back as the server's error page, which is no address.
        if (request.status() < 200 || request.status() > 299) return QString();
        const QString body = QString::fromLatin1(buffer, n);
        if (body.startsWith(QLatin1String("<!"))) return QString();
        return body;
    } catch (const AppError& e) {
        ShowProcError(QStringLiteral("GetCSManageDBIP"), QStringLiteral("Form1"), e, ProcOwner::Form);
        return QString();
    }
}
