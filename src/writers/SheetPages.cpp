#include "writers/SheetPages.h"

#include "base/Failure.h"

#include <QFontMetricsF>
#include <QPageLayout>

namespace {

constexpr qreal marginMm = 15;
constexpr qreal titleGap = 16; // below the title
constexpr qreal footerHeight = 20;
constexpr qreal titlePoints = 18;
constexpr qreal footerPoints = 8;

// The title as one line: a control character or line break (a pasted "\n", an escape) becomes a
// space, so that neither the page nor the PDF's metadata, which viewers show, holds one.
QString oneLine(const QString& text) {
    QString line = text;
    for (QChar& c : line) {
        if (c.category() == QChar::Other_Control || c == QChar::LineSeparator ||
            c == QChar::ParagraphSeparator)
            c = u' ';
    }
    return line;
}

} // namespace

SheetPages::SheetPages(QPageSize::PageSizeId page, const QString& title)
    : m_buffer(&m_data), m_pdf(&m_buffer), m_title(oneLine(title)) {
    m_buffer.open(QIODevice::WriteOnly);
    m_pdf.setResolution(pixelsPerInch);
    m_pdf.setCreator(QStringLiteral("Strumvane"));
    m_pdf.setTitle(m_title);
    const QPageLayout layout(QPageSize(page), QPageLayout::Portrait,
                             QMarginsF(marginMm, marginMm, marginMm, marginMm),
                             QPageLayout::Millimeter);
    m_pdf.setPageLayout(layout);
    if (!m_painter.begin(&m_pdf))
        throw Failure(75, QStringLiteral("Path/File access error"));
    const QRect paint = layout.paintRectPixels(pixelsPerInch);
    m_content = QRectF(0, 0, paint.width(), paint.height() - footerHeight);
    const QFontMetricsF titleMetrics(font(titlePoints, true), &m_pdf);
    m_titleHeight = m_title.isEmpty() ? 0 : titleMetrics.height() + titleGap;
    // A title wider than the page ends in an ellipsis rather than at the margin.
    m_shownTitle = titleMetrics.elidedText(m_title, Qt::ElideRight, m_content.width());
    m_body = QRectF(0, m_titleHeight, m_content.width(), m_content.height() - m_titleHeight);
}

void SheetPages::beginPage(int page, int pages) {
    if (page > 0)
        m_pdf.newPage();
    m_painter.setPen(Qt::black);
    if (!m_title.isEmpty()) {
        m_painter.setFont(font(titlePoints, true));
        m_painter.drawText(QRectF(0, 0, m_content.width(), m_titleHeight - titleGap),
                           Qt::AlignLeft | Qt::AlignVCenter | Qt::TextSingleLine, m_shownTitle);
    }
    if (pages > 1) {
        m_painter.setFont(font(footerPoints, false));
        m_painter.drawText(
            QRectF(0, m_content.bottom(), m_content.width(), footerHeight),
            Qt::AlignRight | Qt::AlignBottom,
            QStringLiteral("%1 / %2").arg(QString::number(page + 1), QString::number(pages)));
    }
}

QByteArray SheetPages::finish() {
    if (m_painter.isActive())
        m_painter.end();
    m_buffer.close();
    return m_data;
}

QFont SheetPages::font(qreal points, bool bold) {
    QFont font(QStringLiteral("Arial"));
    font.setStyleHint(QFont::SansSerif);
    font.setPointSizeF(points);
    font.setBold(bold);
    return font;
}
