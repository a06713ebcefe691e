#include "writers/SongLayout.h"

#include "chart/VoicingDiagram.h"

#include <QFileInfo>
#include <QFontMetricsF>
#include <QRegularExpression>
#include <algorithm>
#include <cmath>
#include <limits>
#include <vector>

namespace {

using Item = SongLayout::Item;
using Piece = SongLayout::Piece;
using Line = Song::Line;

// Type sizes in points.
constexpr qreal titlePoints = 20;
constexpr qreal subtitlePoints = 13;
constexpr qreal artistPoints = 11;
constexpr qreal metaPoints = 10;
constexpr qreal lyricPoints = 11.5;
constexpr qreal chordPoints = 10.5;
constexpr qreal commentPoints = 10.5;
constexpr qreal labelPoints = 9.5;
constexpr qreal tabPoints = 9.5;
constexpr qreal smallestTabPoints = 6;
constexpr qreal gridPoints = 11;
constexpr qreal copyrightPoints = 8;

// Distances in pixels of 1/96 inch.
constexpr qreal chorusIndent = 18;
constexpr qreal wrapIndent = 18;     // the rows a long line breaks into after its first
constexpr qreal chordGap = 4;        // at least between two chords of a lyrics line
constexpr qreal chordLineGap = 14;   // between the chords of a line of chords only
constexpr qreal boxGap = 12;         // between chord boxes
constexpr qreal headingGap = 8;      // under the heading
constexpr qreal commentPadding = 3;  // around a shaded or boxed comment
constexpr qreal commentGap = 2;      // above and below a comment
constexpr qreal labelGap = 2;        // under a section's label
constexpr qreal factsGap = 2;        // above the line of key, capo and tempo
constexpr qreal inPlaceBoxesGap = 4; // above a row of {chord} boxes
constexpr qreal gridCellPadding = 10;
constexpr qreal gridBarPadding = 8;
// Of a lyrics line's height.
constexpr qreal blockGapShare = 0.7;
constexpr qreal spaceShare = 0.45;
// A grid row's height, of its chords' line height.
constexpr qreal gridRowShare = 1.25;
// The most rows of a paragraph (a section, or lines between empty lines) kept on one page.
constexpr qsizetype keptParagraph = 8;
// The longest piece of text measured at once: a word longer than this may break anywhere.
constexpr qsizetype longestPiece = 24;

constexpr QRgb ink = 0xff000000;
constexpr QRgb quietInk = 0xff454545;
constexpr QRgb labelInk = 0xff5a5a5a;
constexpr QRgb shade = 0xffe8e8e8;

Item textItem(QPointF at, const QString& text, const QFont& font, QRgb colour = ink) {
    Item item;
    item.kind = Item::Kind::Text;
    item.at = at;
    item.text = text;
    item.font = font;
    item.colour = colour;
    return item;
}

Item rectItem(Item::Kind kind, const QRectF& rect, QRgb colour) {
    Item item;
    item.kind = kind;
    item.rect = rect;
    item.colour = colour;
    return item;
}

bool isSpace(QChar c) {
    return c.isSpace();
}

// One lyrics line laid out in rows no wider than the page: chords over their syllables, words
// whole.
class LyricsRows {
public:
    struct Chord {
        qsizetype at = 0;
        QString text;
        qreal width = 0;
    };
    struct Row {
        qsizetype start = 0, end = 0;
        QList<std::pair<QString, qreal>> runs;   // text and x
        QList<std::pair<QString, qreal>> chords; // text and x
        qreal width = 0;
        bool words = false;
    };

    LyricsRows(const QString& text, QList<Chord> chords, const QFontMetricsF& lyric, qreal gap)
        : m_text(text), m_chords(std::move(chords)), m_gap(gap) {
        std::stable_sort(m_chords.begin(), m_chords.end(),
                         [](const Chord& a, const Chord& b) { return a.at < b.at; });
        const qsizetype n = text.size();
        std::vector<qsizetype> cuts{0, n};
        for (qsizetype p = 1; p < n; ++p) {
            if (isSpace(text[p - 1]) != isSpace(text[p]))
                cuts.push_back(p);
        }
        for (const Chord& c : m_chords)
            cuts.push_back(c.at);
        std::sort(cuts.begin(), cuts.end());
        cuts.erase(std::unique(cuts.begin(), cuts.end()), cuts.end());
        // Long words measured in pieces, so that one can break where nothing else fits.
        for (std::size_t i = 0; i + 1 < cuts.size(); ++i) {
            m_cuts.push_back(cuts[i]);
            for (qsizetype p = cuts[i] + longestPiece; p < cuts[i + 1]; p += longestPiece)
                m_cuts.push_back(p);
        }
        m_cuts.push_back(n);
        m_x.push_back(0);
        for (std::size_t i = 0; i + 1 < m_cuts.size(); ++i)
            m_x.push_back(m_x.back() +
                          lyric.horizontalAdvance(text.mid(m_cuts[i], m_cuts[i + 1] - m_cuts[i])));
    }

    // The rows: the first `firstWidth` wide at most, the others `restWidth`.
    QList<Row> rows(qreal firstWidth, qreal restWidth) const {
        QList<Row> rows;
        const qsizetype n = m_text.size();
        qsizetype start = 0;
        do {
            const qreal width = rows.isEmpty() ? firstWidth : restWidth;
            // The longest run of words that fits; a first word wider than the row breaks where
            // the width ends, and a piece wider still stands alone.
            qsizetype end = -1;
            const auto after = std::upper_bound(m_cuts.begin(), m_cuts.end(), start);
            for (const bool anywhere : {false, true}) {
                for (auto it = after; it != m_cuts.end(); ++it) {
                    const qsizetype cut = *it;
                    if (!anywhere && cut < n && !wordStart(cut))
                        continue;
                    if (layout(start, cut).width > width)
                        break;
                    end = cut;
                }
                if (end >= 0)
                    break;
            }
            if (end < 0)
                end = after == m_cuts.end() ? n : *after;
            rows << layout(start, end);
            start = end;
        } while (start < n);
        return rows;
    }

private:
    bool wordStart(qsizetype p) const {
        return p > 0 && p < m_text.size() && isSpace(m_text[p - 1]) && !isSpace(m_text[p]);
    }

    qreal x(qsizetype p) const {
        const auto it = std::lower_bound(m_cuts.begin(), m_cuts.end(), p);
        return m_x[std::size_t(it - m_cuts.begin())];
    }

    bool inRow(const Chord& c, qsizetype start, qsizetype end) const {
        return c.at >= start && (c.at < end || (end == m_text.size() && c.at == end));
    }

    // Where the word holding `p` starts, or `p` itself between words.
    qsizetype wordStartOf(qsizetype p, qsizetype start) const {
        if (p >= m_text.size() || isSpace(m_text[p]))
            return p;
        while (p > start && !isSpace(m_text[p - 1]))
            --p;
        return p;
    }

    Row layout(qsizetype start, qsizetype end) const {
        Row row;
        row.start = start;
        row.end = end;
        qreal extra = 0;
        qreal chordEnd = -std::numeric_limits<qreal>::infinity();
        qsizetype previous = -1;
        QList<std::pair<qsizetype, qreal>> shifts; // from this position on, text moves by
        // The chords come in the order of their places: those of the row, from the first.
        const auto first = std::lower_bound(m_chords.cbegin(), m_chords.cend(), start,
                                            [](const Chord& c, qsizetype at) { return c.at < at; });
        for (auto chord = first; chord != m_chords.cend() && inRow(*chord, start, end); ++chord) {
            const Chord& c = *chord;
            const qreal natural = x(c.at) - x(start) + extra;
            qreal chordX = natural;
            if (natural < chordEnd) {
                const qsizetype word = wordStartOf(c.at, start);
                if (previous < 0 || word > previous) {
                    // Room before the word: the word moves whole, its chord over its syllable.
                    extra += chordEnd - natural;
                    shifts << std::pair(word, extra);
                    chordX = chordEnd;
                } else {
                    chordX = chordEnd; // along the word, which stays whole
                }
            }
            row.chords << std::pair(c.text, chordX);
            chordEnd = chordX + c.width + m_gap;
            previous = c.at;
        }
        qsizetype last = end;
        while (last > start && isSpace(m_text[last - 1]))
            --last;
        row.words = last > start;
        qsizetype from = start;
        qreal moved = 0;
        const auto addRun = [&](qsizetype to) {
            const qsizetype stop = std::min(to, last);
            if (stop > from) {
                const QString run = m_text.mid(from, stop - from);
                if (!run.trimmed().isEmpty())
                    row.runs << std::pair(run, x(from) - x(start) + moved);
            }
        };
        for (const auto& [at, shift] : shifts) {
            addRun(at);
            from = std::max(from, at);
            moved = shift;
        }
        addRun(last);
        const qreal textEnd = row.words ? x(last) - x(start) + extra : 0;
        row.width = std::max(textEnd, row.chords.isEmpty() ? 0 : chordEnd - m_gap);
        return row;
    }

    QString m_text;
    QList<Chord> m_chords;
    qreal m_gap;
    std::vector<qsizetype> m_cuts;
    std::vector<qreal> m_x; // of each cut from the line's start
};

bool isBarSymbol(const QString& token) {
    static const QRegularExpression bar(QStringLiteral("^([|:][|:.]*|\\|\\d+>?)$"));
    return token.contains(u'|') && bar.match(token).hasMatch();
}

// One line of a chord grid: the words before the first bar and after the last in the
// margins, and between them the bars and the cells, a cell showing the chords written over
// it ("." is an empty cell).
struct GridToken {
    QString text;
    bool bar = false;
    bool chord = false;
};
struct GridRow {
    QString left, right;
    QList<GridToken> cells;
};

GridRow readGridRow(const Line& line) {
    static const QRegularExpression word(QStringLiteral("\\S+"));
    QList<QRegularExpressionMatch> tokens;
    for (const QRegularExpressionMatch& m : word.globalMatch(line.text))
        tokens << m;
    qsizetype first = -1, last = -1;
    for (qsizetype i = 0; i < tokens.size(); ++i) {
        if (isBarSymbol(tokens[i].captured())) {
            first = first < 0 ? i : first;
            last = i;
        }
    }
    GridRow row;
    QStringList leftWords, rightWords;
    for (qsizetype i = 0; i < tokens.size(); ++i) {
        const QString t = tokens[i].captured();
        if (first < 0 || i < first) {
            leftWords << t;
            continue;
        }
        if (i > last) {
            rightWords << t;
            continue;
        }
        GridToken token{t, isBarSymbol(t), false};
        QStringList names;
        for (const Song::Mark& mark : line.marks) {
            if (mark.at >= tokens[i].capturedStart() && mark.at < tokens[i].capturedEnd())
                names << (mark.shown.isEmpty() ? mark.written : mark.shown);
        }
        if (!names.isEmpty()) {
            token.text = names.join(u' ');
            token.chord = true;
        } else if (t == u".") {
            token.text.clear();
        }
        row.cells << token;
    }
    row.left = leftWords.join(u' ');
    row.right = rightWords.join(u' ');
    return row;
}

QString joined(const QStringList& parts, const QString& separator) {
    QStringList kept;
    for (const QString& p : parts) {
        if (!p.trimmed().isEmpty())
            kept << p.trimmed();
    }
    return kept.join(separator);
}

} // namespace

SongLayout::SongLayout(const QPaintDevice* device, qreal width, const Options& options)
    : m_device(device), m_width(width), m_options(options) {}

QFont SongLayout::sansFont(qreal points, bool bold, bool italic) {
    QFont font(QStringLiteral("Arial"));
    font.setStyleHint(QFont::SansSerif);
    font.setPointSizeF(points);
    font.setBold(bold);
    font.setItalic(italic);
    return font;
}

QFont SongLayout::monoFont(qreal points) {
    // fontconfig gives Liberation Mono for it.
    QFont font(QStringLiteral("Courier New"));
    font.setStyleHint(QFont::TypeWriter);
    font.setFixedPitch(true);
    font.setPointSizeF(points);
    return font;
}

qreal SongLayout::lineHeight(const QFont& font) const {
    return QFontMetricsF(font, const_cast<QPaintDevice*>(m_device)).height();
}

qreal SongLayout::ascent(const QFont& font) const {
    return QFontMetricsF(font, const_cast<QPaintDevice*>(m_device)).ascent();
}

qreal SongLayout::advance(const QFont& font, const QString& text) const {
    return QFontMetricsF(font, const_cast<QPaintDevice*>(m_device)).horizontalAdvance(text);
}

ChordDiagram SongLayout::diagramOf(const Song& song, const Song::Chord& chord) {
    return VoicingDiagram::of(*chord.voicing, song.board, chord.name, chord.sounding);
}

QStringList SongLayout::wrapped(const QString& text, const QFont& font, qreal width) const {
    LyricsRows rows(text, {}, QFontMetricsF(font, const_cast<QPaintDevice*>(m_device)), 0);
    QStringList lines;
    for (const LyricsRows::Row& row : rows.rows(width, width))
        lines << text.mid(row.start, row.end - row.start).trimmed();
    return lines;
}

QList<Piece> SongLayout::layout(const Song& song) const {
    QList<Piece> pieces;
    heading(song, pieces);
    QList<int> boxes;
    for (qsizetype i = 0; i < song.chords.size(); ++i) {
        if (song.chords[i].inStrip && song.chords[i].voicing)
            boxes << int(i);
    }
    Diagrams where = Diagrams::Top;
    if (m_options.diagrams)
        where = *m_options.diagrams;
    else if (song.diagrams && !*song.diagrams)
        where = Diagrams::None;
    if (where == Diagrams::Top)
        strip(song, boxes, pieces);
    for (qsizetype i = 0; i < song.blocks.size(); ++i)
        block(song, song.blocks[i], int(i), pieces);
    if (where == Diagrams::Bottom) {
        const qsizetype first = pieces.size();
        strip(song, boxes, pieces);
        if (pieces.size() > first)
            pieces[first].gapBefore = blockGapShare * lineHeight(sansFont(lyricPoints, false));
    }
    if (!song.copyright.isEmpty()) {
        const QFont font = sansFont(copyrightPoints, false);
        Piece piece;
        piece.gapBefore = lineHeight(font);
        const QString text = song.copyright.contains(u'\u00a9')
                                 ? song.copyright
                                 : QStringLiteral("\u00a9 ") + song.copyright;
        for (const QString& line : wrapped(text, font, m_width)) {
            piece.items << textItem(QPointF(0, piece.height + ascent(font)), line, font, labelInk);
            piece.height += lineHeight(font);
        }
        pieces << piece;
    }
    return pieces;
}

void SongLayout::heading(const Song& song, QList<Piece>& pieces) const {
    Piece piece;
    piece.keepWithNext = true;
    const auto add = [&](const QString& text, const QFont& font, QRgb colour) {
        for (const QString& line : wrapped(text, font, m_width)) {
            piece.items << textItem(QPointF(0, piece.height + ascent(font)), line, font, colour);
            piece.height += lineHeight(font);
        }
    };
    const QString title =
        song.title.isEmpty() ? QFileInfo(song.file).completeBaseName() : song.title;
    add(title, sansFont(titlePoints, true), ink);
    for (const QString& subtitle : song.subtitles)
        add(subtitle, sansFont(subtitlePoints, false), quietInk);

    QStringList credits;
    credits << song.artists.join(QStringLiteral(", "));
    if (!song.composers.isEmpty())
        credits << QStringLiteral("Music: ") + song.composers.join(QStringLiteral(", "));
    if (!song.lyricists.isEmpty())
        credits << QStringLiteral("Words: ") + song.lyricists.join(QStringLiteral(", "));
    QString album = song.album;
    if (!song.year.isEmpty())
        album = album.isEmpty() ? song.year : QStringLiteral("%1 (%2)").arg(album, song.year);
    credits << album;
    if (const QString line = joined(credits, QStringLiteral("  \u00b7  ")); !line.isEmpty())
        add(line, sansFont(artistPoints, false, true), quietInk);

    QStringList facts;
    if (!song.printedKey.isEmpty())
        facts
            << (song.soundingKey.isEmpty()
                    ? QStringLiteral("Key %1").arg(song.printedKey)
                    : QStringLiteral("Key %1 (sounds %2)").arg(song.printedKey, song.soundingKey));
    if (song.board.capo() > 0)
        facts << QStringLiteral("Capo %1").arg(song.board.capo());
    if (!song.tempo.isEmpty())
        facts << QStringLiteral("Tempo %1").arg(song.tempo);
    if (!song.time.isEmpty())
        facts << QStringLiteral("Time %1").arg(song.time);
    if (!song.duration.isEmpty())
        facts << QStringLiteral("Duration %1").arg(song.duration);
    if (const QString line = joined(facts, QStringLiteral("   \u00b7   ")); !line.isEmpty()) {
        piece.height += factsGap;
        add(line, sansFont(metaPoints, true), ink);
    }
    piece.height += headingGap;
    pieces << piece;
}

void SongLayout::strip(const Song& song, const QList<int>& chords, QList<Piece>& pieces) const {
    if (chords.isEmpty())
        return;
    // Rows of boxes, as many to a row as the width takes, tops aligned.
    Piece row;
    row.keepWithNext = true;
    qreal x = 0;
    const auto finish = [&] {
        if (row.items.isEmpty())
            return;
        row.height += boxGap / 2;
        pieces << row;
        row = Piece();
        row.keepWithNext = true;
        x = 0;
    };
    for (const int index : chords) {
        const ChordDiagram diagram = diagramOf(song, song.chords[index]);
        const QSizeF size = ChordBox::extent(diagram, m_options.box) * boxSpacing;
        if (x > 0 && x + size.width() > m_width)
            finish();
        Item box;
        box.kind = Item::Kind::Box;
        box.at = QPointF(x, 0);
        box.diagram = diagram;
        box.spacing = boxSpacing;
        row.items << box;
        row.height = std::max(row.height, size.height());
        x += size.width() + boxGap;
    }
    finish();
    if (!pieces.isEmpty())
        pieces.last().height += headingGap;
}

void SongLayout::block(const Song& song, const Song::Block& block, int index,
                       QList<Piece>& pieces) const {
    const qsizetype first = pieces.size();
    QList<qsizetype> spaces; // the pieces of the block's empty lines
    const bool chorus = block.kind == Song::Block::Kind::Chorus;
    const qreal indent = chorus ? chorusIndent : 0;
    QString label = block.label;
    if (label.isEmpty() && block.recalled)
        label = QStringLiteral("Chorus");
    if (label.isEmpty() && block.kind == Song::Block::Kind::Bridge)
        label = QStringLiteral("Bridge");
    if (!label.isEmpty()) {
        const QFont font = sansFont(labelPoints, true);
        Piece piece;
        piece.keepWithNext = true;
        piece.items << textItem(QPointF(indent, ascent(font)), label, font, labelInk);
        piece.height = lineHeight(font) + labelGap;
        pieces << piece;
    }
    for (qsizetype i = 0; i < block.lines.size(); ++i) {
        const Line& line = block.lines[i];
        switch (line.kind) {
        case Line::Kind::Lyrics:
            lyricsLine(line, indent, pieces);
            break;
        case Line::Kind::Comment:
        case Line::Kind::CommentItalic:
        case Line::Kind::CommentBox:
        case Line::Kind::Highlight:
        case Line::Kind::Text:
            commentLine(line, indent, pieces);
            break;
        case Line::Kind::Tab:
        case Line::Kind::Grid: {
            // Consecutive rows are laid out together: a tab shrinks as its widest line needs,
            // a grid's cells line up.
            Song::Block run;
            qsizetype j = i;
            while (j < block.lines.size() && block.lines[j].kind == line.kind)
                run.lines << block.lines[j++];
            if (line.kind == Line::Kind::Tab)
                tabBlock(run, indent, pieces);
            else
                gridBlock(run, indent, pieces);
            i = j - 1;
            break;
        }
        case Line::Kind::Space: {
            Piece piece;
            piece.gapBefore = spaceShare * lineHeight(sansFont(lyricPoints, false));
            spaces << pieces.size();
            pieces << piece;
            break;
        }
        case Line::Kind::ChordBoxes:
            boxesLine(song, line, indent, pieces);
            break;
        case Line::Kind::NewPage: {
            Piece piece;
            piece.newPage = true;
            pieces << piece;
            break;
        }
        }
    }
    if (pieces.size() == first)
        return;
    // A short paragraph is read as one: it goes to the next page whole rather than split.
    spaces << pieces.size();
    qsizetype from = first;
    for (const qsizetype space : spaces) {
        if (space - from <= keptParagraph) {
            for (qsizetype i = from; i + 1 < space; ++i)
                pieces[i].keepWithNext = true;
        }
        from = space + 1;
    }
    pieces[first].gapBefore += blockGapShare * lineHeight(sansFont(lyricPoints, false));
    if (chorus) {
        for (qsizetype i = first; i < pieces.size(); ++i)
            pieces[i].bar = index;
    }
}

void SongLayout::lyricsLine(const Song::Line& line, qreal indent, QList<Piece>& pieces) const {
    const QFont lyric = sansFont(lyricPoints, false);
    const QFont chord = sansFont(chordPoints, true);
    const QFontMetricsF lyricMetrics(lyric, const_cast<QPaintDevice*>(m_device));
    const bool chordsOnly = line.text.trimmed().isEmpty();
    QList<LyricsRows::Chord> chords;
    for (const Song::Mark& mark : line.marks) {
        const QString shown = mark.shown.isEmpty() ? mark.written : mark.shown;
        chords << LyricsRows::Chord{std::clamp(mark.at, qsizetype(0), line.text.size()), shown,
                                    advance(chord, shown)};
    }
    const LyricsRows layout(line.text, chords, lyricMetrics, chordsOnly ? chordLineGap : chordGap);
    const QList<LyricsRows::Row> rows =
        layout.rows(m_width - indent, m_width - indent - wrapIndent);
    for (qsizetype r = 0; r < rows.size(); ++r) {
        const LyricsRows::Row& row = rows[r];
        const qreal x = indent + (r > 0 ? wrapIndent : 0);
        Piece piece;
        piece.keepWithNext = r + 1 < rows.size();
        qreal y = 0;
        if (!row.chords.isEmpty()) {
            for (const auto& [text, at] : row.chords)
                piece.items << textItem(QPointF(x + at, ascent(chord)), text, chord);
            y += lineHeight(chord);
        }
        if (row.words) {
            for (const auto& [text, at] : row.runs)
                piece.items << textItem(QPointF(x + at, y + ascent(lyric)), text, lyric);
            y += lineHeight(lyric);
        }
        piece.height = y;
        pieces << piece;
    }
}

void SongLayout::commentLine(const Song::Line& line, qreal indent, QList<Piece>& pieces) const {
    const bool italic = line.kind == Line::Kind::CommentItalic;
    const bool plain = line.kind == Line::Kind::Text;
    const QFont font =
        plain ? sansFont(lyricPoints, false) : sansFont(commentPoints, false, italic);
    const bool shaded = line.kind == Line::Kind::Comment || line.kind == Line::Kind::Highlight;
    const bool boxed = line.kind == Line::Kind::CommentBox;
    const qreal pad = shaded || boxed ? commentPadding : 0;
    // The chords a comment names stand in its text, as printed.
    QString text = line.text;
    for (qsizetype i = line.marks.size() - 1; i >= 0; --i) {
        const Song::Mark& mark = line.marks[i];
        text.insert(std::clamp(mark.at, qsizetype(0), text.size()),
                    mark.shown.isEmpty() ? mark.written : mark.shown);
    }
    const QStringList lines = wrapped(text, font, m_width - indent - 2 * pad);
    qreal widest = 0;
    for (const QString& l : lines)
        widest = std::max(widest, advance(font, l));
    Piece piece;
    piece.gapBefore = commentGap;
    const qreal height = lines.size() * lineHeight(font) + 2 * pad;
    const QRectF area(indent, 0, widest + 2 * pad, height);
    if (shaded)
        piece.items << rectItem(Item::Kind::Fill, area, shade);
    if (boxed)
        piece.items << rectItem(Item::Kind::Frame, area, quietInk);
    qreal y = pad;
    for (const QString& l : lines) {
        piece.items << textItem(QPointF(indent + pad, y + ascent(font)), l, font,
                                plain ? ink : quietInk);
        y += lineHeight(font);
    }
    piece.height = height + commentGap;
    pieces << piece;
}

void SongLayout::tabBlock(const Song::Block& block, qreal indent, QList<Piece>& pieces) const {
    qsizetype longest = 0;
    QString widest;
    for (const Line& line : block.lines) {
        if (line.text.size() > longest) {
            longest = line.text.size();
            widest = line.text;
        }
    }
    qreal points = tabPoints;
    const qreal room = m_width - indent;
    if (const qreal width = advance(monoFont(tabPoints), widest); width > room)
        points = std::max(smallestTabPoints, tabPoints * room / width);
    const QFont font = monoFont(points);
    // What does not fit even so breaks where the width ends.
    const qreal charWidth = std::max(1.0, advance(font, QStringLiteral("M")));
    const qsizetype perRow = std::max<qsizetype>(1, qsizetype(room / charWidth));
    for (qsizetype i = 0; i < block.lines.size(); ++i) {
        const QString& text = block.lines[i].text;
        qsizetype at = 0;
        do {
            Piece piece;
            // A tab reads as one system: kept on one page when a page can hold it.
            piece.keepWithNext = true;
            piece.items << textItem(QPointF(indent, ascent(font)), text.mid(at, perRow), font);
            piece.height = lineHeight(font);
            pieces << piece;
            at += perRow;
        } while (at < text.size());
    }
    pieces.last().keepWithNext = false;
}

void SongLayout::gridBlock(const Song::Block& block, qreal indent, QList<Piece>& pieces) const {
    const QFont chordFont = sansFont(gridPoints, true);
    const QFont symbolFont = sansFont(gridPoints, false);
    const QFont marginFont = sansFont(labelPoints, false, true);
    QList<GridRow> rows;
    qreal cell = advance(chordFont, QStringLiteral("Mm"));
    qreal bar = 0, left = 0;
    for (const Line& line : block.lines) {
        rows << readGridRow(line);
        for (const GridToken& token : rows.last().cells) {
            if (token.bar)
                bar = std::max(bar, advance(symbolFont, token.text));
            else
                cell = std::max(cell, advance(token.chord ? chordFont : symbolFont, token.text));
        }
        if (!rows.last().left.isEmpty())
            left = std::max(left, advance(marginFont, rows.last().left));
    }
    cell += gridCellPadding;
    bar += gridBarPadding;
    if (left > 0)
        left += gridCellPadding;
    const qreal height = lineHeight(chordFont) * gridRowShare;
    for (const GridRow& row : rows) {
        Piece piece;
        piece.keepWithNext = true;
        piece.height = height;
        const qreal baseline = (height - lineHeight(chordFont)) / 2 + ascent(chordFont);
        if (!row.left.isEmpty())
            piece.items << textItem(QPointF(indent, baseline), row.left, marginFont, labelInk);
        qreal x = indent + left;
        for (const GridToken& token : row.cells) {
            const qreal width = token.bar ? bar : cell;
            if (!token.text.isEmpty()) {
                const QFont& font = token.chord ? chordFont : symbolFont;
                const qreal textX = token.bar ? x + (width - advance(font, token.text)) / 2
                                              : x + gridCellPadding / 2;
                piece.items << textItem(QPointF(textX, baseline), token.text, font,
                                        token.chord ? ink : quietInk);
            }
            x += width;
        }
        if (!row.right.isEmpty())
            piece.items << textItem(QPointF(x + gridCellPadding, baseline), row.right, marginFont,
                                    labelInk);
        pieces << piece;
    }
    pieces.last().keepWithNext = false;
}

void SongLayout::boxesLine(const Song& song, const Song::Line& line, qreal indent,
                           QList<Piece>& pieces) const {
    const QFont name = sansFont(chordPoints, true);
    Piece row;
    qreal x = indent;
    const auto finish = [&] {
        if (!row.items.isEmpty())
            pieces << row;
        row = Piece();
        row.gapBefore = inPlaceBoxesGap;
        x = indent;
    };
    row.gapBefore = inPlaceBoxesGap;
    for (const Song::Mark& mark : line.marks) {
        const Song::Chord* chord = mark.chord >= 0 ? &song.chords[mark.chord] : nullptr;
        if (chord && chord->voicing) {
            const ChordDiagram diagram = diagramOf(song, *chord);
            const QSizeF size = ChordBox::extent(diagram, m_options.box) * boxSpacing;
            if (x > indent && x + size.width() > m_width)
                finish();
            Item box;
            box.kind = Item::Kind::Box;
            box.at = QPointF(x, 0);
            box.diagram = diagram;
            row.items << box;
            row.height = std::max(row.height, size.height());
            x += size.width() + boxGap;
        } else {
            const QString text = mark.shown.isEmpty() ? mark.written : mark.shown;
            const qreal width = advance(name, text);
            if (x > indent && x + width > m_width)
                finish();
            row.items << textItem(QPointF(x, ascent(name)), text, name);
            row.height = std::max(row.height, lineHeight(name));
            x += width + boxGap;
        }
    }
    finish();
}
