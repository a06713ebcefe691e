#include "finder/SheetFiles.h"

#include "base/Failure.h"
#include "finder/FindForm.h"
#include "writers/ChordBoxSheet.h"
#include "writers/ImageFile.h"
#include "writers/MusicXmlScore.h"
#include "writers/VectorChartFile.h"

QString SheetFiles::suffix(Kind kind) {
    switch (kind) {
    case Kind::Pdf:
        return QStringLiteral("pdf");
    case Kind::MusicXml:
        return QStringLiteral("musicxml");
    case Kind::Svg:
        return QStringLiteral("svg");
    case Kind::Png:
        return QStringLiteral("png");
    }
    return {};
}

QString SheetFiles::filter(Kind kind) {
    switch (kind) {
    case Kind::Pdf:
        return QStringLiteral("PDF lesson sheet (*.pdf)");
    case Kind::MusicXml:
        return QStringLiteral("MusicXML score (*.musicxml)");
    case Kind::Svg:
        return QStringLiteral("SVG chord box (*.svg)");
    case Kind::Png:
        return QStringLiteral("PNG picture (*.png)");
    }
    return {};
}

QPageSize::PageSizeId SheetFiles::pageFor(const QLocale& locale) {
    return locale.measurementSystem() == QLocale::ImperialUSSystem ? QPageSize::Letter
                                                                   : QPageSize::A4;
}

QString SheetFiles::writeSheet(const QString& fileName, const SheetList& sheet,
                               const ChordBox::Options& box, QPageSize::PageSizeId page) {
    if (sheet.isEmpty())
        return QStringLiteral("the sheet has no chords");
    ChordBoxSheet::Options options;
    options.title = sheet.title();
    options.box = box;
    options.page = page;
    QList<ChordDiagram> diagrams;
    for (const SheetList::Entry& entry : sheet.entries())
        diagrams << entry.diagram();
    try {
        ChordBoxSheet::write(fileName, diagrams, options);
    } catch (const Failure& failure) {
        return failure.description();
    }
    return {};
}

QString SheetFiles::writeScore(const QString& fileName, const SheetList& sheet) {
    if (sheet.isEmpty())
        return QStringLiteral("the sheet has no chords");
    const SheetList::Entry& first = sheet.entries().first();
    const std::optional<Fretboard> board = first.board();
    for (const SheetList::Entry& entry : sheet.entries()) {
        if (entry.instrument != first.instrument || entry.tuning != first.tuning ||
            entry.capo != first.capo)
            return QStringLiteral("the chords of a MusicXML score share one instrument, tuning "
                                  "and capo: %1 is on the %2, %3 on the %4")
                .arg(first.name, board->description(), entry.name, entry.board()->description());
    }
    MusicXmlScore::Score score;
    score.title = sheet.title();
    score.instrument = FindForm::instrumentTitle(first.instrument);
    score.board = *board;
    for (const SheetList::Entry& entry : sheet.entries())
        score.chords << MusicXmlScore::Chord{entry.name, ChordSymbol::parse(entry.name),
                                             entry.diagram()};
    QString reason;
    try {
        const WriteResult result = MusicXmlScore::write(fileName, score, &reason);
        if (result != WriteResult::Written)
            return reason.isEmpty() ? writeResultText(result) : reason;
    } catch (const Failure& failure) {
        return failure.description();
    }
    return {};
}

QString SheetFiles::writeBox(Kind kind, const QString& fileName, const SheetList::Entry& entry,
                             const ChordBox::Options& box) {
    const ChordDiagram diagram = entry.diagram();
    if (kind == Kind::Png) {
        QString reason;
        const WriteResult result = ImageFile::writeFile(
            fileName, ImageFile::encodePng(ChordBox::image(diagram, box)), &reason);
        if (result == WriteResult::Written)
            return {};
        return reason.isEmpty() ? writeResultText(result) : reason;
    }
    // A PDF of one box is a sheet of one chord.
    ChordBoxSheet::Options sheet;
    sheet.box = box;
    try {
        if (kind == Kind::Svg)
            VectorChartFile::write(fileName, VectorChartFile::Format::Svg, diagram, box);
        else
            ChordBoxSheet::write(fileName, {diagram}, sheet);
    } catch (const Failure& failure) {
        return failure.description();
    }
    return {};
}
