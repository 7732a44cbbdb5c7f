#pragma once

#include <QString>

// The maker's download directory, without its final "/": the built-in URL, or the text of the setting
// AppTitle / "Config" / "DownloadURL" when present (an http or https URL).
QString DownloadDirectory();

// Fetches a server address file from the download directory: its first 20 bytes, as text. The empty text
// when the server answers with an error (an HTML page beginning "<!", or a status other than 2xx); the
// empty text after the box "InternetOpenUrl() 실패!" when the server cannot be reached or stays silent,
// or "InternetReadFile() 실패!" when the body cannot be read (a body cut short, or a fetch that outlasts
// the small-request deadline, however steadily it trickles).
QString GetCSManageDBIP(const QString& fileName);
