// The chord finder's window: the shared bar over the pages, start-up, settings and sound.
#include "finder/FinderWindow.h"

#include "base/Failure.h"
#include "finder/ChordBoxGrid.h"
#include "finder/ShapeEditorView.h"

#include <QCheckBox>
#include <QCloseEvent>
#include <QComboBox>
#include <QHBoxLayout>
#include <QIcon>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QSpinBox>
#include <QStatusBar>
#include <QTabWidget>
#include <QVBoxLayout>

namespace {

constexpr int defaultWidth = 980;
constexpr int defaultHeight = 720;
constexpr int strumStepMs = 10;
constexpr int messageMs = 6000; // how long a passing message stays in the status bar

} // namespace

FinderWindow::FinderWindow(FinderServices services, QWidget* parent)
    : QMainWindow(parent), m_services(std::move(services)), m_settings(m_services.settings),
      m_player(m_services.midiPort) {
    // The icon lives in this static library's resources, which are not set up by themselves.
    Q_INIT_RESOURCE(strumvane_finder);
    setWindowTitle(QStringLiteral("Strumvane Chord Finder"));
    setWindowIcon(QIcon(QStringLiteral(":/icons/strumvane-finder.svg")));
    setObjectName(QStringLiteral("FinderWindow"));

    auto* central = new QWidget(this);
    auto* layout = new QVBoxLayout(central);
    pages = new QTabWidget(central);
    describe(pages, "pages", QStringLiteral("Pages"),
             QStringLiteral("Find a chord's voicings, name a shape, or gather a lesson sheet"));
    pages->addTab(createFindPage(), QStringLiteral("&Find"));
    pages->addTab(createNamePage(), QStringLiteral("&Name"));
    pages->addTab(createSheetPage(), QStringLiteral("S&heet"));
    layout->addWidget(createFretboardBar());
    layout->addWidget(pages, 1);
    setCentralWidget(central);
    // The chord field first: it has the focus when the window opens.
    setTabOrder(chordEdit, fretWindowCheck);

    soundLabel = new QLabel(this);
    soundLabel->setObjectName(QStringLiteral("soundLabel"));
    statusBar()->addPermanentWidget(soundLabel);
    resize(defaultWidth, defaultHeight);
}

FinderWindow::~FinderWindow() {
    m_player.shutdown();
}

void FinderWindow::describe(QWidget* control, const char* objectName, const QString& name,
                            const QString& tip) {
    control->setObjectName(QLatin1String(objectName));
    control->setAccessibleName(name);
    control->setToolTip(tip);
}

QWidget* FinderWindow::createFretboardBar() {
    auto* bar = new QWidget(this);
    auto* row = new QHBoxLayout(bar);
    row->setContentsMargins(0, 0, 0, 0);

    instrumentBox = new QComboBox(bar);
    for (const QString& name : Tuning::instrumentNames())
        instrumentBox->addItem(FindForm::instrumentTitle(name), name);
    describe(instrumentBox, "instrumentBox", QStringLiteral("Instrument"),
             QStringLiteral("The fretted instrument the chords are played on"));
    tuningBox = new QComboBox(bar);
    tuningBox->setEditable(true);
    tuningBox->setInsertPolicy(QComboBox::NoInsert);
    tuningBox->setMinimumContentsLength(22);
    describe(tuningBox, "tuningBox", QStringLiteral("Tuning"),
             QStringLiteral("A tuning of the instrument, or your own: notes lowest string "
                            "first (D2 A2 D3 G3 A3 D4) or note names (DADGAD)"));
    tuningMessage = new QLabel(bar);
    tuningMessage->setObjectName(QStringLiteral("tuningMessage"));
    tuningMessage->setWordWrap(true);
    capoSpin = new QSpinBox(bar);
    capoSpin->setRange(0, Fretboard::maxCapo);
    capoSpin->setSpecialValueText(QStringLiteral("none"));
    describe(capoSpin, "capoSpin", QStringLiteral("Capo"),
             QStringLiteral("The fret the capo clamps; frets are counted from it"));
    labelsBox = new QComboBox(bar);
    labelsBox->addItem(QStringLiteral("Fingers"), int(ChordBox::Labels::Fingers));
    labelsBox->addItem(QStringLiteral("Intervals"), int(ChordBox::Labels::Intervals));
    labelsBox->addItem(QStringLiteral("Notes"), int(ChordBox::Labels::Notes));
    describe(labelsBox, "labelsBox", QStringLiteral("Labels"),
             QStringLiteral("What the dots of the chord boxes show"));
    leftHandedCheck = new QCheckBox(QStringLiteral("&Left Handed"), bar);
    describe(leftHandedCheck, "leftHandedCheck", QStringLiteral("Left Handed"),
             QStringLiteral("Mirror every chord box for a left-handed player"));
    strumSpin = new QSpinBox(bar);
    strumSpin->setRange(0, FinderSettings::maxStrumMs);
    strumSpin->setSingleStep(strumStepMs);
    strumSpin->setSuffix(QStringLiteral(" ms"));
    strumSpin->setSpecialValueText(QStringLiteral("off"));
    describe(strumSpin, "strumSpin", QStringLiteral("Strum"),
             QStringLiteral("Milliseconds between the strings when a chord is played, "
                            "lowest string first; off sounds them together"));

    const auto labelled = [&](const QString& text, QWidget* buddy) {
        auto* label = new QLabel(text, bar);
        label->setBuddy(buddy);
        row->addWidget(label);
        row->addWidget(buddy);
    };
    labelled(QStringLiteral("&Instrument:"), instrumentBox);
    labelled(QStringLiteral("&Tuning:"), tuningBox);
    row->addWidget(tuningMessage, 1);
    labelled(QStringLiteral("Ca&po:"), capoSpin);
    row->addSpacing(12);
    labelled(QStringLiteral("La&bels:"), labelsBox);
    row->addWidget(leftHandedCheck);
    labelled(QStringLiteral("St&rum:"), strumSpin);

    connect(instrumentBox, &QComboBox::currentIndexChanged, this, [this] {
        fillTunings();
        fretboardEdited();
    });
    connect(tuningBox, &QComboBox::currentTextChanged, this, &FinderWindow::fretboardEdited);
    connect(capoSpin, &QSpinBox::valueChanged, this, &FinderWindow::fretboardEdited);
    connect(labelsBox, &QComboBox::currentIndexChanged, this, &FinderWindow::boxOptionsEdited);
    connect(leftHandedCheck, &QCheckBox::toggled, this, &FinderWindow::boxOptionsEdited);
    connect(strumSpin, &QSpinBox::valueChanged, this, [this](int ms) {
        m_player.setStrumMs(ms);
        if (!m_restoring)
            remember([&] { m_settings.saveStrum(ms); });
    });
    fillTunings();
    return bar;
}

void FinderWindow::fillTunings() {
    const QString instrument = instrumentBox->currentData().toString();
    const QSignalBlocker blocker(tuningBox);
    tuningBox->clear();
    for (const QString& name : Tuning::presetNames()) {
        const std::optional<Tuning> preset = Tuning::preset(name);
        if (preset->instrument() != instrument)
            continue;
        // The instrument's own tuning is "standard", and empty in the form.
        const bool own = name == instrument;
        tuningBox->addItem(QStringLiteral("%1 (%2)").arg(own ? QStringLiteral("standard") : name,
                                                         preset->notesText()),
                           own ? QString() : name);
    }
    tuningBox->setCurrentIndex(0);
}

void FinderWindow::fretboardEdited() {
    FindForm form = m_form;
    form.instrument = instrumentBox->currentData().toString();
    const int item = tuningBox->findText(tuningBox->currentText());
    form.tuning = item >= 0 ? tuningBox->itemData(item).toString() : tuningBox->currentText();
    form.capo = capoSpin->value();
    QString error;
    const std::optional<Fretboard> board = form.board(&error);
    // A tuning being typed that does not read yet leaves the last fretboard in use.
    tuningMessage->setText(board ? QString() : error);
    tuningBox->setAccessibleDescription(tuningMessage->text());
    if (!board)
        return;
    m_form.instrument = form.instrument;
    m_form.tuning = form.tuning.trimmed();
    m_form.capo = form.capo;
    m_board = *board;
    if (!m_restoring)
        remember([&] { m_settings.saveFretboard(m_form); });
    m_editor.setBoard(m_board);
    firstFretSpin->setRange(1, m_editor.lastFirstFret());
    editorView->refresh();
    showFilters();
    search();
    shapeChanged();
}

void FinderWindow::boxOptionsEdited() {
    m_box.labels = ChordBox::Labels(labelsBox->currentData().toInt());
    m_box.leftHanded = leftHandedCheck->isChecked();
    applyBoxOptions();
    if (m_restoring)
        return;
    remember([&] {
        m_settings.saveLabels(m_box.labels);
        m_settings.saveLeftHanded(m_box.leftHanded);
    });
}

void FinderWindow::applyBoxOptions() {
    grid->setBoxOptions(m_box);
    editorView->setBoxOptions(m_box);
    showSheet(sheetList->currentRow());
}

void FinderWindow::start() {
    if (m_player.open() == 0)
        soundLabel->setText(QStringLiteral("Sound on"));
    else
        soundLabel->setText(QStringLiteral("No sound output"));
    if (m_services.soundDescription)
        soundLabel->setToolTip(m_services.soundDescription());

    const FinderSettings::Choices choices = m_settings.load();
    m_restoring = true;
    m_form = choices.form;
    m_sheet = choices.sheet;
    m_lastFolder = choices.lastFolder;
    // Each control's handler takes the form's fretboard from all three controls: the kept
    // values are read from `choices` while the controls are being set one by one.
    instrumentBox->setCurrentIndex(std::max(0, instrumentBox->findData(choices.form.instrument)));
    fillTunings();
    const int tuning = tuningBox->findData(choices.form.tuning);
    if (tuning >= 0)
        tuningBox->setCurrentIndex(tuning);
    else
        tuningBox->setEditText(choices.form.tuning);
    capoSpin->setValue(choices.form.capo);
    labelsBox->setCurrentIndex(std::max(0, labelsBox->findData(int(choices.labels))));
    leftHandedCheck->setChecked(choices.leftHanded);
    strumSpin->setValue(choices.strumMs);
    sheetTitleEdit->setText(m_sheet.title());
    fretboardEdited();
    boxOptionsEdited();
    showSheet(m_sheet.isEmpty() ? -1 : 0);
    m_restoring = false;
    chordEdit->setFocus();
}

void FinderWindow::closeEvent(QCloseEvent* event) {
    m_player.shutdown();
    QMainWindow::closeEvent(event);
}

void FinderWindow::remember(const std::function<void()>& write) {
    try {
        write();
    } catch (const Failure& failure) {
        say(QStringLiteral("Your choices could not be kept: %1").arg(failure.description()));
    }
}

void FinderWindow::say(const QString& message) {
    statusBar()->showMessage(message, messageMs);
}

void FinderWindow::hold(const QList<qint16>& notes) {
    m_player.press(notes);
}

void FinderWindow::letGo() {
    m_player.release();
}
