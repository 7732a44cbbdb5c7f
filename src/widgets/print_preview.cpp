#include "widgets/print_preview.h"

#include <QComboBox>
#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QGuiApplication>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QPainter>
#include <QPushButton>
#include <QScreen>
#include <QScrollArea>
#include <QSignalBlocker>
#include <QStandardPaths>
#include <QVBoxLayout>

namespace {

constexpr double kScreenDpi = 96;
constexpr double kMmPerInch = 25.4;
constexpr int kZoomSteps[] = {50, 75, 100, 125, 150, 200};

}  // namespace

frmPrintPreview::frmPrintPreview(int pageCount, double paperWidthMm, double paperHeightMm, PaintPage paint,
                                 PrintPages print, SavePdf savePdf, QWidget* parent)
    : QDialog(parent),
      m_pageCount(pageCount),
      m_paperWidthMm(paperWidthMm),
      m_paperHeightMm(paperHeightMm),
      m_paint(std::move(paint)),
      m_print(std::move(print)),
      m_savePdf(std::move(savePdf)) {
    setObjectName(QStringLiteral("frmPrintPreview"));
    setWindowTitle(QStringLiteral("미리보기"));

    m_btnPrev = new QPushButton(QStringLiteral("◀ 이전"), this);
    m_btnPrev->setObjectName(QStringLiteral("btnPrev"));
    m_btnNext = new QPushButton(QStringLiteral("다음 ▶"), this);
    m_btnNext->setObjectName(QStringLiteral("btnNext"));
    m_lblPage = new QLabel(this);
    m_lblPage->setObjectName(QStringLiteral("lblPage"));
    m_lblPage->setMinimumWidth(80);
    m_lblPage->setAlignment(Qt::AlignCenter);
    m_cmbZoom = new QComboBox(this);
    m_cmbZoom->setObjectName(QStringLiteral("cmbZoom"));
    for (int step : kZoomSteps) m_cmbZoom->addItem(QString::number(step) + QLatin1Char('%'), step);
    m_cmbZoom->setCurrentIndex(2);
    m_btnPrint = new QPushButton(QStringLiteral("인쇄"), this);
    m_btnPrint->setObjectName(QStringLiteral("btnPrint"));
    m_btnSavePdf = new QPushButton(QStringLiteral("PDF 저장"), this);
    m_btnSavePdf->setObjectName(QStringLiteral("btnSavePdf"));
    m_btnClose = new QPushButton(QStringLiteral("닫기"), this);
    m_btnClose->setObjectName(QStringLiteral("btnClose"));

    auto* bar = new QHBoxLayout;
    bar->addWidget(m_btnPrev);
    bar->addWidget(m_lblPage);
    bar->addWidget(m_btnNext);
    bar->addSpacing(12);
    bar->addWidget(m_cmbZoom);
    bar->addStretch();
    bar->addWidget(m_btnPrint);
    bar->addWidget(m_btnSavePdf);
    bar->addWidget(m_btnClose);

    m_canvas = new QLabel;
    m_canvas->setAlignment(Qt::AlignCenter);
    m_scroll = new QScrollArea(this);
    m_scroll->setObjectName(QStringLiteral("scrPage"));
    m_scroll->setAlignment(Qt::AlignCenter);
    m_scroll->setBackgroundRole(QPalette::Dark);
    m_scroll->setWidget(m_canvas);

    auto* layout = new QVBoxLayout(this);
    layout->addLayout(bar);
    layout->addWidget(m_scroll, 1);
    // Never taller or wider than the screen's free area (less room for the window frame): a window whose
    // foot lies below the screen hides the page's foot and the scroll bar that would reach it.
    QSize size(900, 1000);
    if (const QScreen* screen = parent ? parent->screen() : QGuiApplication::primaryScreen())
        size = size.boundedTo(screen->availableGeometry().size() - QSize(16, 48));
    resize(size);
    // The keys of paging, wherever the focus is in the window: its widgets would take them otherwise (the
    // scroll area scrolls with them).
    installEventFilter(this);
    for (QWidget* child : findChildren<QWidget*>()) child->installEventFilter(this);

    connect(m_btnPrev, &QPushButton::clicked, this, [this] { showPage(m_page - 1); });
    connect(m_btnNext, &QPushButton::clicked, this, [this] { showPage(m_page + 1); });
    connect(m_cmbZoom, &QComboBox::currentIndexChanged, this,
            [this](int index) { setZoom(m_cmbZoom->itemData(index).toDouble()); });
    connect(m_btnPrint, &QPushButton::clicked, this, [this] {
        if (m_print && m_print()) accept();
    });
    connect(m_btnSavePdf, &QPushButton::clicked, this, &frmPrintPreview::onSavePdf);
    connect(m_btnClose, &QPushButton::clicked, this, &QDialog::reject);
    render();
}

bool frmPrintPreview::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::KeyPress) {
        const auto* key = static_cast<QKeyEvent*>(event);
        if (key->modifiers() == Qt::NoModifier &&
            (key->key() == Qt::Key_PageDown || key->key() == Qt::Key_PageUp)) {
            showPage(m_page + (key->key() == Qt::Key_PageDown ? 1 : -1));
            return true;
        }
    }
    return QDialog::eventFilter(watched, event);
}

void frmPrintPreview::showPage(int page) {
    if (m_pageCount <= 0) return;
    m_page = std::clamp(page, 0, m_pageCount - 1);
    render();
}

void frmPrintPreview::setZoom(double percent) {
    if (percent <= 0) return;
    m_zoom = percent;
    const int index = m_cmbZoom->findData(percent);
    if (index >= 0 && index != m_cmbZoom->currentIndex()) {
        const QSignalBlocker quiet(m_cmbZoom);
        m_cmbZoom->setCurrentIndex(index);
    }
    render();
}

void frmPrintPreview::render() {
    m_btnPrev->setEnabled(m_page > 0);
    m_btnNext->setEnabled(m_page + 1 < m_pageCount);
    m_btnPrint->setEnabled(m_pageCount > 0);
    m_btnSavePdf->setEnabled(m_pageCount > 0);
    m_lblPage->setText(m_pageCount > 0 ? QString::number(m_page + 1) + QStringLiteral(" / ") +
                                             QString::number(m_pageCount)
                                       : QStringLiteral("0 / 0"));
    // The paper at the zoom's resolution, scaled for the screen's device pixels so it stays sharp.
    const double ratio = devicePixelRatioF();
    const double dpi = kScreenDpi * m_zoom / 100 * ratio;
    const double pixelsPerMm = dpi / kMmPerInch;
    m_image = QImage(qRound(m_paperWidthMm * pixelsPerMm), qRound(m_paperHeightMm * pixelsPerMm),
                     QImage::Format_RGB32);
    const int dotsPerMeter = qRound(dpi / 0.0254);
    m_image.setDotsPerMeterX(dotsPerMeter);
    m_image.setDotsPerMeterY(dotsPerMeter);
    m_image.fill(Qt::white);
    if (m_pageCount > 0 && m_paint) {
        QPainter painter(&m_image);
        painter.setRenderHint(QPainter::Antialiasing);
        painter.setRenderHint(QPainter::TextAntialiasing);
        m_paint(painter, m_page);
    }
    QPixmap pixmap = QPixmap::fromImage(m_image);
    pixmap.setDevicePixelRatio(ratio);
    m_canvas->setPixmap(pixmap);
    m_canvas->resize(pixmap.deviceIndependentSize().toSize());
}

void frmPrintPreview::onSavePdf() {
    // The widget dialog of Qt, so that it speaks the program's language (Korean) on every desktop.
    QFileDialog dialog(this, QStringLiteral("PDF 저장"));
    dialog.setObjectName(QStringLiteral("dlgSavePdf"));
    dialog.setOption(QFileDialog::DontUseNativeDialog);
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    dialog.setNameFilter(QStringLiteral("PDF (*.pdf)"));
    dialog.setDefaultSuffix(QStringLiteral("pdf"));
    // The documents folder, or the home folder where the desktop made none.
    const QString documents = QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation);
    dialog.setDirectory(QFileInfo(documents).isDir() ? documents : QDir::homePath());
    if (!m_suggestedPdfName.isEmpty()) dialog.selectFile(m_suggestedPdfName);
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty() || !m_savePdf) return;
    const QString path = dialog.selectedFiles().constFirst();
    m_savePdf(path.endsWith(QStringLiteral(".pdf"), Qt::CaseInsensitive) ? path
                                                                         : path + QStringLiteral(".pdf"));
}
