#pragma once

#include "grid/form_ini.h"
#include "labels/label_commands.h"
#include "labels/label_sink.h"
#include "orderdata/label_rows.h"

#include <QList>
#include <QWidget>

#include <cstdint>
#include <memory>
#include <optional>
#include <utility>

class QCheckBox;
class QComboBox;
class QFrame;
class QLabel;
class QLineEdit;
class QPushButton;
class SpreadGrid;

using orderdata::LabelDate;
// Today as the labels write it.
QString TodayLabelDate();

// The label list window "라벨출력": one grid row per product label. The main window's label command hands
// it order lines through AddNewData and shows it modally; here the user checks, edits,
// copies and deletes rows, exports the grid, previews the checked labels and prints them on the thermal
// label printer. Nothing typed here goes back to the database.
//
// The grid's last row is the blank entry row for typing a new label: the commands leave it out or take it
// away before their work and add it again afterwards (AddBlankRow).
class fBPrintLabel : public QWidget {
    Q_OBJECT

public:
    // The grid's columns, numbered from 1 as the grid addresses them; the column table (headers, widths)
    // in fb_print_label.cpp follows this order. 1 is the check mark ("1" = checked), 2 to 11 are the
    // label's texts in the order of label_commands::Field.
    enum LabelCol : int {
        kCheckCol = 1,
        kCustomerCol,     // 고객사
        kProductNameCol,  // 제품명
        kQuantityCol,     // 수량
        kOriginCol,       // 원산지
        kStorageCol,      // 보관방법
        kReceiveDateCol,  // 입고일
        kExpiryCol,       // 유통기한
        kVehicleCol,      // 배송차량
        kMakerCol,        // 제조사
        kRemarksCol,      // 특이사항
        kFirstTextCol = kCustomerCol,
        kLastCol = kRemarksCol
    };
    // The column of a label text.
    static constexpr int FieldCol(int field) { return kFirstTextCol + field; }
    static constexpr int kRemarksMaxLength = 100;
    // Printing more labels than this shows a progress window with a cancel button.
    static constexpr int kProgressAbove = 3;

    // Builds the window and runs its load steps: design size, styling, stored position, the empty grid
    // and the column list.
    explicit fBPrintLabel(QWidget* parent = nullptr);
    ~fBPrintLabel() override;

    // Appends the label rows of the order line (one, or several when the product's label unit splits the
    // quantity; see orderdata::MakeLabelRows). nRow -2: write into the row this call appends; on return,
    // the last row written. Database errors reach the caller.
    void AddNewData(const orderdata::LabelOrderLine& line, std::int32_t& nRow);
    int GET_PNAME() const { return 3; }
    // Appends the blank entry row (its receiving date taken from the row above, today on an empty grid)
    // and puts the cursor in its column 2. The label command ends its loading with it.
    void AddBlankRow();

    // --- the commands of the buttons ---
    void CopyToCheckedRows();                // btnCopy 일괄복사
    void CheckAllRows(bool checked);         // chkAll 전체선택
    void CopyCheckedRows();                  // btnRowCopy 줄복사
    void DeleteCheckedRows();                // btnRecDel 삭제 F4
    void DeletePrintedRows();                // btnRecDelPrint 인쇄삭제
    void PrintCheckedRows();                 // btnPrint 인쇄 F7
    void ExportGrid();                       // btnExcel 엑셀 F8
    void SetBlockSelection(bool blockMode);  // btnBlock 블럭 (down: block selection)
    void PreviewCheckedRows();               // btnPreview 미리보기
    void ChoosePort();                       // btnPort 포트
    // Toggles the check of one row: "1" becomes empty, anything else "1".
    void ToggleCheck(int row);

    // --- the label printer ---
    // Opens the stored label printer connection; a failure is reported once (device and reason).
    bool Print_PortOpen();
    // Sends one block; a failed write is reported and ends the run.
    bool Print_Barcode(const QString& block);
    // Ends the run on the connection; false (reported) when the printer refused what was sent.
    bool Print_PortClose();
    bool SendLabelSetup();
    // Sends the label of a grid row (columns 2 to 11).
    bool SendLabel(int row);
    // The ten texts of a grid row.
    label_commands::LabelTexts RowTexts(int row) const;
    // The rows the print command sends: checked (numeric value 1) and with text in a column from 2 to 11,
    // in grid order.
    QList<int> PrintableRows() const;
    // The port type read at the last opening (0 parallel, n COMn).
    int PortType() const { return m_portType; }

    // The text colour of rows that went to the printer; 인쇄삭제 removes them.
    static QColor PrintedColor() { return QColor(150, 150, 150); }

    SpreadGrid* spList() const { return m_spList; }
    QCheckBox* chkAll() const { return m_chkAll; }
    QComboBox* hcField() const { return m_hcField; }
    QLineEdit* htField() const { return m_htField; }
    QPushButton* btnClose() const { return m_btnClose; }
    QPushButton* btnExcel() const { return m_btnExcel; }
    QPushButton* btnPrint() const { return m_btnPrint; }
    QPushButton* btnRecDel() const { return m_btnRecDel; }
    QPushButton* btnRowCopy() const { return m_btnRowCopy; }
    QPushButton* btnRecDelPrint() const { return m_btnRecDelPrint; }
    QPushButton* btnCopy() const { return m_btnCopy; }
    QPushButton* btnBlock() const { return m_btnBlock; }
    QPushButton* btnPreview() const { return m_btnPreview; }
    QPushButton* btnPort() const { return m_btnPort; }
    QFrame* pnlTop(int index) const { return index == 0 ? m_pnlTop0 : m_pnlTop2; }

protected:
    // F4, F7 and F8 anywhere in the window: the window sees keys before its controls.
    bool eventFilter(QObject* watched, QEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void closeEvent(QCloseEvent* event) override;

private:
    void CreateControls();
    void ConnectEvents();
    void SetupGrid();
    void FillColumnList();
    void Form_Resize();
    void Form_Unload();
    void RecDelete(int row);
    void RemoveEntryRow();
    bool IsChecked(int row) const;
    void CheckActiveRow();
    void OnBlockSelected(int row1, int row2);
    // Sends the rows: port opened once, the setup once, a block per row, the port closed; each row sent
    // turns grey. Stops at a failure or a cancel between labels.
    void PrintRows(const QList<int>& rows);
    void MarkPrinted(int row);

    QFrame* m_pnlTop0 = nullptr;
    QFrame* m_pnlTop2 = nullptr;
    QCheckBox* m_chkAll = nullptr;
    QLabel* m_lblCopy = nullptr;
    QComboBox* m_hcField = nullptr;
    QLineEdit* m_htField = nullptr;
    QPushButton* m_btnClose = nullptr;
    QPushButton* m_btnExcel = nullptr;
    QPushButton* m_btnPrint = nullptr;
    QPushButton* m_btnRecDel = nullptr;
    QPushButton* m_btnRowCopy = nullptr;
    QPushButton* m_btnRecDelPrint = nullptr;
    QPushButton* m_btnCopy = nullptr;
    QPushButton* m_btnBlock = nullptr;
    QPushButton* m_btnPreview = nullptr;
    QPushButton* m_btnPort = nullptr;
    SpreadGrid* m_spList = nullptr;

    std::unique_ptr<labels::LabelSink> m_sink;  // open during a print run
    int m_portType = 1;
    // The field flags of the last buyer asked for: the label command loads every line of one direction,
    // all of the same buyer, and the buyer's row is read once for them.
    std::optional<std::pair<std::int32_t, int>> m_buyerFlags;

    FormGeometry m_geometry;  // the place and size the layout file gave at load
    bool m_loading = true;
};
