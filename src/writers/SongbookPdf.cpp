#include "writers/SongbookPdf.h"

#include "base/Failure.h"
#include "writers/SheetPages.h"
#include "writers/VectorChartFile.h"

#include <QFileInfo>
#include <QFontMetricsF>
#include <QPainter>
#include <QPen>
#include <algorithm>

namespace {

using Item = SongLayout::Item;
using Piece = SongLayout::Piece;

constexpr qreal contentsTitlePoints = 20;
constexpr qreal contentsPoints = 11;
constexpr qreal continuedPoints = 9;
constexpr qreal contentsRowGap = 5;    // pixels between the lines of the contents
constexpr qreal continuedGap = 10;     // under the "(continued)" line
constexpr qreal leaderGap = 6;         // between a dotted leader and the texts beside it
constexpr QRgb barColour = 0xff7a7a7a; // the chorus bar
constexpr QRgb quietInk = 0xff5a5a5a;
constexpr QRgb leaderInk = 0xff9a9a9a;

// A chorus bar on a page: from the top of its first piece there to the bottom of its last.
struct Bar {
    int block = -1;
    qreal top = 0;
    qreal bottom = 0;
};

struct Page {
    QList<Item> items; // placed in the body's coordinates
    QList<Bar> bars;
};

Item moved(Item item, qreal y) {
    item.at.ry() += y;
    item.rect.translate(0, y);
    return item;
}

QString titleOf(const Song& song) {
    return song.title.isEmpty() ? QFileInfo(song.file).completeBaseName() : song.title;
}

class Pager {
public:
    Pager(const QPaintDevice* device, QSizeF body) : m_device(device), m_body(body) {}

    // Lays `pieces` on pages of their own, the first new.
    void song(const Song& song, const QList<Piece>& pieces) {
        m_title = titleOf(song);
        newPage(false);
        for (qsizetype i = 0; i < pieces.size(); ++i) {
            const Piece& piece = pieces[i];
            if (piece.newPage) {
                if (!m_empty)
                    newPage(true);
                continue;
            }
            qreal gap = m_empty ? 0 : piece.gapBefore;
            // The pieces that go with this one.
            qreal together = gap + piece.height;
            for (qsizetype j = i;
                 j + 1 < pieces.size() && pieces[j].keepWithNext && !pieces[j + 1].newPage; ++j)
                together += pieces[j + 1].gapBefore + pieces[j + 1].height;
            const qreal room = m_body.height() - m_y;
            const bool alone = gap + piece.height <= room;
            const bool groupFitsAPage = together - gap <= m_body.height() - continuedHeight();
            if (!m_empty && (!alone || (together > room && groupFitsAPage))) {
                newPage(true);
                gap = 0;
            }
            place(piece, m_y + gap);
            m_y += gap + piece.height;
            if (piece.height > 0)
                m_empty = false;
        }
    }

    const QList<Page>& pages() const { return m_pages; }

private:
    qreal continuedHeight() const {
        return QFontMetricsF(continuedFont(), const_cast<QPaintDevice*>(m_device)).height() +
               continuedGap;
    }

    static QFont continuedFont() { return SongLayout::sansFont(continuedPoints, false, true); }

    void newPage(bool continued) {
        m_pages << Page();
        m_y = 0;
        m_empty = true;
        if (!continued)
            return;
        const QFont font = continuedFont();
        const QFontMetricsF metrics(font, const_cast<QPaintDevice*>(m_device));
        Item item;
        item.at = QPointF(0, metrics.ascent());
        item.text = QStringLiteral("%1 (continued)").arg(m_title);
        item.font = font;
        item.colour = quietInk;
        m_pages.last().items << item;
        m_y = continuedHeight();
    }

    void place(const Piece& piece, qreal top) {
        Page& page = m_pages.last();
        for (const Item& item : piece.items)
            page.items << moved(item, top);
        if (piece.bar < 0)
            return;
        if (!page.bars.isEmpty() && page.bars.last().block == piece.bar &&
            page.bars.last().bottom >= m_y - 0.01) {
            page.bars.last().bottom = top + piece.height;
        } else {
            page.bars << Bar{piece.bar, top, top + piece.height};
        }
    }

    const QPaintDevice* m_device;
    QSizeF m_body;
    QList<Page> m_pages;
    QString m_title;
    qreal m_y = 0;
    bool m_empty = true;
};

// The contents pages: a title, then a line for each song with its page.
QList<Page> contentsPages(const QList<SongbookPdf::Contents>& entries, const QPaintDevice* device,
                          QSizeF body) {
    const QFont titleFont = SongLayout::sansFont(contentsTitlePoints, true);
    const QFont entryFont = SongLayout::sansFont(contentsPoints, false);
    const QFont artistFont = SongLayout::sansFont(contentsPoints, false, true);
    const QFontMetricsF title(titleFont, const_cast<QPaintDevice*>(device));
    const QFontMetricsF entry(entryFont, const_cast<QPaintDevice*>(device));
    const QFontMetricsF artist(artistFont, const_cast<QPaintDevice*>(device));
    const qreal rowHeight = entry.height() + contentsRowGap;
    QList<Page> pages;
    qreal y = 0;
    for (qsizetype i = 0; i < entries.size(); ++i) {
        if (pages.isEmpty() || y + rowHeight > body.height()) {
            pages << Page();
            y = 0;
            if (pages.size() == 1) {
                Item heading;
                heading.at = QPointF(0, title.ascent());
                heading.text = QStringLiteral("Contents");
                heading.font = titleFont;
                pages.last().items << heading;
                y = title.height() + rowHeight;
            }
        }
        const SongbookPdf::Contents& e = entries[i];
        const QString number = QString::number(e.page);
        const qreal numberWidth = entry.horizontalAdvance(number);
        const qreal numberX = body.width() - numberWidth;
        const qreal baseline = y + entry.ascent();
        QString name = e.title;
        const qreal room = numberX - 2 * leaderGap;
        if (entry.horizontalAdvance(name) > room)
            name = entry.elidedText(name, Qt::ElideRight, room);
        Item text;
        text.at = QPointF(0, baseline);
        text.text = name;
        text.font = entryFont;
        pages.last().items << text;
        qreal end = entry.horizontalAdvance(name);
        if (!e.artist.isEmpty()) {
            const QString by = artist.elidedText(QStringLiteral("  ") + e.artist, Qt::ElideRight,
                                                 std::max<qreal>(0, room - end));
            Item who = text;
            who.at.rx() = end;
            who.text = by;
            who.font = artistFont;
            who.colour = quietInk;
            pages.last().items << who;
            end += artist.horizontalAdvance(by);
        }
        if (numberX - leaderGap > end + leaderGap) {
            Item leader;
            leader.kind = Item::Kind::Leader;
            leader.rect = QRectF(QPointF(end + leaderGap, baseline - 1),
                                 QPointF(numberX - leaderGap, baseline));
            leader.colour = leaderInk;
            pages.last().items << leader;
        }
        Item page = text;
        page.at.rx() = numberX;
        page.text = number;
        pages.last().items << page;
        y += rowHeight;
    }
    return pages;
}

void draw(QPainter& painter, const Item& item, const ChordBox::Options& box) {
    switch (item.kind) {
    case Item::Kind::Text:
        painter.setFont(item.font);
        painter.setPen(QColor::fromRgb(item.colour));
        painter.drawText(item.at, item.text);
        break;
    case Item::Kind::Box:
        ChordBox::draw(painter, item.diagram, box, item.spacing, item.at);
        break;
    case Item::Kind::Fill:
        painter.fillRect(item.rect, QColor::fromRgb(item.colour));
        break;
    case Item::Kind::Frame:
        painter.setPen(QPen(QColor::fromRgb(item.colour), 1));
        painter.setBrush(Qt::NoBrush);
        painter.drawRect(item.rect);
        break;
    case Item::Kind::Leader:
        painter.setPen(QPen(QColor::fromRgb(item.colour), 1, Qt::DotLine));
        painter.drawLine(item.rect.bottomLeft(), item.rect.bottomRight());
        break;
    }
}

} // namespace

QByteArray SongbookPdf::encode(const QList<Song>& songs, const Options& options,
                               QList<Contents>* contents) {
    if (songs.isEmpty())
        throw Failure::invalidProcedureCall();
    SheetPages sheet(options.page, QString());
    QPainter& painter = sheet.painter();
    const QRectF body = sheet.body();
    const QPaintDevice* device = painter.device();
    const SongLayout layout(device, body.width(), options.layout);

    Pager pager(device, body.size());
    QList<Contents> entries;
    for (const Song& song : songs) {
        if (options.stopped && options.stopped())
            return {};
        entries << Contents{titleOf(song), song.artists.join(QStringLiteral(", ")),
                            int(pager.pages().size())};
        pager.song(song, layout.layout(song));
    }
    QList<Page> pages;
    if (songs.size() > 1) {
        // The contents take as many pages with the numbers as they will show.
        const qsizetype before = contentsPages(entries, device, body.size()).size();
        for (Contents& e : entries)
            e.page += int(before) + 1;
        pages = contentsPages(entries, device, body.size());
    } else {
        entries.first().page = 1;
    }
    pages += pager.pages();
    if (contents)
        *contents = entries;

    for (qsizetype p = 0; p < pages.size(); ++p) {
        if (options.stopped && options.stopped())
            return {};
        sheet.beginPage(int(p), int(pages.size()));
        painter.save();
        painter.translate(body.topLeft());
        for (const Bar& bar : pages[p].bars)
            painter.fillRect(
                QRectF(SongLayout::barX, bar.top, SongLayout::barWidth, bar.bottom - bar.top),
                QColor::fromRgb(barColour));
        for (const Item& item : pages[p].items)
            draw(painter, item, options.layout.box);
        painter.restore();
    }
    return sheet.finish();
}

void SongbookPdf::write(const QString& fileName, const QList<Song>& songs, const Options& options) {
    VectorChartFile::writeWhole(fileName, encode(songs, options));
}
