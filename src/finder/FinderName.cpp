// The Name page: the editable chord box and the readings of its shape.
#include "finder/FinderWindow.h"

#include "catalogue/ChordNamer.h"
#include "finder/ChordBoxGrid.h"
#include "finder/ShapeEditorView.h"

#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QSpinBox>
#include <QTabWidget>
#include <QVBoxLayout>

namespace {

constexpr int readingsWidth = 320;
constexpr int findPage = 0;

} // namespace

QWidget* FinderWindow::createNamePage() {
    auto* page = new QWidget(this);
    auto* layout = new QHBoxLayout(page);
    layout->addLayout(createShapeEditor(page), 1);
    layout->addWidget(createReadings(page));
    connectNamePage();
    return page;
}

QLayout* FinderWindow::createShapeEditor(QWidget* page) {
    editorView = new ShapeEditorView(m_editor, page);
    describe(editorView, "editorView", QStringLiteral("Shape"),
             QStringLiteral("Click a string at a fret to place or remove a note, above the nut "
                            "to switch the string between open and muted. Keys: arrows move, "
                            "Enter clicks, hold Space to hear the shape"));
    firstFretSpin = new QSpinBox(page);
    firstFretSpin->setRange(1, m_editor.lastFirstFret());
    describe(firstFretSpin, "firstFretSpin", QStringLiteral("First fret"),
             QStringLiteral("The first fret the box shows, to reach shapes up the neck"));
    clearShapeButton = new QPushButton(QStringLiteral("&Clear"), page);
    describe(clearShapeButton, "clearShapeButton", QStringLiteral("Clear"),
             QStringLiteral("Mutes every string"));
    shapeNotes = new QLabel(page);
    shapeNotes->setObjectName(QStringLiteral("shapeNotes"));
    shapeNotes->setTextInteractionFlags(Qt::TextSelectableByMouse);
    shapeNotes->setWordWrap(true);
    playShapeButton = new QPushButton(QStringLiteral("Pla&y"), page);
    describe(playShapeButton, "playShapeButton", QStringLiteral("Play"),
             QStringLiteral("Sounds the shape while you hold the button (or Space on the box)"));

    auto* fretLabel = new QLabel(QStringLiteral("Fir&st fret:"), page);
    fretLabel->setBuddy(firstFretSpin);
    auto* editorRow = new QHBoxLayout;
    editorRow->addWidget(fretLabel);
    editorRow->addWidget(firstFretSpin);
    editorRow->addWidget(clearShapeButton);
    editorRow->addWidget(playShapeButton);
    editorRow->addStretch(1);
    auto* left = new QVBoxLayout;
    left->addLayout(editorRow);
    left->addWidget(editorView, 1);
    left->addWidget(shapeNotes);
    return left;
}

QWidget* FinderWindow::createReadings(QWidget* page) {
    readingsList = new QListWidget(page);
    readingsList->setSpacing(2);
    QFont readingsFont = readingsList->font();
    readingsFont.setPointSizeF(readingsFont.pointSizeF() * 1.15);
    readingsList->setFont(readingsFont);
    describe(readingsList, "readingsList", QStringLiteral("Readings"),
             QStringLiteral("What the shape reads as, best first; Ctrl+C copies the name"));
    auto* copy = new QAction(QStringLiteral("Copy Chord Name"), readingsList);
    copy->setShortcut(QKeySequence::Copy);
    copy->setShortcutContext(Qt::WidgetShortcut);
    readingsList->addAction(copy);
    readingsList->setContextMenuPolicy(Qt::ActionsContextMenu);
    connect(copy, &QAction::triggered, this, [this] {
        if (!chosenReading().isEmpty())
            QApplication::clipboard()->setText(chosenReading());
    });
    findReadingButton = new QPushButton(QStringLiteral("Find This Ch&ord"), page);
    describe(findReadingButton, "findReadingButton", QStringLiteral("Find This Chord"),
             QStringLiteral("Shows every voicing of the chosen reading on the Find page"));
    addShapeButton = new QPushButton(QStringLiteral("&Add to Sheet"), page);
    describe(addShapeButton, "addShapeButton", QStringLiteral("Add to Sheet"),
             QStringLiteral("Adds the shape, named as the chosen reading, to the lesson sheet"));

    auto* readingsLabel = new QLabel(QStringLiteral("Rea&dings, best first:"), page);
    readingsLabel->setBuddy(readingsList);
    auto* right = new QVBoxLayout;
    right->addWidget(readingsLabel);
    right->addWidget(readingsList, 1);
    auto* buttons = new QHBoxLayout;
    buttons->addWidget(findReadingButton);
    buttons->addWidget(addShapeButton);
    right->addLayout(buttons);
    auto* readings = new QWidget(page);
    readings->setLayout(right);
    readings->setFixedWidth(readingsWidth);
    return readings;
}

void FinderWindow::connectNamePage() {
    connect(editorView, &ShapeEditorView::shapeChanged, this, &FinderWindow::shapeChanged);
    connect(editorView, &ShapeEditorView::holdStarted, this, [this] { hold(m_editor.notes()); });
    connect(editorView, &ShapeEditorView::holdEnded, this, &FinderWindow::letGo);
    connect(playShapeButton, &QPushButton::pressed, this, [this] { hold(m_editor.notes()); });
    connect(playShapeButton, &QPushButton::released, this, &FinderWindow::letGo);
    connect(firstFretSpin, &QSpinBox::valueChanged, this, [this](int fret) {
        m_editor.setFirstFret(fret);
        editorView->refresh();
    });
    connect(clearShapeButton, &QPushButton::clicked, this, [this] {
        m_editor.clear();
        editorView->refresh();
        shapeChanged();
    });
    connect(readingsList, &QListWidget::currentRowChanged, this,
            [this] { editorView->setName(chosenReading()); });
    connect(readingsList, &QListWidget::itemActivated, this, &FinderWindow::sendReadingToFind);
    connect(findReadingButton, &QPushButton::clicked, this, &FinderWindow::sendReadingToFind);
    connect(addShapeButton, &QPushButton::clicked, this, &FinderWindow::addShapeToSheet);
}

void FinderWindow::shapeChanged() {
    const QList<ChordNamer::Reading> readings = m_editor.readings();
    const QList<qint16> notes = m_editor.notes();
    readingsList->clear();
    for (const ChordNamer::Reading& reading : readings) {
        auto* item = new QListWidgetItem(
            QStringLiteral("%1\t%2").arg(reading.name, ChordNamer::intervalText(reading, notes)),
            readingsList);
        item->setData(Qt::UserRole, reading.name);
        item->setToolTip(QStringLiteral("%1: %2 above the root, string by string")
                             .arg(reading.name, ChordNamer::intervalText(reading, notes)));
    }
    if (!readings.isEmpty())
        readingsList->setCurrentRow(0);
    QStringList names;
    for (const qint16 note : notes)
        names << Tuning::noteName(note);
    shapeNotes->setText(
        notes.isEmpty() ? QStringLiteral("No string sounds: click the strings.")
                        : QStringLiteral("Frets %1; notes %2%3")
                              .arg(Fretboard::fretText(m_editor.frets()), names.join(u' '),
                                   readings.isEmpty() ? QStringLiteral("; no chord reads from them")
                                                      : QString()));
    editorView->setName(chosenReading());
    findReadingButton->setEnabled(!readings.isEmpty());
    addShapeButton->setEnabled(!notes.isEmpty());
    playShapeButton->setEnabled(!notes.isEmpty());
}

QString FinderWindow::chosenReading() const {
    const QListWidgetItem* item = readingsList->currentItem();
    return item ? item->data(Qt::UserRole).toString() : QString();
}

void FinderWindow::sendReadingToFind() {
    const QString name = chosenReading();
    if (name.isEmpty())
        return;
    chordEdit->setText(name);
    // The shape itself among the chord's voicings, when the filters let it through.
    for (int i = 0; i < m_rows.size(); ++i) {
        if (m_rows[i].voicing.frets == m_editor.frets()) {
            grid->setCurrentIndex(i);
            break;
        }
    }
    pages->setCurrentIndex(findPage);
    grid->setFocus();
}

void FinderWindow::addShapeToSheet() {
    if (m_editor.notes().isEmpty())
        return;
    const Voicing v = m_editor.voicing();
    addToSheet(
        {chosenReading(), m_form.instrument, m_form.tuning, m_form.capo, v.frets, v.fingers});
}
