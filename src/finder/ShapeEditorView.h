#pragma once

#include "chart/ChordBox.h"
#include "finder/KeyHold.h"
#include "finder/ShapeEditor.h"

#include <QString>
#include <QWidget>
#include <optional>

// The Name page's editable chord box: the shape of a ShapeEditor drawn as a chord box on a
// card of paper, as large as the widget allows. A click on a string at a fret places or
// removes a note there, a click above the nut switches the string between open and muted.
// From the keyboard, the arrows move a cursor over strings and frets (up past the first
// fret to the marks above the nut), Enter clicks at the cursor, and holding Space holds
// the shape (holdStarted(), holdEnded()).
class ShapeEditorView : public QWidget {
    Q_OBJECT
public:
    // The largest string spacing the box grows to, pixels.
    static constexpr qreal largestSpacing = 48;

    ShapeEditorView(ShapeEditor& editor, QWidget* parent = nullptr);

    void setBoxOptions(const ChordBox::Options& options);
    // The name written over the box (the best reading), empty for none.
    void setName(const QString& name);
    // Call when the editor changed from outside (a new fretboard, cleared, a new first fret).
    void refresh();

    // Where the box lies now, for clicks.
    ChordBox::Layout boxLayout() const;

    QSize sizeHint() const override;
    QSize minimumSizeHint() const override;

Q_SIGNALS:
    // A click or Enter changed the shape.
    void shapeChanged();
    void holdStarted();
    void holdEnded();

protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void keyReleaseEvent(QKeyEvent* event) override;
    void focusOutEvent(QFocusEvent* event) override;
    void focusInEvent(QFocusEvent* event) override;

private:
    ChordDiagram diagram() const;
    ChordBox::Options options() const;
    void clickAt(const ShapeEditor::Spot& spot);
    void moveCursor(int strings, int frets);
    void updateDescription();

    ShapeEditor& m_editor;
    ChordBox::Options m_options;
    QString m_name;
    ShapeEditor::Spot m_cursor; // where Enter clicks
    KeyHold m_hold;             // Space
};
