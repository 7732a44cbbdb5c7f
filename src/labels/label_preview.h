#pragma once

#include <QByteArray>
#include <QDialog>
#include <QImage>
#include <QList>
#include <QString>

class QLabel;
class QPushButton;

// The label preview: a small interpreter of the printer commands the label window sends (SIZE, CLS,
// TEXT in the font "K" with its multipliers, PRINT; the other setup commands are accepted and change
// nothing that is drawn), so what the preview shows is drawn from the very bytes the printer gets.
namespace label_preview {

// One TEXT command: top-left in dots, multipliers, the text with its escapes resolved.
struct TextItem {
    double x = 0;
    double y = 0;
    QString font;
    int rotation = 0;
    int xMultiplier = 1;
    int yMultiplier = 1;
    QString text;
};

// One printed label: its size from the last SIZE command and what the buffer held at PRINT.
struct Label {
    double widthMm = 0;
    double heightMm = 0;
    int copies = 1;
    QList<TextItem> texts;
};

// Reads code page 949 command bytes; a label for every PRINT. Commands it does not know go to `unknown`.
QList<Label> Interpret(const QByteArray& commands, QStringList* unknown = nullptr);

// The dots of the printer: 8 per millimetre (203 dpi); the font "K" is 24 dots high at multiplier 1.
inline constexpr int kDotsPerMm = 8;
inline constexpr int kFontDots = 24;

// The label drawn at one pixel per dot: white, black text.
QImage Render(const Label& label);

}  // namespace label_preview

// The preview window "라벨 미리보기": one label at a time at the printer's resolution, paging with
// 이전/다음. Nothing is sent and nothing is marked.
class LabelPreviewDialog : public QDialog {
    Q_OBJECT

public:
    // `setup`: the setup block; `labels`: one label block each, as they would be sent.
    LabelPreviewDialog(const QByteArray& setup, const QList<QByteArray>& labels, QWidget* parent = nullptr);

    int pageCount() const { return int(m_pages.size()); }
    int currentPage() const { return m_page; }  // 0-based
    void showPage(int page);
    const QImage& pageImage(int page) const { return m_pages.at(page); }
    QPushButton* btnPrev() const { return m_btnPrev; }
    QPushButton* btnNext() const { return m_btnNext; }

private:
    QList<QImage> m_pages;
    int m_page = 0;
    QLabel* m_image = nullptr;
    QLabel* m_pageText = nullptr;
    QPushButton* m_btnPrev = nullptr;
    QPushButton* m_btnNext = nullptr;
};
