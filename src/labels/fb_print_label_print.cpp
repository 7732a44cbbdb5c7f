// The label window's printing: the port routines, the setup and label blocks, the print command with its
// progress, the preview and the port choice.
#include "labels/fb_print_label.h"

#include "common/msgbox.h"
#include "common/text_helpers.h"
#include "grid/spread_helpers.h"
#include "labels/label_preview.h"
#include "labels/port_chooser.h"
#include "platform/app_error.h"
#include "platform/dialogs.h"
#include "widgets/progress_box.h"
#include "widgets/spread_grid.h"

#include <memory>

namespace {

// The report of the port routines, one plain box.
void reportPortFault(const char* procedure, long number, const QString& description) {
    const QString name = QString::fromLatin1(procedure);
    ShowProcError(name, QStringLiteral("FrmProd_prnbar"), AppError(number, name, description),
                  ProcOwner::Form);
}

}  // namespace

// The stored target: a print queue or a network printer when the user chose one, otherwise the port named
// by the port type, exactly as before those existed.
bool fBPrintLabel::Print_PortOpen() {
    const label_port::Target target = label_port::StoredTarget();
    const int timeoutMs = label_port::StoredTimeoutMs();
    bool opened = false;
    if (target.kind == label_port::Kind::Queue) {
        opened = m_port.openQueue(target.queue, timeoutMs);
    } else if (target.kind == label_port::Kind::Network) {
        opened = m_port.openNetwork(target.host, target.netPort, timeoutMs);
    } else {
        short type = 0;
        if (!label_port::StoredPortType(&type)) {
            reportPortFault(
                "Print_PortOpen", 13,
                QStringLiteral("Type mismatch: PORTTYPE \"%1\"").arg(label_port::StoredPortTypeText()));
            return false;
        }
        m_portType = type;
        opened = m_port.open(label_port::PortName(m_portType));
    }
    if (opened) return true;
    reportPortFault("Print_PortOpen", m_port.lastFailure().number, m_port.lastFailure().description);
    return false;
}

bool fBPrintLabel::Print_Barcode(const QString& block) {
    // The parallel port was written with a text output statement, which ends the block with CR LF.
    QByteArray bytes = label_commands::Encode(block);
    if (m_port.kind() == label_port::Kind::Device && label_port::IsParallel(m_port.portName()))
        bytes += "\r\n";
    if (m_port.write(bytes, label_port::StoredTimeoutMs())) return true;
    reportPortFault("Print_Barcode", m_port.lastFailure().number, m_port.lastFailure().description);
    return false;
}

// A print queue's job is handed to the printer here; a queue that refuses it is reported.
void fBPrintLabel::Print_PortClose() {
    if (m_port.close()) return;
    reportPortFault("Print_PortClose", m_port.lastFailure().number, m_port.lastFailure().description);
}

bool fBPrintLabel::SendLabelSetup() {
    return Print_Barcode(label_commands::LabelSetupBlock());
}

label_commands::LabelTexts fBPrintLabel::RowTexts(int row) const {
    label_commands::LabelTexts texts;
    for (int i = 0; i < label_commands::kFieldCount; ++i)
        texts[size_t(i)] = GetSpreadText(m_spList, FieldCol(i), row);
    return texts;
}

bool fBPrintLabel::SendLabel(int row) {
    return Print_Barcode(label_commands::LabelBlock(RowTexts(row)));
}

QList<int> fBPrintLabel::PrintableRows() const {
    QList<int> rows;
    for (int row = 1; row <= m_spList->maxRows(); ++row) {
        if (LeadingNumber(m_spList->text(kCheckCol, row)) != 1) continue;
        for (int col = kFirstTextCol; col <= m_spList->maxCols(); ++col) {
            if (!m_spList->text(col, row).isEmpty()) {
                rows << row;
                break;
            }
        }
    }
    return rows;
}

void fBPrintLabel::PrintCheckedRows() {
    if (ShowQuestionMsg(QStringLiteral("정말 인쇄 하시겠습니까?"), QString(), false) != kYes) return;
    WaitCursor wait;
    if (m_spList->maxRows() < 2) return;
    bool anyChecked = false;
    for (int row = 1; row <= m_spList->maxRows() && !anyChecked; ++row)
        anyChecked = LeadingNumber(m_spList->text(kCheckCol, row)) == 1;
    if (!anyChecked) CheckActiveRow();
    const QList<int> rows = PrintableRows();
    if (rows.isEmpty()) {
        ShowInfoMsg(QStringLiteral("출력할 내용이 없습니다."));
        return;
    }
    PrintRows(rows);
}

void fBPrintLabel::PrintRows(const QList<int>& rows) {
    if (!Print_PortOpen()) return;
    if (!SendLabelSetup()) {
        Print_PortClose();
        return;
    }
    std::unique_ptr<ProgressBox> progress;
    if (rows.size() > kProgressAbove)
        progress = std::make_unique<ProgressBox>(QStringLiteral("라벨을 보내고 있습니다..."),
                                                 QStringLiteral("라벨출력"), QStringLiteral("labelProgress"),
                                                 int(rows.size()), this);
    // A label on a port or a network printer is printed once the printer took it; on a print queue the
    // labels print only when the job is complete, so they turn grey when the queue has taken the job.
    const bool wholeJob = m_port.kind() == label_port::Kind::Queue;
    QList<int> sent;
    for (int row : rows) {
        if (progress && progress->cancelled()) break;
        if (!SendLabel(row)) {
            if (wholeJob) sent.clear();  // the incomplete job is cancelled
            break;
        }
        if (!wholeJob) m_spList->setForeColor(-1, row, PrintedColor());
        sent << row;
        if (progress) progress->step(int(sent.size()));
    }
    Print_PortClose();
    if (wholeJob && m_port.jobId() != 0)
        for (int row : sent) m_spList->setForeColor(-1, row, PrintedColor());
}

void fBPrintLabel::PreviewCheckedRows() {
    QList<QByteArray> labels;
    for (int row : PrintableRows())
        labels << label_commands::Encode(label_commands::LabelBlock(RowTexts(row)));
    if (labels.isEmpty()) {
        ShowInfoMsg(QStringLiteral("출력할 내용이 없습니다."));
        return;
    }
    LabelPreviewDialog preview(label_commands::Encode(label_commands::LabelSetupBlock()), labels, this);
    preview.exec();
}

void fBPrintLabel::ChoosePort() {
    PortChooser chooser(this);
    chooser.exec();
}
