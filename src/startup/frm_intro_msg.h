#pragma once

#include <QDialog>

class QCheckBox;
class QLabel;
class QPushButton;

// The intro notice shown once after a login: a notice picture delivered with the program
// (SoftwareInfoMsg.jpg in the picture folder, app_paths::imageFolder()) and the choice to never show it
// again, which is kept as AppTitle / "Config" / "NoMsg" = "1". Without the picture the window shows its
// controls only.
class frmIntroMsg : public QDialog {
    Q_OBJECT
public:
    explicit frmIntroMsg(QWidget* parent = nullptr);

    // The picture file the window shows when it exists.
    static QString PicturePath();
    // Whether the login should show the notice: "NoMsg" reads "0" (its default).
    static bool ShouldShow();

    QPushButton* btnClose() const { return m_btnClose; }
    QCheckBox* Check1() const { return m_check1; }
    bool HasPicture() const { return m_hasPicture; }

protected:
    // Keys do nothing here: not even Escape closes the notice.
    void keyPressEvent(QKeyEvent* event) override;

private:
    void onCheck1Clicked();

    QLabel* m_picture = nullptr;
    QPushButton* m_btnClose = nullptr;
    QCheckBox* m_check1 = nullptr;
    QPushButton* m_command = nullptr;
    bool m_hasPicture = false;
};
