#pragma once

#include <QWidget>

#include <functional>

class QCheckBox;
class QLabel;
class QLineEdit;
class QPushButton;

// The login window of the settings-store start path: the connection is open, and the user proves an
// account of local_user with an identifier and a password. It remembers the last identifier and, on
// request, the password (AppTitle / "Config": "RecentID", "SavePWD", "passwd"); for an account without a
// password it shows the hint "엔터를 치세요" in clear instead (the first login); it allows three attempts.
//
// Closing it after a login admits the user (GetLoginUserInfo), shows the intro notice unless the user
// turned it off, and hands over to the main window; closing it otherwise ends the session and the program.
class FrmLogin : public QWidget {
    Q_OBJECT

public:
    // `showMainWindow` opens the main window after a successful login (the main window lives above this
    // folder); `endProgram` ends the program after the session was closed (default: leave the event loop).
    explicit FrmLogin(std::function<void()> showMainWindow, std::function<void()> endProgram = {},
                      QWidget* parent = nullptr);

    // Checks the identifier and password: Enter in the password box or the login button.
    void Login();

    // The password box's text for a first login.
    static QString FirstLoginHint();

    QLineEdit* txtUser() const { return m_txtUser; }
    QLineEdit* txtPass() const { return m_txtPass; }
    QCheckBox* chkSavePwd() const { return m_chkSavePwd; }
    QPushButton* btnLogin() const { return m_btnLogin; }
    // Whether the password box shows the first-login hint unmasked.
    bool HintShown() const { return m_hintShown; }
    int Attempts() const { return m_attempts; }
    bool LoggedIn() const { return m_loggedIn; }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    // Escape anywhere in the window asks whether to end the program.
    void keyPressEvent(QKeyEvent* event) override;
    void closeEvent(QCloseEvent* event) override;

private:
    void CreateControls();
    void Form_Load();
    bool IsFirstLogin(const QString& loginId) const;
    void ShowHint();
    void OnUserChanged();
    void OnSavePwdClicked();
    void Form_Unload();

    std::function<void()> m_showMainWindow;
    std::function<void()> m_endProgram;
    QLabel* m_background = nullptr;
    QLineEdit* m_txtUser = nullptr;
    QLineEdit* m_txtPass = nullptr;
    QCheckBox* m_chkSavePwd = nullptr;
    QPushButton* m_btnLogin = nullptr;

    qint16 m_attempts = 0;
    bool m_loggedIn = false;
    // The identifier was left with a text other than the one it had when it got the focus.
    bool m_userChanged = false;
    // The password box changed since it last got the focus.
    bool m_passwordTyped = false;
    bool m_hintShown = false;
    bool m_closed = false;
    QString m_userAtFocus;
};
