#include "settings/TextToInt.h"

#include <gtest/gtest.h>

#include <climits>
#include <ostream>
#include <string>

namespace duoptic {
namespace {

struct Row {
    const char* name;
    std::string text;
    int expected; // with the default -1
};

// Failures name the row instead of dumping its bytes.
void PrintTo(const Row& row, std::ostream* out) {
    *out << row.name;
}

class TextToIntTest : public testing::TestWithParam<Row> {};

// These texts mean the same to the settings file and to the prompt.
TEST_P(TextToIntTest, Converts) {
    for (ZeroXPrefix zeroX : {ZeroXPrefix::AtStartOnly, ZeroXPrefix::AfterSignToo}) {
        EXPECT_EQ(textToInt(GetParam().text, -1, zeroX), GetParam().expected)
            << '"' << GetParam().text << "\" with zeroX " << static_cast<int>(zeroX);
    }
}

// Tabs are not leading spaces: only ' ' is skipped.
INSTANTIATE_TEST_SUITE_P(
    Rows, TextToIntTest,
    testing::Values(Row{"Decimal", "12", 12}, Row{"Zero", "0", 0}, Row{"Negative", "-5", -5},
                    Row{"Large", "500", 500}, Row{"PlusSign", "+7", 7},
                    Row{"LeadingZeros", "0000000000000000000012", 12}, Row{"Letters", "abc", -1},
                    Row{"Empty", "", -1}, Row{"LeadingSpace", " 7", 7},
                    Row{"LeadingSpaces", "   7", 7}, Row{"TrailingSpace", "7 ", -1},
                    Row{"LeadingTab", "\t7", -1}, Row{"SpaceAfterSign", "- 7", -1},
                    Row{"TwoSigns", "--7", -1}, Row{"Dollar", "$10", 16},
                    Row{"ZeroXLower", "0x10", 16}, Row{"ZeroXUpper", "0X1f", 31},
                    Row{"BareXLower", "x10", 16}, Row{"BareXUpper", "X10", 16},
                    Row{"HexMixedCase", "$aBcD", 0xABCD}, Row{"ZeroXAlone", "0x", -1},
                    Row{"DollarAlone", "$", -1}, Row{"PlusAlone", "+", -1},
                    Row{"MinusAlone", "-", -1}, Row{"HexDigitInDecimal", "1f", -1},
                    Row{"NonHexAfterDollar", "$1g", -1}, Row{"TwoPrefixes", "$0x1", -1},
                    Row{"Max", "2147483647", INT_MAX}, Row{"AboveMax", "2147483648", -1},
                    Row{"Min", "-2147483648", INT_MIN}, Row{"BelowMin", "-2147483649", -1},
                    Row{"Huge", "99999999999999999999999", -1}, Row{"HexMax", "$7FFFFFFF", INT_MAX},
                    Row{"HexAboveMax", "$80000000", -1}, Row{"HexMin", "-$80000000", INT_MIN},
                    Row{"HexAllOnes", "$FFFFFFFF", -1}, Row{"SpaceSignHex", " -$10", -16},
                    Row{"ZeroXThenDollar", "0x$10", -1}, Row{"ZeroXThenX", "0xx1", -1},
                    Row{"ZeroXThenSign", "0x-5", -1}, Row{"DoubleZeroX", "00x10", -1},
                    Row{"Exponent", "1e3", -1}, Row{"Fraction", "1.5", -1},
                    Row{"EmbeddedNul", std::string("7\0", 2), -1}),
    [](const testing::TestParamInfo<Row>& info) { return info.param.name; });

// "0x" behind spaces or a sign: a number for the prompt, not for the settings file.
struct ZeroXRow {
    const char* name;
    std::string text;
    int settings; // with the default -1
    int prompt;
};

void PrintTo(const ZeroXRow& row, std::ostream* out) {
    *out << row.name;
}

class TextToIntZeroXTest : public testing::TestWithParam<ZeroXRow> {};

TEST_P(TextToIntZeroXTest, DependsOnTheCaller) {
    EXPECT_EQ(textToInt(GetParam().text, -1, ZeroXPrefix::AtStartOnly), GetParam().settings);
    EXPECT_EQ(textToInt(GetParam().text, -1, ZeroXPrefix::AfterSignToo), GetParam().prompt);
}

INSTANTIATE_TEST_SUITE_P(Rows, TextToIntZeroXTest,
                         testing::Values(ZeroXRow{"SignZeroX", "-0x10", -1, -16},
                                         ZeroXRow{"PlusZeroX", "+0X1f", -1, 31},
                                         ZeroXRow{"SpaceZeroX", " 0x10", -1, 16},
                                         ZeroXRow{"SpacesSignZeroX", "  -0x10", -1, -16}),
                         [](const testing::TestParamInfo<ZeroXRow>& info) {
                             return info.param.name;
                         });

TEST(TextToInt, ReturnsTheGivenDefault) {
    EXPECT_EQ(textToInt("abc", 4, ZeroXPrefix::AtStartOnly), 4);
    EXPECT_EQ(textToInt("abc", INT_MIN, ZeroXPrefix::AfterSignToo), INT_MIN);
}

} // namespace
} // namespace duoptic
