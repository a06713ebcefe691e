// The Sheet page: the chords gathered for a lesson sheet, and the files they are saved as.
#include "finder/FinderWindow.h"

#include "finder/SaveFileDialog.h"

#include <QDir>
#include <QFileInfo>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QLocale>
#include <QPushButton>
#include <QShortcut>
#include <QTabWidget>
#include <QVBoxLayout>

namespace {

constexpr int sheetPage = 2;
constexpr QSize sheetIconSize(36, 44); // a chord box beside each chord of the list
const QString untitled = QStringLiteral("Chord sheet");

QString pageTitle(int chords) {
    return chords == 0 ? QStringLiteral("S&heet") : QStringLiteral("S&heet (%1)").arg(chords);
}

} // namespace

QWidget* FinderWindow::createSheetPage() {
    auto* page = new QWidget(this);
    sheetTitleEdit = new QLineEdit(page);
    sheetTitleEdit->setPlaceholderText(QStringLiteral("Lesson 3: seventh chords"));
    describe(sheetTitleEdit, "sheetTitleEdit", QStringLiteral("Title"),
             QStringLiteral("The title printed at the top of every page"));
    sheetList = new QListWidget(page);
    sheetList->setIconSize(sheetIconSize);
    describe(sheetList, "sheetList", QStringLiteral("Chords"),
             QStringLiteral("The chords of the sheet in the order they print; add them from "
                            "the Find and Name pages"));
    moveUpButton = new QPushButton(QStringLiteral("Move &Up"), page);
    describe(moveUpButton, "moveUpButton", QStringLiteral("Move Up"),
             QStringLiteral("Moves the chosen chord one place earlier"));
    moveDownButton = new QPushButton(QStringLiteral("Move Do&wn"), page);
    describe(moveDownButton, "moveDownButton", QStringLiteral("Move Down"),
             QStringLiteral("Moves the chosen chord one place later"));
    removeButton = new QPushButton(QStringLiteral("Re&move"), page);
    describe(removeButton, "removeButton", QStringLiteral("Remove"),
             QStringLiteral("Takes the chosen chord off the sheet (Delete)"));
    savePdfButton = new QPushButton(QStringLiteral("Save P&DF Lesson Sheet..."), page);
    describe(savePdfButton, "savePdfButton", QStringLiteral("Save PDF Lesson Sheet"),
             QStringLiteral("Saves the sheet as a PDF of chord boxes with its title"));
    saveScoreButton = new QPushButton(QStringLiteral("Save Music&XML Score..."), page);
    describe(saveScoreButton, "saveScoreButton", QStringLiteral("Save MusicXML Score"),
             QStringLiteral("Saves the sheet as a MusicXML score of chord symbols and diagrams "
                            "that notation programs open"));
    saveSvgButton = new QPushButton(QStringLiteral("Save Box as SV&G..."), page);
    describe(saveSvgButton, "saveSvgButton", QStringLiteral("Save Box as SVG"),
             QStringLiteral("Saves the chosen chord's box as an SVG drawing"));
    savePngButton = new QPushButton(QStringLiteral("Sa&ve Box as PNG..."), page);
    describe(savePngButton, "savePngButton", QStringLiteral("Save Box as PNG"),
             QStringLiteral("Saves the chosen chord's box as a PNG picture"));
    sheetMessage = new QLabel(page);
    sheetMessage->setObjectName(QStringLiteral("sheetMessage"));
    sheetMessage->setWordWrap(true);
    sheetMessage->setTextInteractionFlags(Qt::TextSelectableByMouse);

    auto* titleLabel = new QLabel(QStringLiteral("Titl&e:"), page);
    titleLabel->setBuddy(sheetTitleEdit);
    auto* listLabel = new QLabel(QStringLiteral("Ch&ords:"), page);
    listLabel->setBuddy(sheetList);
    auto* side = new QVBoxLayout;
    for (QPushButton* button : {moveUpButton, moveDownButton, removeButton})
        side->addWidget(button);
    side->addSpacing(18);
    for (QPushButton* button : {savePdfButton, saveScoreButton, saveSvgButton, savePngButton})
        side->addWidget(button);
    side->addStretch(1);
    auto* layout = new QGridLayout(page);
    layout->addWidget(titleLabel, 0, 0);
    layout->addWidget(sheetTitleEdit, 0, 1);
    layout->addWidget(listLabel, 1, 0, Qt::AlignTop);
    layout->addWidget(sheetList, 1, 1);
    layout->addLayout(side, 1, 2);
    layout->addWidget(sheetMessage, 2, 1, 1, 2);
    layout->setColumnStretch(1, 1);

    connect(sheetTitleEdit, &QLineEdit::textEdited, this, [this](const QString& title) {
        m_sheet.setTitle(title);
        remember([&] { m_settings.saveSheet(m_sheet); });
    });
    connect(sheetList, &QListWidget::currentRowChanged, this, &FinderWindow::sheetRowChosen);
    connect(moveUpButton, &QPushButton::clicked, this, [this] { moveSheetEntry(-1); });
    connect(moveDownButton, &QPushButton::clicked, this, [this] { moveSheetEntry(1); });
    connect(removeButton, &QPushButton::clicked, this, &FinderWindow::removeSheetEntry);
    auto* remove =
        new QShortcut(QKeySequence::Delete, sheetList, nullptr, nullptr, Qt::WidgetShortcut);
    connect(remove, &QShortcut::activated, this, &FinderWindow::removeSheetEntry);
    connect(savePdfButton, &QPushButton::clicked, this, &FinderWindow::saveSheet);
    connect(saveScoreButton, &QPushButton::clicked, this, &FinderWindow::saveScore);
    connect(saveSvgButton, &QPushButton::clicked, this, [this] { saveBox(SheetFiles::Kind::Svg); });
    connect(savePngButton, &QPushButton::clicked, this, [this] { saveBox(SheetFiles::Kind::Png); });
    return page;
}

void FinderWindow::addToSheet(const SheetList::Entry& entry) {
    if (!m_sheet.add(entry)) {
        say(m_sheet.isFull()
                ? QStringLiteral("The sheet is full: %1 chords").arg(SheetList::maxEntries)
                : QStringLiteral("This shape cannot go on a sheet"));
        return;
    }
    sheetChanged(m_sheet.count() - 1);
    say(QStringLiteral("%1 added to the sheet (%2 chords)")
            .arg(entry.name.isEmpty() ? Fretboard::fretText(entry.frets) : entry.name,
                 QString::number(m_sheet.count())));
}

void FinderWindow::sheetChanged(int current) {
    showSheet(current);
    remember([&] { m_settings.saveSheet(m_sheet); });
}

void FinderWindow::showSheet(int current) {
    {
        const QSignalBlocker blocker(sheetList);
        sheetList->clear();
        const qreal ratio = devicePixelRatioF();
        for (const SheetList::Entry& entry : m_sheet.entries()) {
            const ChordDiagram diagram = entry.diagram();
            QImage picture = ChordBox::image(diagram, m_box, sheetIconSize * ratio);
            picture.setDevicePixelRatio(ratio);
            const QString text = QStringLiteral("%1    %2    %3")
                                     .arg(entry.name, diagram.fretText(),
                                          entry.board().value_or(Fretboard()).description());
            auto* item = new QListWidgetItem(QIcon(QPixmap::fromImage(picture)), text, sheetList);
            item->setToolTip(text);
        }
        sheetList->setCurrentRow(std::min(current, m_sheet.count() - 1));
    }
    pages->setTabText(sheetPage, pageTitle(m_sheet.count()));
    savePdfButton->setEnabled(!m_sheet.isEmpty());
    saveScoreButton->setEnabled(!m_sheet.isEmpty());
    sheetRowChosen(sheetList->currentRow());
}

void FinderWindow::sheetRowChosen(int row) {
    moveUpButton->setEnabled(row > 0);
    moveDownButton->setEnabled(row >= 0 && row + 1 < m_sheet.count());
    removeButton->setEnabled(row >= 0);
    saveSvgButton->setEnabled(row >= 0);
    savePngButton->setEnabled(row >= 0);
}

void FinderWindow::moveSheetEntry(int by) {
    const int from = sheetList->currentRow();
    if (m_sheet.move(from, from + by))
        sheetChanged(from + by);
    sheetList->setFocus();
}

void FinderWindow::removeSheetEntry() {
    const int row = sheetList->currentRow();
    if (m_sheet.remove(row))
        sheetChanged(std::min(row, m_sheet.count() - 1));
}

QString FinderWindow::askForFile(const QString& title, const QString& name, SheetFiles::Kind kind) {
    const QString folder = m_lastFolder.isEmpty() || !QFileInfo(m_lastFolder).isDir()
                               ? QDir::homePath()
                               : m_lastFolder;
    QString base = name;
    base.replace(u'/', u'-');
    const QString start = QDir(folder).filePath(base + u'.' + SheetFiles::suffix(kind));
    const QString chosen = m_services.saveDialog.chooseSaveFile(
        this, title, start, SheetFiles::filter(kind), SheetFiles::suffix(kind));
    if (chosen.isEmpty())
        return {};
    m_lastFolder = QFileInfo(chosen).absolutePath();
    remember([&] { m_settings.saveLastFolder(m_lastFolder); });
    return chosen;
}

void FinderWindow::saveSheet() {
    if (m_sheet.isEmpty())
        return;
    const QString file =
        askForFile(QStringLiteral("Save PDF Lesson Sheet"),
                   m_sheet.title().isEmpty() ? untitled : m_sheet.title(), SheetFiles::Kind::Pdf);
    if (!file.isEmpty())
        saved(file, SheetFiles::writeSheet(file, m_sheet, m_box, SheetFiles::pageFor(QLocale())));
}

void FinderWindow::saveScore() {
    if (m_sheet.isEmpty())
        return;
    const QString file = askForFile(QStringLiteral("Save MusicXML Score"),
                                    m_sheet.title().isEmpty() ? untitled : m_sheet.title(),
                                    SheetFiles::Kind::MusicXml);
    if (!file.isEmpty())
        saved(file, SheetFiles::writeScore(file, m_sheet));
}

void FinderWindow::saveBox(SheetFiles::Kind kind) {
    const int row = sheetList->currentRow();
    if (row < 0 || row >= m_sheet.count())
        return;
    const SheetList::Entry& entry = m_sheet.entries()[row];
    const QString file =
        askForFile(kind == SheetFiles::Kind::Svg ? QStringLiteral("Save Box as SVG")
                                                 : QStringLiteral("Save Box as PNG"),
                   entry.name.isEmpty() ? Fretboard::fretText(entry.frets) : entry.name, kind);
    if (!file.isEmpty())
        saved(file, SheetFiles::writeBox(kind, file, entry, m_box));
}

void FinderWindow::saved(const QString& file, const QString& error) {
    const QString shown = QDir::toNativeSeparators(file);
    sheetMessage->setText(error.isEmpty()
                              ? QStringLiteral("Saved %1").arg(shown)
                              : QStringLiteral("Could not save %1: %2").arg(shown, error));
}
