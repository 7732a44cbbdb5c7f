#pragma once

#include <QString>

// The statements of the login and the session's start, built and run here so that the windows build no SQL:
// the login window's look-ups in `local_user` and the session user's record.

// True when the user `loginId` (compared in upper case) has no password yet, or is not known: the login
// window then offers the first-login hint.
bool IsFirstLoginUser(const QString& loginId);
// True when a user of that identifier (either case) has exactly that password.
bool LoginAccepted(const QString& loginId, const QString& password);

// The session user's record: whether the user exists, the buyer whose orders the session shows, and the
// user's kind (`branch`; 2 is a buyer's user).
struct LoginUser {
    bool found = false;
    double buyerCode = 0;
    double branch = 0;
};
// Reads the user named exactly `loginId`; a failure the connection reported leaves `found` false. The
// result set's own failures raise (AppError).
LoginUser ReadLoginUser(const QString& loginId);
