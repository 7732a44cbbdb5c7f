#pragma once

#include <QString>

#include <functional>

// The program's entry and its session: Main refuses a second instance and runs AppStart, which opens the
// session on one of two paths and hands over to the login window or the main window. Those windows live
// above this folder: app/main.cpp hands them in as functions.

struct StartHandOver {
    std::function<void()> showLoginWindow;  // settings-store path, connection open
    std::function<void()> showMainWindow;   // launcher path, user admitted, revision current
};

// How the start ended: a window took over (run the event loop), or the process ends now.
enum class StartOutcome { WindowShown, Ended };

// Refuses a second instance ("이미 프로그램이 실행 중입니다."), decides the development mode, sets the
// application title and the quantity decimals, and runs AppStart.
StartOutcome Main(const StartHandOver& handOver);
// Whether the program runs inside its development environment under `projectName`; sets DevMode. Never
// in a build: the module that runs the code is the program itself.
bool IsDebugMode(const QString& projectName);
// Chooses the start path and runs it up to the hand-over: "서버Type" not 0, the settings store's
// connection; otherwise the launcher's, when the installation has a launcher (its hand-over parameter,
// "Options" / "Launcher" naming its program, or start.exe beside the program); otherwise, on a first start,
// the connection window, then the settings store's path.
StartOutcome AppStart(const StartHandOver& handOver);
// Opens the session connection; true when it is open.
bool InitApp();
// Closes the session connection.
void DestroyApp();
// Whether the user `loginId` is admitted (local_user.branch 2); sets BuyerCode from local_user.c_buyer.
bool GetLoginUserInfo(const QString& loginId);
