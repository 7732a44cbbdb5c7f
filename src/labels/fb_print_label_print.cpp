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

// The report of the port routines, one plain box; a wait the user cancelled needs none.
void reportPortFault(const char* procedure, const labels::SinkFailure& failure) {
    if (failure.cancelled) return;
    const QString name = QString::fromLatin1(procedure);
    ShowProcError(name, QStringLiteral("FrmProd_prnbar"), AppError(failure.number, name, failure.description),
                  ProcOwner::Form);
}

// A printer or port that would not open: what the clerk can act on first (which printer, what to check),
// in a box with the error icon, and the procedure's report below it for support.
void reportOpenFault(const labels::LabelSink& sink) {
    const labels::SinkFailure& failure = sink.failure();
    if (failure.cancelled) return;
    QString advice = sink.openAdvice();
    if (advice.isEmpty())
        advice = QStringLiteral("라벨 프린터를 열 수 없습니다. [포트] 설정이 맞는지 확인하세요.");
    ShowOutcomeMsg(advice + QStringLiteral("\r\n\r\nError ") + QString::number(failure.number) +
                       QStringLiteral(" (") + failure.description +
                       QStringLiteral(") in procedure Print_PortOpen of Form FrmProd_prnbar"),
                   QString(), true);
}

}  // namespace

// The connection of the stored target: a print queue or a network printer when the user chose one,
// otherwise the port named by the port type, exactly as before those existed.
bool fBPrintLabel::Print_PortOpen() {
    const label_settings::LabelTarget target = label_settings::Load();
    if (target.kind.isEmpty() && target.portTypeValid) m_portType = target.portType;
    m_sink = labels::MakeLabelSink(target);
    if (m_sink->open()) return true;
    reportOpenFault(*m_sink);
    m_sink.reset();
    return false;
}

bool fBPrintLabel::Print_Barcode(const QString& block) {
    if (m_sink && m_sink->write(label_commands::Encode(block))) return true;
    if (m_sink) reportPortFault("Print_Barcode", m_sink->failure());
    return false;
}

// A print queue's job is handed to the printer here; a queue that refuses it is reported.
bool fBPrintLabel::Print_PortClose() {
    if (!m_sink) return false;
    std::unique_ptr<labels::LabelSink> sink = std::move(m_sink);
    if (sink->finish()) return true;
    reportPortFault("Print_PortClose", sink->failure());
    return false;
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
    // Printed rows are unticked after their run; one ticked again is printed twice only on purpose.
    qsizetype printedBefore = 0;
    for (int row : rows) printedBefore += m_spList->foreColor(kFirstTextCol, row) == PrintedColor() ? 1 : 0;
    if (printedBefore > 0 &&
        ShowQuestionMsg(
            QStringLiteral("이미 출력한 라벨 %1장이 포함되어 있습니다. 다시 출력할까요?").arg(printedBefore),
            QString(), false) != kYes)
        return;
    PrintRows(rows);
}

void fBPrintLabel::PrintRows(const QList<int>& rows) {
    if (!Print_PortOpen()) return;
    if (!SendLabelSetup()) {
        m_sink->abort();
        m_sink.reset();
        return;
    }
    std::unique_ptr<ProgressBox> progress;
    if (rows.size() > kProgressAbove)
        progress = std::make_unique<ProgressBox>(QStringLiteral("라벨을 보내고 있습니다..."),
                                                 QStringLiteral("라벨출력"), QStringLiteral("labelProgress"),
                                                 int(rows.size()), this);
    // A label is printed once the connection has passed it on; a connection that prints only when its job
    // is complete turns its labels grey when the job was taken.
    const bool onFinish = m_sink->printsOnlyOnFinish();
    QList<int> sent;
    bool failed = false;
    for (int row : rows) {
        if (progress && progress->cancelled()) break;
        if (!SendLabel(row)) {
            failed = true;
            break;
        }
        if (!onFinish) MarkPrinted(row);
        sent << row;
        if (progress) progress->step(int(sent.size()));
    }
    if (failed) {
        m_sink->abort();
        m_sink.reset();
        return;
    }
    if (Print_PortClose() && onFinish)
        for (int row : sent) MarkPrinted(row);
}

// A printed row turns grey and loses its tick, so that the next 인쇄 does not send it again by accident.
void fBPrintLabel::MarkPrinted(int row) {
    m_spList->setForeColor(-1, row, PrintedColor());
    m_spList->setText(kCheckCol, row, QString());
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
