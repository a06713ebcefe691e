#include "base/Failure.h"
#include "shell/NumericText.h"

#include <gtest/gtest.h>

namespace {

struct ParseCase {
    const char* text;
    int expected; // the value, or the failure number when fails is set
    bool fails;
};

void PrintTo(const ParseCase& c, std::ostream* os) {
    *os << '"' << c.text << '"';
}

const ParseCase parseCases[] = {
    {"35", 35, false},
    {"0", 0, false},
    {"  7\t", 7, false},
    {"+12", 12, false},
    {"-12", -12, false},
    {"007", 7, false},
    {"10.5", 10, false},
    {"11.5", 12, false},
    {"11.6", 12, false},
    {"0.5", 0, false},
    {"1.5", 2, false},
    {"2.5", 2, false},
    {"-2.5", -2, false},
    {"-3.5", -4, false},
    {"2.50001", 3, false},
    {"2.4999999", 2, false},
    {"-0.4", 0, false},
    {".5", 0, false},
    {".6", 1, false},
    {"3.", 3, false},
    {"32767", 32767, false},
    {"32767.4", 32767, false},
    {"-32768", -32768, false},
    {"-32768.5", -32768, false},
    {"00000000000000000012", 12, false},
    {"32767.5", 6, true},
    {"32768", 6, true},
    {"-32769", 6, true},
    {"-32768.51", 6, true},
    {"99999999999999999999", 6, true},
    {"", 13, true},
    {"   ", 13, true},
    {"x", 13, true},
    {"+", 13, true},
    {"-", 13, true},
    {".", 13, true},
    {"1.2.3", 13, true},
    {"1 2", 13, true},
    {"- 1", 13, true},
    {"12abc", 13, true},
    {"0x10", 13, true},
    {"1e3", 13, true},
    {"++1", 13, true},
    {"1,5", 13, true},
};

} // namespace

class ParseInt16Tests : public ::testing::TestWithParam<ParseCase> {};

TEST_P(ParseInt16Tests, ConvertsOrFailsAsTabled) {
    const ParseCase& c = GetParam();
    const QString text = QString::fromLatin1(c.text);
    if (!c.fails) {
        EXPECT_EQ(parseInt16(text), c.expected);
        return;
    }
    try {
        parseInt16(text);
        FAIL() << "no failure for \"" << c.text << '"';
    } catch (const Failure& failure) {
        EXPECT_EQ(failure.number(), c.expected);
    }
}

INSTANTIATE_TEST_SUITE_P(Table, ParseInt16Tests, ::testing::ValuesIn(parseCases));

TEST(Int16TextTests, IsShortestDecimalAndReadsBack) {
    for (const int value : {0, 5, 35, 610, -1, 32767, -32768}) {
        const QString text = int16Text(static_cast<qint16>(value));
        EXPECT_EQ(text, QString::number(value));
        EXPECT_EQ(parseInt16(text), value);
    }
}
