#pragma once

#include "platform/http.h"

#include <QObject>
#include <QString>

#include <memory>

// A single-file HTTP downloader: checks that the machine is online and the server reachable (Connect),
// opens one URL, learns its final URL, file name and size, and writes the body to a local file in chunks
// of 128 KiB while the windows keep painting (Download). Holders may subscribe to its notifications.
class cHTTPFile : public QObject {
    Q_OBJECT
public:
    // Result and error codes of Connect and of the download-error notification.
    enum Code {
        Success = 0,
        Unreachable = 2,      // the URL's server cannot be reached
        InvalidUrl = 4,       // invalid URL, or a status other than 200
        Busy = 8,             // a download is already in progress
        UnknownSize = 16,     // the size of the resource cannot be determined
        Offline = 32,         // the machine is offline, or no request is open
        Incomplete = 64,      // the body broke off before its announced size, or a read failed
        FolderMissing = 256,  // the local folder does not exist
        NoFolder = 512,       // no local folder given
        NoFileName = 1024,    // no local file name given
        CannotDelete = 2048,  // an existing local file cannot be deleted
    };
    static constexpr qint64 kChunk = 131072;

    explicit cHTTPFile(QObject* parent = nullptr);
    ~cHTTPFile() override;

    QString Url() const { return m_url; }
    // 64 bits: a length above 2 GiB must not wrap to a small number that a prefix of the body would meet.
    qint64 Size() const { return m_size; }
    // The content type of the opened request, "Unknown" when the server named none.
    QString ContentType() const { return m_contentType; }
    QString Name() const { return m_name; }
    bool StillReceiving() const { return m_stillReceiving; }
    int StatusCode() const { return m_statusCode; }
    void GetLocalPath(QString& PathName, QString& FileName) const;

    int Connect(const QString& Url);
    void Disconnect();
    // True only when the whole body was written: a body that ends short of its announced size, or a read
    // that fails, is a download error and the partial file is deleted.
    bool Download(bool Overwrite, const QString& Url, const QString& LocalPathName,
                  const QString& LocalFileName);
    // Asks a running download to stop; a read that is waiting for the server ends at once.
    void Cancel();
    // Lets the user's input through while the download waits for the server (a cancel button).
    void setInteractive(bool interactive) { m_interactive = interactive; }

signals:
    void connectResult(int State);
    void disconnected();
    void downloadStarted(qint64 FileSize, const QString& FileName);
    void dataArrived(qint64 CurrentFileSize, const QByteArray& Data);
    void downloadCompleted();
    void downloadCancelled();
    void downloadError(int Error);

private:
    int OpenUrl(const QString& url);
    bool SetLocalPath(const QString& folder, const QString& fileName);
    bool fail(int code);

    bool m_sessionOpen = false;
    std::unique_ptr<http::Request> m_request;
    QString m_url;
    qint64 m_size = 0;
    QString m_contentType;
    bool m_interactive = false;
    QString m_name;
    bool m_stillReceiving = false;
    int m_statusCode = 0;
    bool m_connected = false;
    bool m_cancelRequested = false;
    QString m_localFolder;
    QString m_localFileName;
    QString m_localPath;
    qint64 m_position = 0;
};

// Fetches the setup program of `programFile` ("peloraorder.exe") from the download directory into the
// program folder as "<name>_Setup.exe", deleting an earlier one first, in a progress window with a
// cancel button. True only when it lies there complete: the server declared its length and every byte
// of it arrived, and it is no web page. A reply without a length or a web page is refused with a box
// (the setup would otherwise run as it stands); other failures are silent. Nothing refused, cancelled or
// incomplete is left behind.
bool DownloadSetup(const QString& programFile);
