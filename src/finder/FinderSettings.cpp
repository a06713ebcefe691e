#include "finder/FinderSettings.h"

#include "base/WholeNumber.h"
#include "catalogue/ChordTheory.h"
#include "fretboard/Tuning.h"
#include "shell/SettingsStore.h"

#include <QStringList>
#include <optional>

namespace {

constexpr QLatin1StringView instrumentKey("Instrument");
constexpr QLatin1StringView tuningKey("Tuning");
constexpr QLatin1StringView capoKey("Capo");
constexpr QLatin1StringView fretsKey("Frets");
constexpr QLatin1StringView stringsKey("Strings");
constexpr QLatin1StringView topKey("Top Note");
constexpr QLatin1StringView inversionsKey("Inversions");
constexpr QLatin1StringView openStringsKey("Open Strings");
constexpr QLatin1StringView labelsKey("Labels");
constexpr QLatin1StringView leftHandedKey("Left Handed");
constexpr QLatin1StringView strumKey("Strum");
constexpr QLatin1StringView sheetTitleKey("Sheet Title");
constexpr QLatin1StringView sheetKey("Sheet");

// A filter that lets everything through.
constexpr QLatin1StringView anyText("any");
constexpr QLatin1StringView trueText("true");
constexpr QLatin1StringView falseText("false");

constexpr int highestFret = 24;

QString boolText(bool value) {
    return value ? trueText : falseText;
}

std::optional<bool> readBool(const QString& text) {
    if (text == trueText)
        return true;
    if (text == falseText)
        return false;
    return std::nullopt;
}

// A stored whole number within low..high, or `fallback`.
int readNumber(const SettingsStore& store, QLatin1StringView key, int low, int high, int fallback) {
    return WholeNumber::parse(store.getSetting(key, fallback), low, high).value_or(fallback);
}

bool readBool(const SettingsStore& store, QLatin1StringView key, bool fallback) {
    return readBool(store.getSetting(key, boolText(fallback))).value_or(fallback);
}

} // namespace

QString FinderSettings::labelsText(ChordBox::Labels labels) {
    switch (labels) {
    case ChordBox::Labels::Intervals:
        return QStringLiteral("intervals");
    case ChordBox::Labels::Notes:
        return QStringLiteral("notes");
    default:
        return QStringLiteral("fingers");
    }
}

FinderSettings::Choices FinderSettings::load() const {
    Choices c;
    FindForm& form = c.form;

    // Instrument and tuning are taken together: a tuning that does not go with the
    // instrument read is dropped.
    form.instrument = m_store.getSetting(instrumentKey, QLatin1String(FindForm::defaultInstrument));
    if (!form.instrumentTuning())
        form.instrument = QLatin1String(FindForm::defaultInstrument);
    form.tuning = m_store.getSetting(tuningKey, QString());
    if (!form.board())
        form.tuning.clear();
    form.capo = readNumber(m_store, capoKey, 0, Fretboard::maxCapo, 0);

    const QString frets = m_store.getSetting(fretsKey, anyText);
    const QStringList range = frets.split(u'-');
    if (range.size() == 2) {
        const std::optional<int> low = WholeNumber::parse(range[0], 0, highestFret);
        const std::optional<int> high = WholeNumber::parse(range[1], 0, highestFret);
        if (low && high && *low <= *high) {
            form.lowFret = low;
            form.highFret = high;
        }
    }
    const int strings = form.board()->stringCount();
    const QString stringsText = m_store.getSetting(stringsKey, anyText);
    form.strings = WholeNumber::parse(stringsText, 1, strings);
    const QString top = m_store.getSetting(topKey, anyText);
    if (top != anyText)
        form.top = ChordTheory::parseNoteName(top);
    form.inversions = readBool(m_store, inversionsKey, false);
    form.openStrings = readBool(m_store, openStringsKey, true);

    const QString labels = m_store.getSetting(labelsKey, labelsText(c.labels));
    for (const ChordBox::Labels l :
         {ChordBox::Labels::Fingers, ChordBox::Labels::Intervals, ChordBox::Labels::Notes}) {
        if (labels == labelsText(l))
            c.labels = l;
    }
    c.leftHanded = readBool(m_store, leftHandedKey, false);
    c.strumMs = readNumber(m_store, strumKey, 0, maxStrumMs, 0);
    c.sheet = SheetList::fromText(m_store.getSetting(sheetTitleKey, QString()),
                                  m_store.getSetting(sheetKey, QString()));
    c.lastFolder = m_store.lastFolder();
    return c;
}

void FinderSettings::saveFretboard(const FindForm& form) {
    m_store.saveSetting(instrumentKey, form.instrument);
    m_store.saveSetting(tuningKey, form.tuning);
    m_store.saveSetting(capoKey, form.capo);
}

void FinderSettings::saveFilters(const FindForm& form) {
    m_store.saveSetting(fretsKey, form.lowFret && form.highFret
                                      ? QStringLiteral("%1-%2").arg(QString::number(*form.lowFret),
                                                                    QString::number(*form.highFret))
                                      : QString(anyText));
    m_store.saveSetting(stringsKey, form.strings ? QString::number(*form.strings) : anyText);
    m_store.saveSetting(topKey, form.top ? ChordTheory::PitchNames[*form.top] : anyText);
    m_store.saveSetting(inversionsKey, boolText(form.inversions));
    m_store.saveSetting(openStringsKey, boolText(form.openStrings));
}

void FinderSettings::saveLabels(ChordBox::Labels labels) {
    m_store.saveSetting(labelsKey, labelsText(labels));
}

void FinderSettings::saveLeftHanded(bool leftHanded) {
    m_store.saveSetting(leftHandedKey, boolText(leftHanded));
}

void FinderSettings::saveStrum(int ms) {
    m_store.saveSetting(strumKey, ms);
}

void FinderSettings::saveSheet(const SheetList& sheet) {
    m_store.saveSetting(sheetTitleKey, sheet.title());
    m_store.saveSetting(sheetKey, sheet.text());
}

void FinderSettings::saveLastFolder(const QString& folder) {
    m_store.setLastFolder(folder);
}
