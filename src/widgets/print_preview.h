#pragma once

#include <QDialog>
#include <QImage>

#include <functional>

class QComboBox;
class QLabel;
class QPainter;
class QPushButton;
class QScrollArea;

// The preview window ("미리보기") of a printed document: its pages as they come out on paper, with zoom,
// paging, printing and saving as PDF. It draws nothing itself: the owner hands it a function that paints
// a page on a painter (an image of the paper at the zoom's resolution) and the commands to run for
// "인쇄" and "PDF 저장".
class frmPrintPreview : public QDialog {
    Q_OBJECT

public:
    using PaintPage = std::function<void(QPainter& painter, int page)>;
    // Runs the print command for the previewed pages; true closes the preview.
    using PrintPages = std::function<bool()>;
    // Saves the pages as one PDF file at the path chosen by the user.
    using SavePdf = std::function<void(const QString& path)>;

    frmPrintPreview(int pageCount, double paperWidthMm, double paperHeightMm, PaintPage paint,
                    PrintPages print, SavePdf savePdf, QWidget* parent = nullptr);

    int pageCount() const { return m_pageCount; }
    int currentPage() const { return m_page; }  // 0-based
    void showPage(int page);
    // Zoom in percent of the paper's real size on a 96-dpi screen.
    double zoom() const { return m_zoom; }
    void setZoom(double percent);
    // The page as shown now.
    QImage pageImage() const { return m_image; }
    // The file name "PDF 저장" suggests, in the user's documents folder ("주문서_라벤청과_2030-05-12.pdf").
    void setSuggestedPdfName(const QString& name) { m_suggestedPdfName = name; }

    QPushButton* btnPrev() const { return m_btnPrev; }
    QPushButton* btnNext() const { return m_btnNext; }
    QPushButton* btnPrint() const { return m_btnPrint; }
    QPushButton* btnSavePdf() const { return m_btnSavePdf; }
    QComboBox* cmbZoom() const { return m_cmbZoom; }
    QLabel* lblPage() const { return m_lblPage; }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void render();
    void onSavePdf();

    int m_pageCount;
    double m_paperWidthMm;
    double m_paperHeightMm;
    PaintPage m_paint;
    PrintPages m_print;
    SavePdf m_savePdf;
    QString m_suggestedPdfName;
    int m_page = 0;
    double m_zoom = 100;
    QImage m_image;

    QPushButton* m_btnPrev = nullptr;
    QPushButton* m_btnNext = nullptr;
    QLabel* m_lblPage = nullptr;
    QComboBox* m_cmbZoom = nullptr;
    QPushButton* m_btnPrint = nullptr;
    QPushButton* m_btnSavePdf = nullptr;
    QPushButton* m_btnClose = nullptr;
    QScrollArea* m_scroll = nullptr;
    QLabel* m_canvas = nullptr;
};
