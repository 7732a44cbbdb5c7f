// The resize rules of the main window, in twips.
#include "orders/frm_main.h"

#include "widgets/form_helpers.h"
#include "widgets/spread_grid.h"

#include <QFrame>
#include <QPushButton>

void frmMain::Form_Resize() {
    const auto client =
        LayoutTopPanel(this, m_pnlTop0, {m_btnClose, m_btnExcel, m_btnPrint, m_btnLabelPrint, m_btnQuery});
    if (!client) return;
    const int width = client->width;
    const int height = client->height;

    SetWidthWithInner(m_pnlTop2, width);
    PlacePrintButtons(width);

    // The order lines and totals keep their left edge; the direction list takes the rest.
    const int linesWidth = width - twipsLeft(m_spList) - 60;
    m_spList->resize(twipsToPixels(linesWidth, this), m_spList->height());
    m_spListG->resize(twipsToPixels(linesWidth, this), m_spListG->height());
    m_spListO->resize(twipsToPixels(width - linesWidth - 150, this), m_spListO->height());

    // The totals' visibility is their own flag: the window itself may not be shown yet.
    SetHeightToBottom(m_pnlTop2, height, m_spList, m_spListG->isHidden() ? nullptr : m_spListG);
    SetHeightToBottom(m_pnlTop2, height, m_spListO);
}
