// The Find page: the chord field, the filters, the grid of voicings and the details.
#include "finder/FinderWindow.h"

#include "catalogue/ChordTheory.h"
#include "chart/VoicingDiagram.h"
#include "finder/ChordBoxGrid.h"
#include "finder/ChordCompletion.h"

#include <QCheckBox>
#include <QComboBox>
#include <QCompleter>
#include <QFormLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSpinBox>
#include <QStringListModel>
#include <QVBoxLayout>

namespace {

constexpr int completionRows = 12;
constexpr int detailsWidth = 270;
// A fret window shown before the user sets one: the first position.
constexpr int defaultLowFret = 0;
constexpr int defaultHighFret = 5;

QLabel* detailLabel(QWidget* parent, const char* objectName, const QString& name) {
    auto* label = new QLabel(parent);
    label->setObjectName(QLatin1String(objectName));
    label->setAccessibleName(name);
    label->setTextInteractionFlags(Qt::TextSelectableByMouse);
    label->setWordWrap(true);
    return label;
}

// What each string sounds, as the box's intervals: "x-R-5-b7-b3-5".
QString intervalsOf(const ChordDiagram& diagram) {
    QStringList marks;
    for (const ChordDiagram::String& s : diagram.strings)
        marks << (s.fret < 0 ? QStringLiteral("x") : s.interval);
    return marks.join(u'-');
}

QString notesOf(const Voicing& voicing) {
    QStringList names;
    for (const qint16 note : voicing.notes)
        names << Tuning::noteName(note);
    return names.join(u' ');
}

} // namespace

QWidget* FinderWindow::createFindPage() {
    auto* page = new QWidget(this);
    auto* layout = new QVBoxLayout(page);
    layout->addLayout(createChordRow(page));
    layout->addLayout(createFilterRow(page));

    resultsLabel = new QLabel(page);
    resultsLabel->setObjectName(QStringLiteral("resultsLabel"));
    grid = new ChordBoxGrid(page);
    describe(grid, "grid", QStringLiteral("Voicings"),
             QStringLiteral("The voicings, easiest first: arrows choose one, hold Space to "
                            "hear it, Enter adds it to the sheet"));
    auto* results = new QVBoxLayout;
    results->addWidget(resultsLabel);
    results->addWidget(grid, 1);
    auto* body = new QHBoxLayout;
    body->addLayout(results, 1);
    body->addWidget(createDetails(page), 0, Qt::AlignTop);
    layout->addLayout(body, 1);

    connectFindPage();
    showDetails(-1);
    return page;
}

QLayout* FinderWindow::createChordRow(QWidget* page) {
    chordEdit = new QLineEdit(page);
    chordEdit->setPlaceholderText(QStringLiteral("Am7, F#m7b5, C/G"));
    chordEdit->setMinimumWidth(180);
    chordEdit->setClearButtonEnabled(true);
    describe(chordEdit, "chordEdit", QStringLiteral("Chord"),
             QStringLiteral("A chord name: root, chord type and an optional /bass (Am7, "
                            "F#m7b5, Cmaj7, C6/9, C/G); the voicings appear as you type"));
    completions = new QStringListModel(page);
    completer = new QCompleter(completions, page);
    completer->setCaseSensitivity(Qt::CaseSensitive);
    completer->setModelSorting(QCompleter::UnsortedModel);
    completer->setMaxVisibleItems(completionRows);
    chordEdit->setCompleter(completer);
    chordMessage = new QLabel(page);
    chordMessage->setObjectName(QStringLiteral("chordMessage"));
    chordMessage->setTextInteractionFlags(Qt::TextSelectableByMouse);
    auto* chordLabel = new QLabel(QStringLiteral("&Chord:"), page);
    chordLabel->setBuddy(chordEdit);
    auto* chordRow = new QHBoxLayout;
    chordRow->addWidget(chordLabel);
    chordRow->addWidget(chordEdit);
    chordRow->addWidget(chordMessage, 1);
    return chordRow;
}

QLayout* FinderWindow::createFilterRow(QWidget* page) {
    fretWindowCheck = new QCheckBox(QStringLiteral("Fret &window"), page);
    describe(fretWindowCheck, "fretWindowCheck", QStringLiteral("Fret window"),
             QStringLiteral("Only voicings whose sounding strings all lie within these frets "
                            "(an open string is fret 0)"));
    lowFretSpin = new QSpinBox(page);
    describe(lowFretSpin, "lowFretSpin", QStringLiteral("Lowest fret"),
             QStringLiteral("The lowest fret of the window; 0 lets open strings sound"));
    highFretSpin = new QSpinBox(page);
    describe(highFretSpin, "highFretSpin", QStringLiteral("Highest fret"),
             QStringLiteral("The highest fret of the window"));
    stringsBox = new QComboBox(page);
    describe(stringsBox, "stringsBox", QStringLiteral("Strings"),
             QStringLiteral("How many strings the voicing sounds"));
    topBox = new QComboBox(page);
    topBox->addItem(QStringLiteral("any"), -1);
    for (int pc = 0; pc < PitchClass::count; ++pc)
        topBox->addItem(ChordTheory::PitchNames[pc], pc);
    describe(topBox, "topBox", QStringLiteral("Top note"),
             QStringLiteral("The note the highest sounding string plays, the melody note"));
    inversionsCheck = new QCheckBox(QStringLiteral("In&versions"), page);
    describe(inversionsCheck, "inversionsCheck", QStringLiteral("Inversions"),
             QStringLiteral("Also voicings over another chord tone than the root, named with "
                            "their bass (C/E)"));
    openStringsCheck = new QCheckBox(QStringLiteral("Op&en strings"), page);
    describe(openStringsCheck, "openStringsCheck", QStringLiteral("Open strings"),
             QStringLiteral("Let open strings sound (at the capo, with a capo)"));
    auto* filters = new QHBoxLayout;
    filters->addWidget(fretWindowCheck);
    filters->addWidget(lowFretSpin);
    filters->addWidget(new QLabel(QStringLiteral("to"), page));
    filters->addWidget(highFretSpin);
    filters->addSpacing(12);
    auto* stringsLabel = new QLabel(QStringLiteral("&Strings:"), page);
    stringsLabel->setBuddy(stringsBox);
    filters->addWidget(stringsLabel);
    filters->addWidget(stringsBox);
    auto* topLabel = new QLabel(QStringLiteral("T&op note:"), page);
    topLabel->setBuddy(topBox);
    filters->addWidget(topLabel);
    filters->addWidget(topBox);
    filters->addWidget(inversionsCheck);
    filters->addWidget(openStringsCheck);
    filters->addStretch(1);
    return filters;
}

QGroupBox* FinderWindow::createDetails(QWidget* page) {
    auto* details = new QGroupBox(QStringLiteral("Selected voicing"), page);
    details->setFixedWidth(detailsWidth);
    auto* form = new QFormLayout(details);
    detailName = detailLabel(details, "detailName", QStringLiteral("Name"));
    detailNotes = detailLabel(details, "detailNotes", QStringLiteral("Notes"));
    detailIntervals = detailLabel(details, "detailIntervals", QStringLiteral("Intervals"));
    detailFrets = detailLabel(details, "detailFrets", QStringLiteral("Frets"));
    detailFingering = detailLabel(details, "detailFingering", QStringLiteral("Fingering"));
    detailPlayability = detailLabel(details, "detailPlayability", QStringLiteral("Playability"));
    detailSource = detailLabel(details, "detailSource", QStringLiteral("Comes from"));
    QFont nameFont = detailName->font();
    nameFont.setBold(true);
    nameFont.setPointSizeF(nameFont.pointSizeF() * 1.4);
    detailName->setFont(nameFont);
    form->addRow(detailName);
    form->addRow(QStringLiteral("Notes:"), detailNotes);
    form->addRow(QStringLiteral("Intervals:"), detailIntervals);
    form->addRow(QStringLiteral("Frets:"), detailFrets);
    form->addRow(QStringLiteral("Fingering:"), detailFingering);
    form->addRow(QStringLiteral("Playability:"), detailPlayability);
    form->addRow(QStringLiteral("Comes from:"), detailSource);
    playButton = new QPushButton(QStringLiteral("Pla&y"), details);
    describe(playButton, "playButton", QStringLiteral("Play"),
             QStringLiteral("Sounds the voicing while you hold the button (or Space on the "
                            "grid)"));
    playButton->setAutoRepeat(false);
    addButton = new QPushButton(QStringLiteral("&Add to Sheet"), details);
    describe(addButton, "addButton", QStringLiteral("Add to Sheet"),
             QStringLiteral("Adds the voicing to the lesson sheet (Enter on the grid)"));
    auto* buttons = new QHBoxLayout;
    buttons->addWidget(playButton);
    buttons->addWidget(addButton);
    form->addRow(buttons);
    return details;
}

void FinderWindow::connectFindPage() {
    connect(chordEdit, &QLineEdit::textEdited, this, &FinderWindow::updateCompletion);
    connect(chordEdit, &QLineEdit::textChanged, this, &FinderWindow::search);
    connect(fretWindowCheck, &QCheckBox::toggled, this, &FinderWindow::filtersEdited);
    connect(lowFretSpin, &QSpinBox::valueChanged, this, &FinderWindow::filtersEdited);
    connect(highFretSpin, &QSpinBox::valueChanged, this, &FinderWindow::filtersEdited);
    connect(stringsBox, &QComboBox::currentIndexChanged, this, &FinderWindow::filtersEdited);
    connect(topBox, &QComboBox::currentIndexChanged, this, &FinderWindow::filtersEdited);
    connect(inversionsCheck, &QCheckBox::toggled, this, &FinderWindow::filtersEdited);
    connect(openStringsCheck, &QCheckBox::toggled, this, &FinderWindow::filtersEdited);
    connect(grid, &ChordBoxGrid::currentChanged, this, &FinderWindow::showDetails);
    connect(grid, &ChordBoxGrid::activated, this, &FinderWindow::addCurrentToSheet);
    connect(grid, &ChordBoxGrid::holdStarted, this, [this] { hold(currentNotes()); });
    connect(grid, &ChordBoxGrid::holdEnded, this, &FinderWindow::letGo);
    connect(playButton, &QPushButton::pressed, this, [this] { hold(currentNotes()); });
    connect(playButton, &QPushButton::released, this, &FinderWindow::letGo);
    connect(addButton, &QPushButton::clicked, this, &FinderWindow::addCurrentToSheet);
}

void FinderWindow::showFilters() {
    const int highest = m_board.highestFret();
    {
        const QSignalBlocker blockers[] = {
            QSignalBlocker(fretWindowCheck), QSignalBlocker(lowFretSpin),
            QSignalBlocker(highFretSpin),    QSignalBlocker(stringsBox),
            QSignalBlocker(topBox),          QSignalBlocker(inversionsCheck),
            QSignalBlocker(openStringsCheck)};
        const bool window = m_form.lowFret && m_form.highFret;
        fretWindowCheck->setChecked(window);
        lowFretSpin->setRange(0, highest);
        highFretSpin->setRange(0, highest);
        lowFretSpin->setValue(window ? *m_form.lowFret : defaultLowFret);
        highFretSpin->setValue(window ? *m_form.highFret : defaultHighFret);
        lowFretSpin->setEnabled(window);
        highFretSpin->setEnabled(window);
        stringsBox->clear();
        stringsBox->addItem(QStringLiteral("any"), 0);
        for (int n = VoicingGenerator::minSounding; n <= m_board.stringCount(); ++n)
            stringsBox->addItem(QString::number(n), n);
        stringsBox->setCurrentIndex(std::max(0, stringsBox->findData(m_form.strings.value_or(0))));
        topBox->setCurrentIndex(std::max(0, topBox->findData(int(m_form.top.value_or(-1)))));
        inversionsCheck->setChecked(m_form.inversions);
        openStringsCheck->setChecked(m_form.openStrings);
    }
    // What the controls can show is what the form asks for (a strings filter past this
    // instrument's strings is gone).
    const int strings = stringsBox->currentData().toInt();
    m_form.strings = strings > 0 ? std::optional<int>(strings) : std::nullopt;
}

void FinderWindow::filtersEdited() {
    const bool window = fretWindowCheck->isChecked();
    lowFretSpin->setEnabled(window);
    highFretSpin->setEnabled(window);
    // The window's ends stay in order, whichever moved.
    if (lowFretSpin->value() > highFretSpin->value()) {
        if (sender() == lowFretSpin)
            highFretSpin->setValue(lowFretSpin->value());
        else
            lowFretSpin->setValue(highFretSpin->value());
        return; // the value set calls back
    }
    m_form.lowFret = window ? std::optional<int>(lowFretSpin->value()) : std::nullopt;
    m_form.highFret = window ? std::optional<int>(highFretSpin->value()) : std::nullopt;
    const int strings = stringsBox->currentData().toInt();
    m_form.strings = strings > 0 ? std::optional<int>(strings) : std::nullopt;
    const int top = topBox->currentData().toInt();
    m_form.top = top >= 0 ? std::optional<qint16>(qint16(top)) : std::nullopt;
    m_form.inversions = inversionsCheck->isChecked();
    m_form.openStrings = openStringsCheck->isChecked();
    if (!m_restoring)
        remember([&] { m_settings.saveFilters(m_form); });
    search();
}

void FinderWindow::updateCompletion(const QString& text) {
    const QStringList candidates = ChordCompletion::candidates(text);
    if (candidates != completions->stringList())
        completions->setStringList(candidates);
}

void FinderWindow::search() {
    m_form.chord = chordEdit->text();
    QString error;
    const std::optional<VoicingFinder::Query> query = m_form.query(&error);
    chordMessage->setText(error);
    chordEdit->setAccessibleDescription(error);
    if (!query) {
        m_rows.clear();
        m_chord.reset();
        grid->setPlaceholder(error.isEmpty()
                                 ? QStringLiteral("Type a chord to see its voicings: Am7, "
                                                  "F#m7b5, Cmaj7, C/G ...")
                                 : QStringLiteral("No chord to show."));
        grid->setItems({});
        resultsLabel->setText(QStringLiteral("Voicings on the %1").arg(m_board.description()));
        return;
    }
    m_rows = VoicingFinder::find(*query);
    m_chord = query->chord;
    QList<ChordBoxGrid::Item> items;
    items.reserve(m_rows.size());
    for (const VoicingFinder::Row& row : m_rows) {
        ChordBoxGrid::Item item;
        item.diagram = VoicingDiagram::of(row.voicing, m_board, row.name, m_chord);
        item.caption = row.voicing.fretText();
        item.description = QStringLiteral("%1, frets %2, score %3")
                               .arg(row.name, item.caption, QString::number(row.voicing.score));
        items << item;
    }
    grid->setPlaceholder(QStringLiteral("No voicing of %1 matches on the %2.")
                             .arg(m_form.chord.trimmed(), m_board.description()));
    grid->setItems(items);
    resultsLabel->setText(m_rows.size() == 1
                              ? QStringLiteral("1 voicing on the %1").arg(m_board.description())
                              : QStringLiteral("%1 voicings on the %2, easiest first")
                                    .arg(QString::number(m_rows.size()), m_board.description()));
}

void FinderWindow::showDetails(int index) {
    const bool any = index >= 0 && index < m_rows.size();
    playButton->setEnabled(any);
    addButton->setEnabled(any);
    // Greyed, the name says that nothing is chosen rather than leave the panel blank.
    detailName->setEnabled(any);
    if (!any) {
        for (QLabel* label : {detailNotes, detailIntervals, detailFrets, detailFingering,
                              detailPlayability, detailSource})
            label->clear();
        detailName->setText(QStringLiteral("No voicing chosen"));
        return;
    }
    const VoicingFinder::Row& row = m_rows[index];
    const Voicing& v = row.voicing;
    detailName->setText(row.name);
    detailNotes->setText(notesOf(v));
    detailIntervals->setText(intervalsOf(grid->items()[index].diagram));
    detailFrets->setText(v.fretText());
    detailFingering->setText(v.fingerText());
    detailPlayability->setText(QStringLiteral("score %1; the hand: %2")
                                   .arg(QString::number(v.score), v.playability.description()));
    QString source = row.fromCatalogue()
                         ? QStringLiteral("the catalogue, entry %1 at %2")
                               .arg(QString::number(row.entry), ChordTheory::PitchNames[row.pitch])
                         : QStringLiteral("generated for the %1").arg(m_board.description());
    const QString shape = grid->items()[index].diagram.shapeName;
    if (!shape.isEmpty())
        source += QStringLiteral("; without the capo, the %1").arg(shape);
    detailSource->setText(source);
}

QList<qint16> FinderWindow::currentNotes() const {
    const int index = grid->currentIndex();
    return index >= 0 && index < m_rows.size() ? m_rows[index].voicing.notes : QList<qint16>();
}

void FinderWindow::addCurrentToSheet() {
    const int index = grid->currentIndex();
    if (index < 0 || index >= m_rows.size())
        return;
    const Voicing& v = m_rows[index].voicing;
    addToSheet(
        {m_rows[index].name, m_form.instrument, m_form.tuning, m_form.capo, v.frets, v.fingers});
}
