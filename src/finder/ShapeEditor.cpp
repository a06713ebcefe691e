#include "finder/ShapeEditor.h"

#include "chart/VoicingDiagram.h"

#include <algorithm>
#include <cmath>

ShapeEditor::ShapeEditor(const Fretboard& board)
    : m_board(board), m_frets(board.stringCount(), Fretboard::muted) {}

void ShapeEditor::setBoard(const Fretboard& board) {
    const QList<qint16> kept = m_frets;
    m_board = board;
    if (!setFrets(kept))
        clear();
    setFirstFret(m_firstFret);
}

bool ShapeEditor::setFrets(const QList<qint16>& frets) {
    if (frets.size() != m_board.stringCount())
        return false;
    for (int s = 0; s < frets.size(); ++s) {
        if (frets[s] != Fretboard::muted && !m_board.playable(s, frets[s]))
            return false;
    }
    m_frets = frets;
    return true;
}

void ShapeEditor::clear() {
    m_frets = QList<qint16>(m_board.stringCount(), Fretboard::muted);
}

bool ShapeEditor::click(int string, int fret) {
    if (string < 0 || string >= m_board.stringCount())
        return false;
    qint16& current = m_frets[string];
    if (fret == aboveTheNut) {
        current = current == 0 ? Fretboard::muted : 0;
        return true;
    }
    if (fret < 1 || !m_board.playable(string, fret))
        return false;
    current = current == fret ? Fretboard::muted : qint16(fret);
    return true;
}

int ShapeEditor::lastFirstFret() const {
    return std::max(1, m_board.highestFret() - shownRows + 1);
}

void ShapeEditor::setFirstFret(int fret) {
    m_firstFret = std::clamp(fret, 1, lastFirstFret());
}

QList<ChordNamer::Reading> ShapeEditor::readings() const {
    return ChordNamer::readings(notes(), false);
}

Voicing ShapeEditor::voicing() const {
    return VoicingDiagram::ofFrets(m_frets, m_board);
}

ChordDiagram ShapeEditor::diagram(const QString& name) const {
    return VoicingDiagram::of(voicing(), m_board, name, std::nullopt);
}

ChordBox::Options ShapeEditor::boxOptions(ChordBox::Options options) const {
    options.firstFret = m_firstFret;
    options.fretRows = shownRows;
    return options;
}

std::optional<ShapeEditor::Spot> ShapeEditor::spotAt(const ChordBox::Layout& layout,
                                                     QPointF point) {
    // The nearest string, by its column from the left, mirrored or not.
    const qreal left = std::min(layout.stringX(0), layout.stringX(layout.strings - 1));
    const int column = int(std::lround((point.x() - left) / layout.spacing));
    if (column < 0 || column >= layout.strings ||
        std::abs(point.x() - (left + column * layout.spacing)) > layout.spacing / 2)
        return std::nullopt;
    const int string = layout.leftHanded ? layout.strings - 1 - column : column;

    // Above the nut: from half a spacing over the marks down to the nut.
    const qreal nut = layout.wireY(0);
    if (point.y() < nut) {
        if (point.y() < layout.markY() - layout.spacing / 2)
            return std::nullopt;
        return Spot{string, aboveTheNut};
    }
    const qreal row = (point.y() - nut) / (layout.wireY(1) - nut);
    if (row >= layout.rows)
        return std::nullopt;
    return Spot{string, layout.baseFret + int(row)};
}
