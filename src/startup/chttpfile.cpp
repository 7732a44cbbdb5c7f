#include "startup/chttpfile.h"

#include "common/app_title.h"
#include "platform/app_paths.h"
#include "platform/dialogs.h"
#include "startup/server_location.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QProgressDialog>
#include <QUrl>

#include <vector>

namespace {

bool containsAny(const QString& text, const QString& characters) {
    for (QChar c : characters)
        if (text.contains(c)) return true;
    return false;
}

// The folder separator that a stored local folder ends in.
QChar separator() {
    return QDir::separator();
}

// A folder the downloader may write into: an absolute path of a folder that exists (on Windows a drive
// path such as "C:\..."), free of the characters no path may hold.
bool isUsableFolder(const QString& folder) {
    if (folder.size() < 2) return false;
#ifdef Q_OS_WIN
    if (folder.startsWith(QLatin1Char('\\')) || folder.startsWith(QLatin1Char('/')) ||
        folder.at(1) != QLatin1Char(':'))
        return false;
#else
    if (!folder.startsWith(QLatin1Char('/'))) return false;
#endif
    if (containsAny(folder, QStringLiteral("\"|*?<>"))) return false;
    return QFileInfo(folder).isDir();
}

}  // namespace

cHTTPFile::cHTTPFile(QObject* parent) : QObject(parent) {}

cHTTPFile::~cHTTPFile() {
    if (m_request && m_request->isOpen()) Disconnect();
}

void cHTTPFile::Cancel() {
    m_cancelRequested = true;
    // The request is cancelled while its reply's head is awaited as well: the progress window's button
    // can be pressed then, and the open would otherwise clear the request to cancel and go on reading.
    if (m_request) m_request->cancel();
}

void cHTTPFile::GetLocalPath(QString& PathName, QString& FileName) const {
    PathName = m_localFolder;
    FileName = m_localFileName;
}

int cHTTPFile::Connect(const QString& Url) {
    int code = Success;
    if (m_stillReceiving)
        code = Busy;
    else if (!http::isOnline())
        code = Offline;
    else if (!http::canReach(QUrl(Url)))
        code = Unreachable;
    else
        m_sessionOpen = true;
    if (code != Success) m_connected = false;
    emit connectResult(code);
    return code;
}

void cHTTPFile::Disconnect() {
    if (!m_sessionOpen) return;
    m_sessionOpen = false;
    if (m_request && m_request->isOpen()) {
        m_request->close();
        m_connected = false;
        m_stillReceiving = false;
        m_cancelRequested = true;
        emit disconnected();
    }
}

int cHTTPFile::OpenUrl(const QString& url) {
    if (!m_sessionOpen) return Success;  // nothing opened: the download then reports "not connected"
    // The new request replaces the previous one: nothing counts as connected until it has opened, so a
    // failed open cannot leave the object looking connected to a request that is gone.
    m_connected = false;
    const QUrl target(url);
    m_request = std::make_unique<http::Request>();
    m_request->setInteractive(m_interactive);
    if (!target.isValid() || !m_request->open(target, "cHTTPFile", false)) {
        Disconnect();
        return InvalidUrl;
    }
    m_statusCode = m_request->status();
    if (m_statusCode != 200) {
        Disconnect();
        return InvalidUrl;
    }
    m_url = m_request->finalUrl().toString(QUrl::FullyEncoded);
    m_contentType = m_request->contentType();
    if (m_contentType.isEmpty()) m_contentType = QStringLiteral("Unknown");
    const bool html = m_contentType.contains(QLatin1String("html"));

    if (m_url.contains(QLatin1Char('/'))) {
        m_name = m_url.mid(m_url.lastIndexOf(QLatin1Char('/')) + 1);
        if (m_name.isEmpty() && html) m_name = m_url.mid(7) + QStringLiteral(".html");
    } else {
        m_name = html ? m_url + QStringLiteral(".html") : QString();
    }
    for (QChar c : QStringLiteral("\\/:*?\"<>|")) m_name.remove(c);

    m_size = m_request->contentLength();
    if (m_size == -2) {
        Disconnect();
        return UnknownSize;
    }
    m_position = 0;
    m_stillReceiving = false;
    m_connected = true;
    m_cancelRequested = false;
    return Success;
}

bool cHTTPFile::SetLocalPath(const QString& folder, const QString& fileName) {
    // A refused folder or file name forgets the previous call's target, so that a reused downloader reports
    // the missing folder or name instead of writing into the file of an earlier download.
    m_localFileName.clear();
    m_localPath.clear();
    QString dir = folder.trimmed();
    if (!isUsableFolder(dir)) {
        m_localFolder.clear();
        return false;
    }
    if (!dir.endsWith(separator()) && !dir.endsWith(QLatin1Char('/'))) dir += separator();
    m_localFolder = dir;
    const QString name = fileName.trimmed();
    if (name.isEmpty()) {
        m_localPath = m_localFolder + m_name;
        m_localFileName = m_name;
        return true;
    }
    if (containsAny(name, QStringLiteral("\\/\"|:*?<>"))) return false;
    m_localPath = m_localFolder + name;
    m_localFileName = name;
    return true;
}

// A download error: the notification, the request closed, nothing left running.
bool cHTTPFile::fail(int code) {
    emit downloadError(code);
    Disconnect();
    m_request.reset();
    m_connected = false;
    m_stillReceiving = false;
    return false;
}

bool cHTTPFile::Download(bool Overwrite, const QString& Url, const QString& LocalPathName,
                         const QString& LocalFileName) {
    if (m_stillReceiving) {
        emit downloadError(Busy);
        return false;  // the running download goes on
    }
    if (OpenUrl(Url) != Success) return false;
    SetLocalPath(LocalPathName, LocalFileName);
    m_stillReceiving = true;

    if (!m_connected) return fail(Offline);
    if (m_localFolder.isEmpty()) return fail(NoFolder);
    if (!QFileInfo(m_localFolder).isDir()) return fail(FolderMissing);
    if (m_localFileName.isEmpty()) return fail(NoFileName);
    if (QFileInfo::exists(m_localPath) && Overwrite && !QFile::remove(m_localPath)) return fail(CannotDelete);

    m_position = 1;
    emit downloadStarted(m_size, m_localFileName);
    QFile file(m_localPath);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate)) return fail(FolderMissing);
    std::vector<char> buffer(kChunk);
    qint64 written = 0;
    bool last = false;
    const auto cancelled = [&] {
        file.close();
        emit downloadCancelled();
        Disconnect();
        m_stillReceiving = false;
        return false;
    };
    do {
        if (m_cancelRequested) return cancelled();
        const qint64 n = m_request->read(buffer.data(), kChunk);
        if (n < 0 && m_cancelRequested) return cancelled();  // the cancel ended the wait
        if (n < 0 || (n > 0 && file.write(buffer.data(), n) != n)) {
            file.remove();
            return fail(Incomplete);
        }
        if (n == 0) {
            emit dataArrived(written, QByteArray());
            break;
        }
        last = n < kChunk;
        m_position += n;
        written += n;
        QCoreApplication::processEvents();
        emit dataArrived(written, QByteArray(buffer.data(), n));
    } while (!last && (m_size < 0 || written < m_size));
    file.close();
    // Only a complete file counts: a body that ended before its announced size is not the program.
    if (m_size >= 0 && written < m_size) {
        file.remove();
        return fail(Incomplete);
    }
    m_position = 0;
    emit downloadCompleted();
    m_stillReceiving = false;
    return true;
}

namespace {

// The box of a setup download that arrived but is refused.
void refuseSetup(const QString& reason) {
    dialogs().messageBox({QStringLiteral("새 버전의 설치 파일을 받지 못했습니다.") + QStringLiteral("\r\n") +
                              reason + QStringLiteral("\r\n") + QStringLiteral("지금 버전으로 계속합니다."),
                          AppTitle(), Dialogs::Icon::Exclamation, Dialogs::Buttons::Ok, 1});
}

// The download's progress in a window with a cancel button. The range is in thousandths, so that a
// length beyond what the bar counts still shows.
class SetupProgress {
public:
    explicit SetupProgress(cHTTPFile& downloader)
        : m_dialog(QStringLiteral("새 버전의 설치 파일을 받고 있습니다..."), QStringLiteral("취소"), 0,
                   1000) {
        m_dialog.setWindowTitle(AppTitle());
        m_dialog.setWindowModality(Qt::ApplicationModal);
        m_dialog.setMinimumDuration(0);
        m_dialog.setAutoClose(false);
        m_dialog.setAutoReset(false);
        QObject::connect(&downloader, &cHTTPFile::downloadStarted, &m_dialog,
                         [this](qint64 size, const QString&) {
                             m_size = size;
                             m_dialog.setValue(0);
                         });
        QObject::connect(&downloader, &cHTTPFile::dataArrived, &m_dialog,
                         [this](qint64 total, const QByteArray&) {
                             if (m_size > 0)
                                 m_dialog.setValue(int(qMin<qint64>(1000, total * 1000 / m_size)));
                         });
        QObject::connect(&m_dialog, &QProgressDialog::canceled, &downloader, &cHTTPFile::Cancel);
        m_dialog.show();
    }

private:
    QProgressDialog m_dialog;
    qint64 m_size = 0;
};

}  // namespace

bool DownloadSetup(const QString& programFile) {
    const QString setupName =
        QString(programFile).remove(QStringLiteral(".exe")) + QStringLiteral("_Setup.exe");
    const QString folder = app_paths::programFolder();
    const QString setupPath = folder + QLatin1Char('/') + setupName;
    if (QFileInfo::exists(setupPath)) QFile::remove(setupPath);

    const QString directory = DownloadDirectory();
    cHTTPFile downloader;
    if (downloader.Connect(directory) != cHTTPFile::Success) {
        // A server that is away is no news at start; an HTTP module that cannot be loaded is, or no new
        // version would ever arrive without the user learning why.
        const QString why = http::loadError();
        if (!why.isEmpty()) refuseSetup(why);
        return false;
    }
    // Complete means: as long as the server said it would be. Without a length a cut-short body cannot
    // be told from a whole one, and a web page (an error or a portal page) is no program. Both show in
    // the reply's head, so such a reply is refused before its body is fetched.
    QString refusal;
    QObject::connect(&downloader, &cHTTPFile::downloadStarted, &downloader, [&](qint64 size, const QString&) {
        if (size < 0)
            refusal =
                QStringLiteral("서버가 파일의 크기를 알려주지 않아 받은 파일이 완전한지 알 수 없습니다.");
        else if (downloader.ContentType().contains(QLatin1String("text/html"), Qt::CaseInsensitive))
            refusal = QStringLiteral("서버가 설치 파일 대신 웹 페이지를 보냈습니다.");
        if (!refusal.isEmpty()) downloader.Cancel();
    });
    // A body that breaks off after its head: the user hears of it, or the program would go on with the old
    // version as if nothing had been on offer.
    qint64 received = 0;
    QObject::connect(&downloader, &cHTTPFile::dataArrived, &downloader,
                     [&](qint64 total, const QByteArray&) { received = total; });
    QObject::connect(&downloader, &cHTTPFile::downloadError, &downloader, [&](int error) {
        if (error == cHTTPFile::Incomplete && refusal.isEmpty())
            refusal = QStringLiteral("받는 도중 연결이 끊어졌습니다 (") + QString::number(received) +
                      QStringLiteral(" / ") + QString::number(downloader.Size()) +
                      QStringLiteral(" 바이트).");
    });
    bool downloaded = false;
    {
        downloader.setInteractive(true);
        SetupProgress progress(downloader);
        downloaded = downloader.Download(true, directory + QLatin1Char('/') + programFile, folder, setupName);
    }
    // A cancelled, broken or refused download leaves no part of a program that could be started.
    if (!downloaded) {
        QFile::remove(setupPath);
        if (!refusal.isEmpty()) refuseSetup(refusal);
        return false;
    }
    downloader.Disconnect();
    return QFileInfo::exists(setupPath);
}
