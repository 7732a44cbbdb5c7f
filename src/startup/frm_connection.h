#pragma once

#include <QDialog>

class QLineEdit;
class QPushButton;
class QSpinBox;

// The connection window of a first start: a new installation has no server connection in the settings
// store and no launcher to hand one over. The person who sets up the workstation types the order
// database's address, port, database, user and password; 연결 시험 really connects with them, and 저장
// connects once more and only then writes them to the settings store ("테사르Soft 접속관리자" /
// "서버정보": IP, Port, DB명, ID, PWD in base64, 서버Type 1), exactly where the settings-store start
// path reads them. A connection that fails writes nothing and says why.
class FrmConnection : public QDialog {
    Q_OBJECT

public:
    explicit FrmConnection(QWidget* parent = nullptr);

    // Connects with the typed values and says how it went; true when the server took them.
    bool TestConnection();
    // Connects and, when it works, writes the settings and closes the window as accepted.
    void SaveConnection();

    QLineEdit* txtHost() const { return m_txtHost; }
    QSpinBox* txtPort() const { return m_txtPort; }
    QLineEdit* txtDatabase() const { return m_txtDatabase; }
    QLineEdit* txtUser() const { return m_txtUser; }
    QLineEdit* txtPassword() const { return m_txtPassword; }
    QPushButton* btnTest() const { return m_btnTest; }
    QPushButton* btnSave() const { return m_btnSave; }

private:
    void CreateControls();
    // The server's refusal of the typed values, or an empty text when they connect; `number` gets the
    // server's error number (0 for a value the window refuses before connecting).
    QString ConnectionFailure(long* number = nullptr) const;
    // The box of a failed connection: the clerk's line (what happened, what to do, then `outcome`) with
    // the warning icon, the server's number and text below it.
    void ShowFailure(const QString& failure, long number, const QString& outcome) const;

    QLineEdit* m_txtHost = nullptr;
    QSpinBox* m_txtPort = nullptr;
    QLineEdit* m_txtDatabase = nullptr;
    QLineEdit* m_txtUser = nullptr;
    QLineEdit* m_txtPassword = nullptr;
    QPushButton* m_btnTest = nullptr;
    QPushButton* m_btnSave = nullptr;
};

// Shows the connection window; true when the connection was tested and written, false when the user
// closed it (the program then ends).
bool AskServerConnection();
