#pragma once

#include <QStringView>
#include <optional>

// Whole numbers as a user or a data file writes them.
namespace WholeNumber {

// A number written in ASCII decimal digits only, within low..high (0 <= low <= high): "7" and
// "007" give 7. nullopt for anything else: an empty text, a sign ("+7", "-1"), blanks (" 7"),
// other digits ("٣", "１"), a fraction, or a value past `high` however long ("99999999999").
std::optional<int> parse(QStringView text, int low, int high);

// The same with an optional fraction after one point: "1.5", "600", "007.25" within low..high;
// nullopt for ".5", "1.", "1e2", "0x1", " 1", "1,5", other digits, or a value outside.
std::optional<double> parseDecimal(QStringView text, double low, double high);

} // namespace WholeNumber
