#pragma once

#include <QBuffer>
#include <QByteArray>
#include <QFont>
#include <QPageSize>
#include <QPainter>
#include <QPdfWriter>
#include <QRectF>
#include <QString>

// The pages of a printed sheet: a PDF of portrait pages with 15 mm margins, drawn in pixels of
// 1/96 inch from the top-left corner inside the margins, with the sheet's title at the top of
// every page and "2 / 3" at the foot when there is more than one page. What goes on the pages
// is the caller's: it draws into body() on painter().
class SheetPages {
public:
    static constexpr int pixelsPerInch = 96;

    // Starts the PDF, `title` on one line (a control character or line break becomes a space)
    // in the page and in the PDF's metadata; on the page it ends in "…" where it is wider than
    // the page. Throws Failure(75, "Path/File access error") when it cannot be painted.
    SheetPages(QPageSize::PageSizeId page, const QString& title);
    SheetPages(const SheetPages&) = delete;
    SheetPages& operator=(const SheetPages&) = delete;

    // The area under the title and above the foot, in pixels of 1/96 inch.
    QRectF body() const { return m_body; }
    QPainter& painter() { return m_painter; }

    // Begins page `page` (0-based) of `pages`: a new page after the first, the title and the
    // page number drawn.
    void beginPage(int page, int pages);

    // Ends the PDF and gives its content.
    QByteArray finish();

    // The sheets' text face (Arial, or the sans-serif face that stands in for it).
    static QFont font(qreal points, bool bold);

private:
    QByteArray m_data;
    QBuffer m_buffer;
    QPdfWriter m_pdf;
    QPainter m_painter;
    QString m_title;      // on one line, as the metadata has it
    QString m_shownTitle; // as the page shows it, with an ellipsis where it is too wide
    QRectF m_content;     // inside the margins, above the foot
    QRectF m_body;
    qreal m_titleHeight = 0;
};
