#include "songbook/ChordProReader.h"

#include "base/WholeNumber.h"
#include "catalogue/Playability.h"

#include <QHash>
#include <QRegularExpression>

namespace {

using Block = Song::Block;
using Line = Song::Line;
using Mark = Song::Mark;

// The words that open and close an environment before its name.
const QString startOf = QStringLiteral("start_of_");
const QString endOf = QStringLiteral("end_of_");

// Frets a {define} may name, counted from the nut; the chord boxes draw no more.
constexpr int highestDefinedFret = 24;
constexpr int tabStop = 8;
// Nested {transpose} directives a song may open; more is no song.
constexpr int maxTransposeDepth = 64;

// The short forms and old names of directives, and the long name each stands for.
const QHash<QString, QString>& longNames() {
    static const QHash<QString, QString> names{
        {QStringLiteral("t"), QStringLiteral("title")},
        {QStringLiteral("st"), QStringLiteral("subtitle")},
        {QStringLiteral("c"), QStringLiteral("comment")},
        {QStringLiteral("ci"), QStringLiteral("comment_italic")},
        {QStringLiteral("cb"), QStringLiteral("comment_box")},
        {QStringLiteral("soc"), QStringLiteral("start_of_chorus")},
        {QStringLiteral("eoc"), QStringLiteral("end_of_chorus")},
        {QStringLiteral("sov"), QStringLiteral("start_of_verse")},
        {QStringLiteral("eov"), QStringLiteral("end_of_verse")},
        {QStringLiteral("sob"), QStringLiteral("start_of_bridge")},
        {QStringLiteral("eob"), QStringLiteral("end_of_bridge")},
        {QStringLiteral("sot"), QStringLiteral("start_of_tab")},
        {QStringLiteral("eot"), QStringLiteral("end_of_tab")},
        {QStringLiteral("sog"), QStringLiteral("start_of_grid")},
        {QStringLiteral("eog"), QStringLiteral("end_of_grid")},
        {QStringLiteral("np"), QStringLiteral("new_page")},
        {QStringLiteral("npp"), QStringLiteral("new_physical_page")},
        {QStringLiteral("ns"), QStringLiteral("new_song")},
        {QStringLiteral("g"), QStringLiteral("grid")},
        {QStringLiteral("ng"), QStringLiteral("no_grid")},
        {QStringLiteral("colb"), QStringLiteral("column_break")},
        {QStringLiteral("col"), QStringLiteral("columns")},
    };
    return names;
}

// Directives that only style a page: the layout has its own style, and they pass in silence.
bool stylesThePage(const QString& name) {
    static const QRegularExpression style(QStringLiteral(
        "^(text|chord|chorus|tab|grid|label|toc|title|footer|header)(font|size|colou?r)$|"
        "^(tf|ts|cf|cs|titles|columns|column_break|pagetype|pagesize|sorttitle|arranger)$"));
    return style.match(name).hasMatch();
}

// The environments whose lines are kept verbatim, in a monospace face.
bool verbatimEnvironment(const QString& name) {
    return name == u"tab" || name == u"abc" || name == u"ly" || name == u"textblock";
}

Block::Kind blockKindOf(const QString& environment) {
    if (environment == u"chorus")
        return Block::Kind::Chorus;
    if (environment == u"verse")
        return Block::Kind::Verse;
    if (environment == u"bridge")
        return Block::Kind::Bridge;
    if (environment == u"tab")
        return Block::Kind::Tab;
    if (environment == u"grid")
        return Block::Kind::Grid;
    return Block::Kind::Other;
}

bool truthy(const QString& value) {
    const QString v = value.trimmed().toLower();
    return !v.isEmpty() && v != u"0" && v != u"false" && v != u"off" && v != u"no" && v != u"null";
}

QString expandTabs(const QString& text) {
    if (!text.contains(u'\t'))
        return text;
    QString expanded;
    for (const QChar c : text) {
        if (c == u'\t')
            expanded += QString(tabStop - expanded.size() % tabStop, u' ');
        else
            expanded += c;
    }
    return expanded;
}

// "No chord" as songs write it: N.C., NC, n.c.
bool isNoChord(const QString& text) {
    static const QRegularExpression noChord(QStringLiteral("^n\\.?\\s*c\\.?$"),
                                            QRegularExpression::CaseInsensitiveOption);
    return noChord.match(text).hasMatch();
}

// A bar line of a chord grid: |, ||, |., |:, :|, :|:, :|., and a volta such as |2 or |2>.
bool isBarSymbol(const QString& token) {
    static const QRegularExpression bar(QStringLiteral("^([|:][|:.]*|\\|\\d+>?)$"));
    return bar.match(token).hasMatch() && token.contains(u'|');
}

// A grid cell that holds no chord: ".", "/", "%", "%%", "-", "~".
bool isGridSymbol(const QString& token) {
    static const QRegularExpression symbol(QStringLiteral("^([./~%-]+)$"));
    return symbol.match(token).hasMatch();
}

class Parser {
public:
    Parser(const QString& file, const ChordProReader::Options& options,
           QList<SongWarning>& warnings)
        : m_file(file), m_options(options), m_warnings(warnings) {}

    QList<Song> run(const QString& text) {
        const QStringList lines = text.split(u'\n');
        startSong(1);
        for (qsizetype i = 0; i < lines.size(); ++i) {
            const int number = int(i) + 1;
            QString line = lines[i];
            if (line.endsWith(u'\r'))
                line.chop(1);
            // A final backslash joins the next line, its leading blanks dropped.
            while (!verbatim() && line.trimmed().endsWith(u'\\') && i + 1 < lines.size()) {
                line = line.trimmed();
                line.chop(1);
                QString next = lines[++i];
                if (next.endsWith(u'\r'))
                    next.chop(1);
                line += next.trimmed();
            }
            readLine(line, number);
        }
        finishSong();
        return m_songs;
    }

private:
    struct Environment {
        QString name; // "chorus", "verse", "tab", "grid", or any other start_of_ name
        int line = 0;
        bool skipped = false; // its selector does not apply, or it is not printed (svg)
    };

    void warn(int line, const QString& message) {
        m_warnings << SongWarning{m_file, line, message};
    }

    Song& song() { return m_songs.last(); }
    bool verbatim() const { return m_environment && verbatimEnvironment(m_environment->name); }

    void startSong(int line) {
        Song s;
        s.file = m_file;
        s.line = line;
        m_songs << s;
        m_environment.reset();
        m_transposes.clear();
        m_transpose = 0;
        m_accidentals = Song::Accidentals::ByKey;
        m_key.clear();
        m_meta.clear();
        m_lastChorus.reset();
    }

    void finishSong() {
        if (m_environment && !m_environment->skipped)
            warn(m_environment->line,
                 QStringLiteral("start_of_%1 is never ended").arg(m_environment->name));
        m_environment.reset();
        Song& s = song();
        for (Block& block : s.blocks) {
            while (!block.lines.isEmpty() && block.lines.last().kind == Line::Kind::Space)
                block.lines.removeLast();
        }
        s.blocks.removeIf([](const Block& b) { return b.lines.isEmpty() && !b.recalled; });
        const bool empty = s.title.isEmpty() && s.blocks.isEmpty();
        if (empty && m_songs.size() > 1)
            m_songs.removeLast();
        else if (empty)
            m_songs.clear();
    }

    // The block new lines go to: the open environment's, or a plain one.
    Block& currentBlock() {
        QList<Block>& blocks = song().blocks;
        if (!m_environment && (blocks.isEmpty() || blocks.last().kind != Block::Kind::Plain ||
                               blocks.last().recalled))
            blocks << Block{};
        return blocks.last();
    }

    void addLine(Line line) {
        Block& block = currentBlock();
        if (line.kind == Line::Kind::Space) {
            // Paragraphs are one blank apart; a block starts with its words.
            if (block.lines.isEmpty() || block.lines.last().kind == Line::Kind::Space)
                return;
        }
        block.lines << line;
    }

    Mark newMark(qsizetype at, QString written) const {
        Mark mark;
        mark.at = at;
        written = written.trimmed();
        if (written.startsWith(u'*')) {
            mark.annotation = true;
            written = written.mid(1).trimmed();
        }
        mark.annotation = mark.annotation || isNoChord(written);
        mark.written = written;
        mark.transpose = m_transpose;
        mark.accidentals = m_accidentals;
        mark.key = m_key;
        return mark;
    }

    void readLine(const QString& raw, int number) {
        const QString trimmed = raw.trimmed();
        const bool isDirective = trimmed.startsWith(u'{');
        if (m_environment && m_environment->skipped) {
            if (isDirective && trimmed.endsWith(u'}'))
                endOfSkipped(trimmed, number);
            return;
        }
        if (verbatim() && !(isDirective && trimmed.endsWith(u'}'))) {
            Line line;
            line.kind = Line::Kind::Tab;
            line.text = expandTabs(raw).trimmed().isEmpty() ? QString() : expandTabs(raw);
            while (line.text.endsWith(u' '))
                line.text.chop(1);
            line.line = number;
            currentBlock().lines << line;
            return;
        }
        if (trimmed.startsWith(u'#'))
            return;
        if (isDirective) {
            if (trimmed.endsWith(u'}'))
                directive(trimmed.mid(1, trimmed.size() - 2).trimmed(), trimmed, number);
            else
                printAsText(trimmed, number, QStringLiteral("a directive without its closing '}'"));
            return;
        }
        if (trimmed.isEmpty()) {
            addLine(Line{Line::Kind::Space, {}, {}, number});
            return;
        }
        if (m_environment && m_environment->name == u"grid")
            gridRow(trimmed, number);
        else
            lyrics(trimmed, number);
    }

    void printAsText(const QString& text, int number, const QString& why) {
        warn(number, why + QStringLiteral(", printed as text"));
        addLine(Line{Line::Kind::Text, text, {}, number});
    }

    // A line of words with [chord] marks: lyrics, or a comment naming chords ("Intro: [G] [C]").
    void lyrics(const QString& text, int number, Line::Kind kind = Line::Kind::Lyrics) {
        Line line;
        line.kind = kind;
        line.line = number;
        bool unclosed = false;
        for (qsizetype i = 0; i < text.size(); ++i) {
            if (text[i] != u'[') {
                line.text += text[i];
                continue;
            }
            const qsizetype close = text.indexOf(u']', i + 1);
            if (close < 0) {
                unclosed = true;
                line.text += text.mid(i);
                break;
            }
            const QString inside = text.mid(i + 1, close - i - 1);
            if (!inside.trimmed().isEmpty())
                line.marks << newMark(line.text.size(), inside);
            i = close;
        }
        if (unclosed)
            warn(number, QStringLiteral("a '[' without its ']', printed as text"));
        addLine(line);
    }

    // A row of a chord grid: a mark for each chord in a cell between the first and the last
    // bar line; what stands outside them is the margin's text.
    void gridRow(const QString& text, int number) {
        Line line;
        line.kind = Line::Kind::Grid;
        line.text = text;
        line.line = number;
        static const QRegularExpression token(QStringLiteral("\\S+"));
        QList<QRegularExpressionMatch> tokens;
        for (const QRegularExpressionMatch& m : token.globalMatch(text))
            tokens << m;
        qsizetype first = -1, last = -1;
        for (qsizetype i = 0; i < tokens.size(); ++i) {
            if (isBarSymbol(tokens[i].captured())) {
                if (first < 0)
                    first = i;
                last = i;
            }
        }
        for (qsizetype i = first + 1; first >= 0 && i < last; ++i) {
            const QString cell = tokens[i].captured();
            if (isBarSymbol(cell) || isGridSymbol(cell))
                continue;
            qsizetype at = tokens[i].capturedStart();
            for (const QString& part : cell.split(u'~')) {
                if (!part.isEmpty() && !isGridSymbol(part))
                    line.marks << newMark(at, part);
                at += part.size() + 1;
            }
        }
        addLine(line);
    }

    // The selector of a directive applies: it names the instrument, or a meta item that is set.
    bool selected(QString selector) const {
        bool reversed = false;
        if (selector.endsWith(u'!') || selector.startsWith(u'!')) {
            reversed = true;
            selector.remove(u'!');
        }
        const bool match = selector == m_options.instrument.toLower() ||
                           (m_meta.contains(selector) && truthy(m_meta.value(selector)));
        return match != reversed;
    }

    void endOfSkipped(const QString& trimmed, int number) {
        QString name = trimmed.mid(1, trimmed.size() - 2).trimmed().section(u':', 0, 0);
        name = name.section(u' ', 0, 0).toLower();
        name = longNames().value(name, name);
        if (name == endOf + m_environment->name)
            m_environment.reset();
        else if (name == u"new_song")
            directive(QStringLiteral("new_song"), trimmed, number);
    }

    void directive(const QString& body, const QString& raw, int number) {
        static const QRegularExpression nameEnd(QStringLiteral("[:\\s]"));
        const qsizetype cut = body.indexOf(nameEnd);
        QString name = (cut < 0 ? body : body.left(cut)).toLower();
        QString argument = cut < 0 ? QString() : body.mid(cut).trimmed();
        if (argument.startsWith(u':'))
            argument = argument.mid(1).trimmed();
        if (name.isEmpty()) {
            printAsText(raw, number, QStringLiteral("a directive without a name"));
            return;
        }
        if (name.startsWith(QLatin1String("x_")))
            return;
        QString selector;
        if (const qsizetype dash = name.indexOf(u'-'); dash > 0) {
            selector = name.mid(dash + 1);
            name = name.left(dash);
        }
        name = longNames().value(name, name);
        if (!selector.isEmpty() && !selected(selector)) {
            // A section whose selector does not apply is left out up to its end.
            if (name.startsWith(startOf))
                m_environment = Environment{name.mid(startOf.size()), number, true};
            return;
        }
        if (!metadata(name, argument, number) && !formatting(name, argument, number) &&
            !environment(name, argument, number) &&
            !chordDirective(name, argument, number, !selector.isEmpty()) && !stylesThePage(name))
            printAsText(raw, number, QStringLiteral("unknown directive '%1'").arg(name));
    }

    bool metadata(const QString& name, const QString& argument, int number) {
        if (name == u"meta") {
            const QString key = argument.section(QRegularExpression(QStringLiteral("\\s+")), 0, 0);
            const QString value = argument.mid(key.size()).trimmed();
            if (key.isEmpty())
                warn(number, QStringLiteral("a meta directive without a name"));
            else if (!metadata(key.toLower(), value, number))
                m_meta.insert(key.toLower(), value);
            return true;
        }
        Song& s = song();
        QString* single = nullptr;
        QStringList* list = nullptr;
        if (name == u"title")
            single = &s.title;
        else if (name == u"subtitle")
            list = &s.subtitles;
        else if (name == u"artist")
            list = &s.artists;
        else if (name == u"composer")
            list = &s.composers;
        else if (name == u"lyricist")
            list = &s.lyricists;
        else if (name == u"album")
            single = &s.album;
        else if (name == u"year")
            single = &s.year;
        else if (name == u"copyright")
            single = &s.copyright;
        else if (name == u"tempo")
            single = &s.tempo;
        else if (name == u"time")
            single = &s.time;
        else if (name == u"duration")
            single = &s.duration;
        else if (name == u"key") {
            m_key = argument;
            if (s.key.isEmpty())
                s.key = argument;
        } else if (name == u"capo") {
            s.capo = argument;
            s.capoLine = number;
        } else {
            return false;
        }
        if (argument.isEmpty())
            return true;
        m_meta.insert(name, argument);
        if (single)
            *single = argument;
        else if (list)
            *list << argument;
        return true;
    }

    bool formatting(const QString& name, const QString& argument, int number) {
        static const QHash<QString, Line::Kind> comments{
            {QStringLiteral("comment"), Line::Kind::Comment},
            {QStringLiteral("comment_italic"), Line::Kind::CommentItalic},
            {QStringLiteral("comment_box"), Line::Kind::CommentBox},
            {QStringLiteral("highlight"), Line::Kind::Highlight},
        };
        if (const auto kind = comments.constFind(name); kind != comments.cend()) {
            if (!argument.isEmpty())
                lyrics(argument, number, *kind);
            return true;
        }
        if (name == u"new_page" || name == u"new_physical_page") {
            addLine(Line{Line::Kind::NewPage, {}, {}, number});
            return true;
        }
        if (name == u"new_song") {
            finishSong();
            startSong(number);
            return true;
        }
        if (name == u"image") {
            warn(number, QStringLiteral("images are not printed"));
            return true;
        }
        if (name == u"diagrams" || name == u"grid" || name == u"no_grid") {
            const QString value = argument.toLower();
            if (name != u"diagrams")
                song().diagrams = name == u"grid";
            else if (value.isEmpty() || truthy(value))
                song().diagrams = true;
            else
                song().diagrams = false;
            return true;
        }
        if (name == u"transpose") {
            transpose(argument, number);
            return true;
        }
        return false;
    }

    void transpose(const QString& argument, int number) {
        if (argument.isEmpty()) {
            if (m_transposes.isEmpty()) {
                warn(number, QStringLiteral("{transpose} ends no transposition"));
                return;
            }
            std::tie(m_transpose, m_accidentals) = m_transposes.takeLast();
            return;
        }
        static const QRegularExpression shift(QStringLiteral("^([+-]?)(\\d{1,3})([sfk]?)$"),
                                              QRegularExpression::CaseInsensitiveOption);
        const QRegularExpressionMatch m = shift.match(argument);
        if (!m.hasMatch() || m_transposes.size() >= maxTransposeDepth) {
            warn(number, QStringLiteral("transpose '%1' is not a number of semitones; ignored")
                             .arg(argument));
            return;
        }
        m_transposes << std::pair(m_transpose, m_accidentals);
        const int semitones = m.captured(2).toInt();
        m_transpose += m.captured(1) == u"-" ? -semitones : semitones;
        const QString spelling = m.captured(3).toLower();
        m_accidentals = spelling == u"s"   ? Song::Accidentals::Sharps
                        : spelling == u"f" ? Song::Accidentals::Flats
                                           : Song::Accidentals::ByKey;
    }

    // The label of a section start: "Chorus 2", label="Chorus 2" or label='Chorus 2'; a grid's
    // shape ("1+4x4+1") before it is not part of it.
    static QString labelOf(const QString& environment, QString argument) {
        if (environment == u"grid") {
            static const QRegularExpression shape(QStringLiteral(
                "^(shape\\s*=\\s*[\"']?)?(\\d+\\+)?\\d+(x\\d+)?(\\+\\d+)?[\"']?\\s*"));
            argument.remove(shape);
        }
        static const QRegularExpression attribute(
            QStringLiteral("^label\\s*=\\s*(\"([^\"]*)\"|'([^']*)'|(\\S*))"));
        if (const QRegularExpressionMatch m = attribute.match(argument); m.hasMatch())
            return (m.captured(2) + m.captured(3) + m.captured(4)).trimmed();
        return argument.trimmed();
    }

    bool environment(const QString& name, const QString& argument, int number) {
        if (name == u"chorus") {
            recallChorus(argument, number);
            return true;
        }
        if (name.startsWith(startOf) && name.size() > startOf.size()) {
            const QString env = name.mid(startOf.size());
            if (m_environment)
                warn(number,
                     QStringLiteral("start_of_%1 inside start_of_%2 (line %3), which it "
                                    "ends")
                         .arg(env, m_environment->name, QString::number(m_environment->line)));
            closeEnvironment();
            if (env == u"svg") {
                warn(number, QStringLiteral("SVG images are not printed"));
                m_environment = Environment{env, number, true};
                return true;
            }
            m_environment = Environment{env, number, false};
            Block block;
            block.kind = blockKindOf(env);
            block.label = labelOf(env, argument);
            if (block.kind == Block::Kind::Other && block.label.isEmpty() && !verbatim()) {
                block.label = env;
                block.label.replace(u'_', u' ');
                block.label[0] = block.label[0].toUpper();
            }
            song().blocks << block;
            if (block.kind == Block::Kind::Chorus)
                m_chorusTranspose = m_transpose;
            return true;
        }
        if (name.startsWith(endOf) && name.size() > endOf.size()) {
            if (!m_environment || m_environment->name != name.mid(endOf.size())) {
                warn(number, QStringLiteral("%1 without its start; ignored").arg(name));
                return true;
            }
            closeEnvironment();
            return true;
        }
        return false;
    }

    void closeEnvironment() {
        if (!m_environment)
            return;
        if (m_environment->name == u"chorus" && !song().blocks.isEmpty()) {
            m_lastChorus = song().blocks.last();
            m_lastChorusTranspose = m_chorusTranspose;
        }
        m_environment.reset();
    }

    // {chorus}: the last chorus again, in the key in force here.
    void recallChorus(const QString& label, int number) {
        if (m_environment) {
            warn(number,
                 QStringLiteral("{chorus} inside start_of_%1; ignored").arg(m_environment->name));
            return;
        }
        Block block;
        block.kind = Block::Kind::Chorus;
        block.recalled = true;
        if (m_lastChorus) {
            block.lines = m_lastChorus->lines;
            block.label = m_lastChorus->label;
            for (Line& line : block.lines) {
                line.line = number;
                for (Mark& mark : line.marks) {
                    mark.transpose += m_transpose - m_lastChorusTranspose;
                    if (!m_key.isEmpty())
                        mark.key = m_key;
                }
            }
        }
        if (!label.isEmpty())
            block.label = labelOf(QStringLiteral("chorus"), label);
        song().blocks << block;
    }

    bool chordDirective(const QString& name, const QString& argument, int number,
                        bool forInstrument) {
        if (name != u"define" && name != u"chord")
            return false;
        const bool inPlace = name == u"chord";
        static const QRegularExpression blanks(QStringLiteral("[\\s,]+"));
        QStringList words = argument.split(blanks, Qt::SkipEmptyParts);
        if (words.isEmpty()) {
            warn(number, QStringLiteral("%1 without a chord name; ignored").arg(name));
            return true;
        }
        QString chordName = words.takeFirst();
        if (chordName.endsWith(u':'))
            chordName.chop(1);
        if (chordName.startsWith(u'[') && chordName.endsWith(u']'))
            chordName = chordName.mid(1, chordName.size() - 2);
        Song::Shape shape;
        shape.name = chordName;
        shape.forInstrument = forInstrument;
        shape.inPlace = inPlace;
        shape.line = number;
        if (readShape(words, shape, number) && !shape.frets.isEmpty())
            song().shapes << shape;
        if (inPlace) {
            Block& block = currentBlock();
            if (block.lines.isEmpty() || block.lines.last().kind != Line::Kind::ChordBoxes)
                block.lines << Line{Line::Kind::ChordBoxes, {}, {}, number};
            block.lines.last().marks << newMark(0, chordName);
        }
        return true;
    }

    static std::optional<qint16> fretOf(const QString& word) {
        if (word == u"x" || word == u"X" || word == u"N" || word == u"n" || word == u"-1" ||
            word == u"-")
            return qint16(-1);
        if (const auto fret = WholeNumber::parse(word, 0, highestDefinedFret))
            return qint16(*fret);
        return std::nullopt;
    }

    static std::optional<qint8> fingerOf(const QString& word) {
        if (word == u"x" || word == u"X" || word == u"N" || word == u"n" || word == u"-1" ||
            word == u"-" || word == u"0")
            return qint8(0);
        if (word == u"T" || word == u"t")
            return qint8(Playability::thumbFinger);
        if (const auto finger = WholeNumber::parse(word, 1, Playability::thumbFinger - 1))
            return qint8(*finger);
        return std::nullopt;
    }

    // The words after a {define}'s name: base-fret, frets, fingers and the rest ChordPro
    // knows, or the old form "BASE FRET FRET ...". False, with a warning, when they do not
    // make a shape.
    bool readShape(const QStringList& words, Song::Shape& shape, int number) {
        static const QStringList keywords{
            QStringLiteral("base-fret"), QStringLiteral("frets"),  QStringLiteral("fingers"),
            QStringLiteral("keys"),      QStringLiteral("copy"),   QStringLiteral("copyall"),
            QStringLiteral("display"),   QStringLiteral("format"), QStringLiteral("diagram")};
        const auto fail = [&](const QString& why) {
            warn(number, QStringLiteral("the shape of '%1' is not used: %2").arg(shape.name, why));
            return false;
        };
        int baseFret = 1;
        QStringList frets, fingers;
        qsizetype i = 0;
        if (!words.isEmpty() && !keywords.contains(words[0].toLower())) {
            // The old form: the base fret, then the frets.
            frets = words.mid(1);
            if (words.size() < 2 || !WholeNumber::parse(words[0], 1, highestDefinedFret))
                return fail(QStringLiteral("'%1' is not a base fret").arg(words[0]));
            baseFret = words[0].toInt();
            i = words.size();
        }
        while (i < words.size()) {
            const QString keyword = words[i++].toLower();
            QStringList values;
            while (i < words.size() && !keywords.contains(words[i].toLower()))
                values << words[i++];
            if (keyword == u"base-fret") {
                const auto fret = values.size() == 1
                                      ? WholeNumber::parse(values[0], 1, highestDefinedFret)
                                      : std::nullopt;
                if (!fret)
                    return fail(QStringLiteral("base-fret takes one fret, 1 to %1")
                                    .arg(highestDefinedFret));
                baseFret = *fret;
            } else if (keyword == u"frets") {
                frets = values;
            } else if (keyword == u"fingers") {
                fingers = values;
            } else if (keyword == u"copy" || keyword == u"copyall") {
                for (const Song::Shape& earlier : song().shapes) {
                    if (!values.isEmpty() && earlier.name == values[0]) {
                        shape.frets = earlier.frets;
                        shape.fingers = earlier.fingers;
                    }
                }
            }
            // keys (a keyboard's), display, format and diagram change no fretted shape.
        }
        if (frets.isEmpty())
            return true;
        QList<qint16> absolute;
        for (const QString& word : frets) {
            const std::optional<qint16> fret = fretOf(word);
            if (!fret)
                return fail(QStringLiteral("'%1' is not a fret (0 to %2, or x, N, -1 for a muted "
                                           "string)")
                                .arg(word, QString::number(highestDefinedFret)));
            const int placed = *fret > 0 ? *fret + baseFret - 1 : *fret;
            if (placed > highestDefinedFret)
                return fail(QStringLiteral("fret %1 lies past fret %2")
                                .arg(QString::number(placed), QString::number(highestDefinedFret)));
            absolute << qint16(placed);
        }
        shape.frets = absolute;
        shape.fingers.clear();
        if (fingers.isEmpty())
            return true;
        QList<qint8> read;
        for (const QString& word : fingers) {
            const std::optional<qint8> finger = fingerOf(word);
            if (!finger) {
                warn(number, QStringLiteral("the fingers of '%1' are left out: '%2' is not a "
                                            "finger (1 to 4, T, or 0, x, N, - for none)")
                                 .arg(shape.name, word));
                return true;
            }
            read << *finger;
        }
        if (read.size() != absolute.size()) {
            warn(number, QStringLiteral("the fingers of '%1' are left out: %2 fingers for %3 "
                                        "frets")
                             .arg(shape.name, QString::number(read.size()),
                                  QString::number(absolute.size())));
            return true;
        }
        for (qsizetype s = 0; s < read.size(); ++s) {
            if (absolute[s] <= 0)
                read[s] = 0;
        }
        shape.fingers = read;
        return true;
    }

    QString m_file;
    ChordProReader::Options m_options;
    QList<SongWarning>& m_warnings;
    QList<Song> m_songs;
    std::optional<Environment> m_environment;
    QList<std::pair<int, Song::Accidentals>> m_transposes;
    int m_transpose = 0;
    Song::Accidentals m_accidentals = Song::Accidentals::ByKey;
    QString m_key;
    QHash<QString, QString> m_meta;
    std::optional<Block> m_lastChorus;
    int m_lastChorusTranspose = 0;
    int m_chorusTranspose = 0;
};

} // namespace

QList<Song> ChordProReader::read(const QString& text, const QString& file, const Options& options,
                                 QList<SongWarning>& warnings) {
    return Parser(file, options, warnings).run(text);
}
