#include "window/Form1.h"

#include "base/Failure.h"
#include "catalogue/ChordCatalogue.h"
#include "catalogue/ChordTheory.h"
#include "chart/ChartRenderer.h"
#include "chart/ChartStyle.h"
#include "shell/ErrorTrap.h"
#include "shell/MessageBoxes.h"
#include "shell/SettingsStore.h"
#include "window/ChartPicture.h"
#include "window/ProgressBar.h"
#include "window/PushButton.h"
#include "window/SkinFramework.h"

#include <QCheckBox>
#include <QGroupBox>
#include <QItemSelectionModel>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QRadioButton>
#include <QSignalBlocker>
#include <exception>

// The window's icon is compiled into the library, which a static build must register.
static void initResources() {
    Q_INIT_RESOURCE(strumvane);
}

namespace {

// Places a control by the layout's twips, relative to its parent.
void placeTwips(QWidget* widget, int left, int top, int width, int height) {
    const auto px = [](int twips) {
        return (twips + Form1::twipsPerPixel / 2) / Form1::twipsPerPixel;
    };
    widget->setGeometry(px(left), px(top), px(width), px(height));
}

QFont boldFont(const QString& family, qreal points) {
    QFont font(family);
    font.setPointSizeF(points);
    font.setBold(true);
    return font;
}

QGroupBox* frame(QWidget* parent, const QString& caption, int left, int top, int width,
                 int height) {
    auto* box = new QGroupBox(caption, parent);
    placeTwips(box, left, top, width, height);
    return box;
}

QLabel* label(QWidget* parent, const QString& caption, int left, int top, int width, int height) {
    auto* l = new QLabel(caption, parent);
    placeTwips(l, left, top, width, height);
    // Caption fonts differ slightly from one system to another: a caption that would be
    // clipped grows to the left, keeping its right edge beside its field.
    const int needed = l->sizeHint().width();
    if (needed > l->width())
        l->setGeometry(l->x() + l->width() - needed, l->y(), needed, l->height());
    l->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    return l;
}

QLineEdit* detailField(QWidget* parent, int left, int top) {
    auto* field = new QLineEdit(parent);
    field->setReadOnly(true);
    placeTwips(field, left, top, 2160, 345);
    return field;
}

PushButton* pushButton(QWidget* parent, const QString& caption, int left, int top, int width,
                       int height) {
    auto* button = new PushButton(caption, parent);
    placeTwips(button, left, top, width, height);
    return button;
}

} // namespace

Form1::Form1(Form1Services services, QWidget* parent)
    : QWidget(parent), m_services(std::move(services)), sound(m_services.midiPort),
      files(m_services.fileWriter) {
    initResources();
    programFolder = m_services.programFolder;
    customPointer = QCursor(Qt::PointingHandCursor);
    createControls();
    connectHandlers();
}

Form1::~Form1() = default;

void Form1::createControls() {
    setFixedSize(10440 / twipsPerPixel, 11040 / twipsPerPixel);
    setFont(boldFont(QStringLiteral("Arial"), 9));
    // The window and its frames, labels and option buttons are white by design.
    QPalette white = palette();
    white.setColor(QPalette::Window, Qt::white);
    setPalette(white);
    setAutoFillBackground(true);

    Frame1 = frame(this, QStringLiteral("Chords"), 120, 120, 2280, 10815);
    ListView1 = new QListWidget(Frame1);
    ListView1->setSelectionMode(QAbstractItemView::SingleSelection);
    ListView1->setFont(boldFont(QStringLiteral("Arial"), 8.25));
    ListView1->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    placeTwips(ListView1, 240, 300, 1815, 10140);

    Frame2 = frame(this, QStringLiteral("Pitch"), 2520, 90, 7800, 705);
    for (int i = 0; i < 12; ++i) {
        Option1[i] = new QRadioButton(ChordTheory::PitchNames[i], Frame2);
        placeTwips(Option1[i], 240 + 600 * i, 300, i == 11 ? 495 : 615, 255);
    }
    Option1[0]->setChecked(true);

    Frame5 = frame(this, QStringLiteral("Handed Options"), 2520, 840, 7800, 735);
    chkLeftHanded = new QCheckBox(QStringLiteral("Left Handed"), Frame5);
    placeTwips(chkLeftHanded, 240, 300, 2175, 255);

    Frame6 = frame(this, QStringLiteral("Details"), 2520, 1620, 7800, 1245);
    Label4 = label(Frame6, QStringLiteral("Chord Name:"), 360, 330, 1095, 225);
    txtChordName = detailField(Frame6, 1560, 270);
    Label3 = label(Frame6, QStringLiteral("Chord Spelling:"), 3990, 330, 1275, 225);
    txtChordSpelling = detailField(Frame6, 5400, 270);
    Label1 = label(Frame6, QStringLiteral("Fret Numbers:"), 240, 810, 1200, 225);
    txtFretNumbers = detailField(Frame6, 1560, 750);
    Label2 = label(Frame6, QStringLiteral("Fingering:"), 4440, 810, 825, 225);
    txtFingering = detailField(Frame6, 5400, 750);

    Picture1 = new ChartPicture(this, ChartSurface::arialBold());
    placeTwips(Picture1, 2520, 2970, 7800, 1815);
    Picture2 = new ChartPicture(this, ChartSurface::msSansSerifBold());
    placeTwips(Picture2, 2520, 4890, 7800, 1815);
    // Right of the client area: never seen, but it holds the blank chart for the export.
    Picture3 = new ChartPicture(this, ChartSurface::arialBold());
    placeTwips(Picture3, 10920, 480, 7800, 1815);

    Frame4 = frame(this, QStringLiteral("Save As"), 2520, 6780, 7800, 705);
    Option2 = new QRadioButton(QStringLiteral("JPG"), Frame4);
    placeTwips(Option2, 240, 300, 975, 255);
    Option3 = new QRadioButton(QStringLiteral("BMP"), Frame4);
    placeTwips(Option3, 1440, 300, 975, 255);
    Option2->setChecked(true);

    Frame3 = frame(this, QStringLiteral("Save Results To This Folder"), 2520, 7560, 7800, 795);
    Text2 = new QLineEdit(Frame3);
    placeTwips(Text2, 240, 300, 6660, 345);
    PushButton7 = pushButton(Frame3, QStringLiteral("..."), 6960, 300, 600, 345);

    PushButton1 =
        pushButton(this, QStringLiteral("Save Charts Above As Image Files"), 2520, 8460, 7800, 405);
    PushButton4 =
        pushButton(this, QStringLiteral("Save All Charts As Image Files "), 2520, 8970, 7800, 405);
    PushButton3 = pushButton(this, QStringLiteral("Play Chord Sound"), 2520, 9480, 7800, 405);
    PushButton2 =
        pushButton(this, QStringLiteral("Save A Blank Chart To Image File"), 2520, 9990, 7800, 405);
    ProgressBar1 = new ProgressBar(this);
    placeTwips(ProgressBar1, 2520, 10500, 7800, 405);

    SkinFramework1 = std::make_unique<SkinFramework>();
    nameControls();
}

void Form1::nameControls() {
    const std::pair<QWidget*, const char*> controls[] = {
        {Frame1, "Frame1"},
        {Frame2, "Frame2"},
        {Frame3, "Frame3"},
        {Frame4, "Frame4"},
        {Frame5, "Frame5"},
        {Frame6, "Frame6"},
        {ListView1, "ListView1"},
        {chkLeftHanded, "chkLeftHanded"},
        {Label1, "Label1"},
        {Label2, "Label2"},
        {Label3, "Label3"},
        {Label4, "Label4"},
        {txtChordName, "txtChordName"},
        {txtChordSpelling, "txtChordSpelling"},
        {txtFretNumbers, "txtFretNumbers"},
        {txtFingering, "txtFingering"},
        {Picture1, "Picture1"},
        {Picture2, "Picture2"},
        {Picture3, "Picture3"},
        {Option2, "Option2"},
        {Option3, "Option3"},
        {Text2, "Text2"},
        {PushButton1, "PushButton1"},
        {PushButton2, "PushButton2"},
        {PushButton3, "PushButton3"},
        {PushButton4, "PushButton4"},
        {PushButton7, "PushButton7"},
        {ProgressBar1, "ProgressBar1"},
    };
    for (const auto& [control, name] : controls)
        control->setObjectName(QLatin1String(name));
    for (size_t i = 0; i < Option1.size(); ++i)
        Option1[i]->setObjectName(QStringLiteral("Option1_%1").arg(i));
}

void Form1::connectHandlers() {
    connect(ListView1, &QListWidget::currentRowChanged, this,
            [this](int) { guarded("Form1.ListView1_Click", [this] { ListView1_Click(); }); });
    // A Ctrl+click on the chosen line would unselect it while its chord stays on show; once a
    // line is chosen, one line stays chosen.
    connect(ListView1->selectionModel(), &QItemSelectionModel::selectionChanged, this, [this] {
        if (ListView1->currentItem() && ListView1->selectedItems().isEmpty())
            ListView1->currentItem()->setSelected(true);
    });
    for (int i = 0; i < 12; ++i) {
        connect(Option1[i], &QRadioButton::toggled, this, [this, i](bool checked) {
            if (checked)
                guarded("Form1.Option1_Click", [this, i] { Option1_Click(i); });
        });
    }
    connect(chkLeftHanded, &QCheckBox::toggled, this, [this](bool) {
        guarded("Form1.chkLeftHanded_Click", [this] { chkLeftHanded_Click(); });
    });
    connect(Option2, &QRadioButton::toggled, this, [this](bool checked) {
        if (checked)
            guarded("Form1.Option2_Click", [this] { Option2_Click(); });
    });
    connect(Option3, &QRadioButton::toggled, this, [this](bool checked) {
        if (checked)
            guarded("Form1.Option3_Click", [this] { Option3_Click(); });
    });
    connect(Text2, &QLineEdit::textChanged, this,
            [this] { guarded("Form1.Text2_Change", [this] { Text2_Change(); }); });

    // The commands carry their own traps.
    connect(PushButton1, &PushButton::clicked, this, [this] { PushButton1_Click(); });
    connect(PushButton2, &PushButton::clicked, this, [this] { PushButton2_Click(); });
    connect(PushButton4, &PushButton::clicked, this, [this] { PushButton4_Click(); });
    connect(PushButton7, &PushButton::clicked, this, [this] { PushButton7_Click(); });
    connect(PushButton3, &PushButton::mouseDown, this, [this] { PushButton3_MouseDown(); });
    connect(PushButton3, &PushButton::mouseUp, this, [this] { PushButton3_MouseUp(); });

    // Pointer feedback: the hand over the push buttons, the arrow over frames and background.
    for (PushButton* button : {PushButton1, PushButton2, PushButton3, PushButton4, PushButton7}) {
        connect(button, &PushButton::mouseMoved, this,
                [this] { guarded("Form1.PushButton_MouseMove", [this] { HandPointer(); }); });
    }
    setMouseTracking(true);
    for (QGroupBox* box : {Frame1, Frame2, Frame3, Frame4, Frame5, Frame6}) {
        box->setMouseTracking(true);
        box->installEventFilter(this);
    }
}

void Form1::guarded(const char* procedure, const std::function<void()>& handler) {
    guardHandler(m_services.messages, QString::fromLatin1(procedure), handler);
}

int Form1::selectedEntry() const {
    return ListView1->currentRow() + 1;
}

void Form1::LoadChordCatalogue() {
    // Filling the list is not a selection: no handler may run meanwhile.
    const QSignalBlocker blocker(ListView1);
    ListView1->clear();
    QStringList lines;
    lines.reserve(ChordCatalogue::entryCount);
    for (const ChordEntry& entry : ChordCatalogue::entries())
        lines << QString::fromLatin1(entry.chordType);
    ListView1->addItems(lines);
    // Through the view, not setCurrentRow: only then does the view know that "no line" is
    // chosen on purpose, and it does not make the first line current when it gets the focus.
    ListView1->setCurrentIndex(QModelIndex());
}

void Form1::ShowChord() {
    const ChordEntry& entry = ChordCatalogue::entry(selectedEntry());
    const QString spelling = QString::fromLatin1(entry.spelling);
    const ChordTheory::PlacedChord chord = ChordTheory::placeChord(
        QString::fromLatin1(entry.fretPattern), spelling, Pitch, openStringNotes, rootShift);
    rootShift = chord.rootShift;

    chordNotes = chord.notes;
    chordNoteCount = static_cast<qint16>(chordNotes.size());
    txtChordSpelling->setText(chord.noteNames);
    txtFretNumbers->setText(chord.fretNumbers);
    txtFingering->setText(QString::fromLatin1(entry.fingering));

    const ChartStyle fingering = ChartStyle::fingering();
    const ChartStyle interval = ChartStyle::interval();
    DrawChartGrid(*Picture1);
    DrawChordMarks(txtFretNumbers->text(), *Picture1, txtFingering->text(), fingering.dotWidth,
                   fingering.labelColour, fingering.dotColour);
    DrawChartGrid(*Picture2);
    DrawChordMarks(txtFretNumbers->text(), *Picture2, spelling, interval.dotWidth,
                   interval.labelColour, interval.dotColour);
}

void Form1::DrawChartGrid(ChartPicture& target) {
    fretCount = static_cast<quint8>(
        ChartRenderer::DrawChartGrid(target.surface(), chkLeftHanded->isChecked()));
    target.update();
}

void Form1::DrawChordMarks(const QString& fretNumbers, ChartPicture& target, const QString& labels,
                           float dotWidth, QRgb labelColour, QRgb dotColour) {
    const ChordEntry& entry = ChordCatalogue::entry(selectedEntry());
    const QString name =
        ChordTheory::chordDisplayName(QString::fromLatin1(entry.chordType), Pitch, rootShift);
    ChartRenderer::DrawChordMarks(target.surface(), fretNumbers, labels, dotWidth, labelColour,
                                  dotColour, name, chkLeftHanded->isChecked());
    chordName = name;
    txtChordName->setText(name);
    target.update();
}

void Form1::ListView1_Click() {
    ShowChord();
    const int row = ListView1->currentRow();
    Frame1->setTitle(QStringLiteral("Chords - [%1 / %2]")
                         .arg(QString::number(row + 1), QString::number(ListView1->count())));
    m_services.settings.setChords(row);
}

void Form1::Option1_Click(int index) {
    // Stored first, so the Pitch survives a restart even if drawing fails. A store that
    // cannot be written must not leave the chosen button showing another Pitch's chord: the
    // chord follows the button, and the failure is reported afterwards.
    std::exception_ptr storeFailure;
    try {
        m_services.settings.setPitch(index);
    } catch (...) {
        storeFailure = std::current_exception();
    }
    Pitch = static_cast<qint16>(index);
    if (ListView1->currentRow() >= 0 && !txtFretNumbers->text().isEmpty() &&
        !txtFingering->text().isEmpty())
        ShowChord();
    if (storeFailure)
        std::rethrow_exception(storeFailure);
}

void Form1::chkLeftHanded_Click() {
    if (!txtFretNumbers->text().isEmpty() && !txtFingering->text().isEmpty())
        ShowChord();
}

void Form1::selectChordLine(int row) {
    if (row < 0 || row >= ListView1->count())
        throw Failure::invalidPropertyValue();
    if (row == ListView1->currentRow())
        return;
    {
        // The handler runs here, not from the signal, so that its failures reach our caller.
        const QSignalBlocker blocker(ListView1);
        ListView1->setCurrentRow(row);
    }
    ListView1_Click();
}

void Form1::choosePitch(int index) {
    if (index < 0 || index >= int(Option1.size()))
        throw Failure::controlArrayElementMissing(index);
    if (Option1[index]->isChecked())
        return;
    {
        const QSignalBlocker blocker(Option1[index]);
        Option1[index]->setChecked(true);
    }
    Option1_Click(index);
}
