#include "labels/label_preview.h"

#include "platform/cp949.h"

#include <QFont>
#include <QFontMetricsF>
#include <QHBoxLayout>
#include <QLabel>
#include <QPainter>
#include <QPushButton>
#include <QVBoxLayout>

namespace label_preview {

namespace {

// The parameters of a command line: numbers and words up to a comma, quoted texts with \["] standing
// for a double quote. Blanks around a parameter do not count.
QStringList parameters(QStringView args) {
    QStringList out;
    qsizetype i = 0;
    const qsizetype n = args.size();
    while (i <= n) {
        while (i < n && args[i] == QLatin1Char(' ')) ++i;
        QString value;
        if (i < n && args[i] == QLatin1Char('"')) {
            ++i;
            while (i < n && args[i] != QLatin1Char('"')) {
                if (args.mid(i).startsWith(QStringLiteral("\\[\"]"))) {
                    value += QLatin1Char('"');
                    i += 4;
                } else {
                    value += args[i++];
                }
            }
            ++i;  // the closing quote
            while (i < n && args[i] != QLatin1Char(',')) ++i;
        } else {
            const qsizetype start = i;
            while (i < n && args[i] != QLatin1Char(',')) ++i;
            value = args.mid(start, i - start).trimmed().toString();
        }
        out << value;
        ++i;  // the comma
    }
    return out;
}

// "80 mm" -> 80.
double millimetres(const QString& text) {
    return QString(text).remove(QStringLiteral("mm")).trimmed().toDouble();
}

}  // namespace

QList<Label> Interpret(const QByteArray& commands, QStringList* unknown) {
    QList<Label> labels;
    Label current;
    const QString text = cp949::decode(commands);
    for (QString line : text.split(QLatin1Char('\n'))) {
        if (line.endsWith(QLatin1Char('\r'))) line.chop(1);
        const QString trimmed = line.trimmed();
        if (trimmed.isEmpty()) continue;
        const qsizetype blank = trimmed.indexOf(QLatin1Char(' '));
        const QString word = (blank < 0 ? trimmed : trimmed.left(blank)).toUpper();
        const QStringView args = blank < 0 ? QStringView() : QStringView(trimmed).mid(blank + 1);
        if (word == QLatin1String("SIZE")) {
            const QStringList p = parameters(args);
            current.widthMm = millimetres(p.value(0));
            current.heightMm = millimetres(p.value(1));
        } else if (word == QLatin1String("CLS")) {
            current.texts.clear();
        } else if (word == QLatin1String("TEXT")) {
            const QStringList p = parameters(args);
            TextItem item;
            item.x = p.value(0).toDouble();
            item.y = p.value(1).toDouble();
            item.font = p.value(2);
            item.rotation = p.value(3).toInt();
            item.xMultiplier = qMax(1, p.value(4).toInt());
            item.yMultiplier = qMax(1, p.value(5).toInt());
            item.text = p.value(6);
            current.texts << item;
        } else if (word == QLatin1String("PRINT")) {
            Label printed = current;
            printed.copies = qMax(1, parameters(args).value(0).toInt());
            labels << printed;
        } else if (word == QLatin1String("GAP") || word == QLatin1String("HOME") ||
                   word == QLatin1String("DENSITY") || word == QLatin1String("SPEED") ||
                   word == QLatin1String("DIRECTION") || word == QLatin1String("REFERENCE") ||
                   word == QLatin1String("SET") || word.startsWith(QLatin1Char('@'))) {
            // Media and counter settings: nothing to draw.
        } else if (unknown) {
            *unknown << trimmed;
        }
    }
    return labels;
}

QImage Render(const Label& label) {
    const int width = qMax(1, int(label.widthMm * kDotsPerMm));
    const int height = qMax(1, int(label.heightMm * kDotsPerMm));
    QImage image(width, height, QImage::Format_RGB32);
    image.fill(Qt::white);
    QPainter painter(&image);
    painter.setPen(Qt::black);
    for (const TextItem& item : label.texts) {
        // The printer's Korean font is monospaced: a Hangul syllable square, a Latin letter half as wide.
        QFont font(QStringLiteral("굴림체"));
        font.setPixelSize(kFontDots * item.yMultiplier);
        font.setStretch(100 * item.xMultiplier / item.yMultiplier);
        painter.setFont(font);
        const QFontMetricsF metrics(font);
        painter.save();
        painter.translate(item.x, item.y);
        painter.rotate(item.rotation);
        painter.drawText(QPointF(0, metrics.ascent()), item.text);
        painter.restore();
    }
    return image;
}

}  // namespace label_preview

LabelPreviewDialog::LabelPreviewDialog(const QByteArray& setup, const QList<QByteArray>& labels,
                                       QWidget* parent)
    : QDialog(parent) {
    setObjectName(QStringLiteral("LabelPreview"));
    setWindowTitle(QStringLiteral("라벨 미리보기"));
    // Each label is read after the setup, as the printer reads it.
    for (const QByteArray& block : labels)
        for (const label_preview::Label& label : label_preview::Interpret(setup + block))
            m_pages << label_preview::Render(label);

    m_image = new QLabel(this);
    m_image->setObjectName(QStringLiteral("labelImage"));
    m_image->setFrameShape(QFrame::Box);
    m_image->setAlignment(Qt::AlignCenter);
    m_pageText = new QLabel(this);
    m_pageText->setAlignment(Qt::AlignCenter);
    m_btnPrev = new QPushButton(QStringLiteral("◀ 이전"), this);
    m_btnNext = new QPushButton(QStringLiteral("다음 ▶"), this);
    auto* close = new QPushButton(QStringLiteral("닫기"), this);
    connect(m_btnPrev, &QPushButton::clicked, this, [this] { showPage(m_page - 1); });
    connect(m_btnNext, &QPushButton::clicked, this, [this] { showPage(m_page + 1); });
    connect(close, &QPushButton::clicked, this, &QDialog::accept);

    auto* buttons = new QHBoxLayout;
    buttons->addWidget(m_btnPrev);
    buttons->addWidget(m_pageText, 1);
    buttons->addWidget(m_btnNext);
    buttons->addSpacing(20);
    buttons->addWidget(close);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(m_image, 1);
    layout->addLayout(buttons);
    showPage(0);
}

void LabelPreviewDialog::showPage(int page) {
    if (m_pages.isEmpty()) {
        m_pageText->setText(QStringLiteral("0 / 0"));
        m_btnPrev->setEnabled(false);
        m_btnNext->setEnabled(false);
        return;
    }
    m_page = qBound(0, page, int(m_pages.size()) - 1);
    m_image->setPixmap(QPixmap::fromImage(m_pages.at(m_page)));
    m_pageText->setText(QStringLiteral("%1 / %2").arg(m_page + 1).arg(m_pages.size()));
    m_btnPrev->setEnabled(m_page > 0);
    m_btnNext->setEnabled(m_page + 1 < m_pages.size());
}
