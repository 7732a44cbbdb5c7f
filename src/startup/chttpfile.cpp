#include "startup/chttpfile.h"

#include "platform/app_paths.h"
#include "startup/server_location.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
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
    QString contentType = m_request->contentType();
    if (contentType.isEmpty()) contentType = QStringLiteral("Unknown");
    const bool html = contentType.contains(QLatin1String("html"));

    if (m_url.contains(QLatin1Char('/'))) {
        m_name = m_url.mid(m_url.lastIndexOf(QLatin1Char('/')) + 1);
        if (m_name.isEmpty() && html) m_name = m_url.mid(7) + QStringLiteral(".html");
    } else {
        m_name = html ? m_url + QStringLiteral(".html") : QString();
    }
    for (QChar c : QStringLiteral("\\/:*?\"<>|")) m_name.remove(c);

    m_size = int(m_request->contentLength());
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
    do {
        if (m_cancelRequested) {
            file.close();
            emit downloadCancelled();
            Disconnect();
            m_stillReceiving = false;
            return false;
        }
        const qint64 n = m_request->read(buffer.data(), kChunk);
        if (n < 0 || (n > 0 && file.write(buffer.data(), n) != n)) {
            file.remove();
            return fail(Incomplete);
        }
        if (n == 0) {
            emit dataArrived(int(written), QByteArray());
            break;
        }
        last = n < kChunk;
        m_position += n;
        written += n;
        QCoreApplication::processEvents();
        emit dataArrived(int(written), QByteArray(buffer.data(), n));
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

bool DownloadSetup(const QString& programFile) {
    const QString setupName =
        QString(programFile).remove(QStringLiteral(".exe")) + QStringLiteral("_Setup.exe");
    const QString folder = app_paths::programFolder();
    const QString setupPath = folder + QLatin1Char('/') + setupName;
    if (QFileInfo::exists(setupPath)) QFile::remove(setupPath);

    const QString directory = DownloadDirectory();
    cHTTPFile downloader;
    if (downloader.Connect(directory) != cHTTPFile::Success) return false;
    if (!downloader.Download(true, directory + QLatin1Char('/') + programFile, folder, setupName))
        return false;
    downloader.Disconnect();
    return QFileInfo::exists(setupPath);
}
