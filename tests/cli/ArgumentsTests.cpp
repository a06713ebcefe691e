// The readers every command shares: the edges of whole numbers, which the commands' own
// tests reach only one option at a time, and the words of --chart.
#include "cli/Arguments.h"

#include <gtest/gtest.h>

TEST(Arguments, WholeNumber_AsciiDigitsWithinTheBoundsOnly) {
    const struct {
        const char16_t* text;
        std::optional<int> value; // within 0..611
    } cases[] = {
        {u"7", 7},       {u"007", 7},         {u"0", 0},        {u"611", 611},
        {u"612", {}},    {u"+7", {}},         {u"-1", {}},      {u" 7", {}},
        {u"7 ", {}},     {u"", {}},           {u"7.0", {}},     {u"1e2", {}},
        {u"\u0663", {}}, {u"\uFF11", {}},     {u"9\uFF11", {}}, {u"99999999999", {}},
        {u"0x10", {}},   {u"4294967303", {}}, // 2^32 + 7 must not wrap to 7
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(QString::fromUtf16(c.text).toStdString());
        EXPECT_EQ(Arguments::wholeNumber(c.text, 0, 611), c.value);
    }
    EXPECT_EQ(Arguments::wholeNumber(u"0", 1, 611), std::nullopt);
    EXPECT_EQ(Arguments::wholeNumber(u"2147483647", 0, 2147483647), 2147483647);
    EXPECT_EQ(Arguments::wholeNumber(u"2147483648", 0, 2147483647), std::nullopt);
}

TEST(Arguments, DecimalNumber_AsciiDigitsAndOnePointWithinTheBoundsOnly) {
    const struct {
        const char16_t* text;
        std::optional<double> value; // within 0.1..600
    } cases[] = {
        {u"1.5", 1.5},   {u"600", 600}, {u"0.1", 0.1}, {u"007.25", 7.25}, {u"0.09", {}},
        {u"600.5", {}},  {u".5", {}},   {u"1.", {}},   {u"1e2", {}},      {u"0x1", {}},
        {u" 1", {}},     {u"1 ", {}},   {u"1,5", {}},  {u"1.2.3", {}},    {u"-1", {}},
        {u"+1", {}},     {u"inf", {}},  {u"nan", {}},  {u"\u0661.5", {}}, {u"1.\u0665", {}},
        {u"\uFF11", {}}, {u"", {}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(QString::fromUtf16(c.text).toStdString());
        EXPECT_EQ(Arguments::decimalNumber(c.text, 0.1, 600), c.value);
    }
}

TEST(Arguments, Charts_OneMeaningOfEveryWord) {
    using K = ChordChartKind;
    const struct {
        const char* word;
        std::optional<QList<K>> charts;
    } cases[] = {
        {"fingering", QList<K>{K::Fingering}},
        {"interval", QList<K>{K::Interval}},
        {"blank", QList<K>{K::Blank}},
        {"both", QList<K>{K::Fingering, K::Interval}},
        {"Both", {}},
        {"", {}},
        {"spelling", {}},
    };
    for (const auto& c : cases) {
        QString error;
        EXPECT_EQ(Arguments::charts(QLatin1String(c.word), &error), c.charts) << c.word;
        EXPECT_EQ(error.isEmpty(), c.charts.has_value()) << c.word;
    }
}
