#include "FilerFrm/TypeAhead.h"

#include "support/NamedCase.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace duoptic {
namespace {

struct Key {
    std::int64_t atMs;
    QString text; // empty: Backspace
};

struct TypeAheadCase {
    const char* name;
    std::vector<Key> keys;
    QString searched; // the search text after the last key
};

class TypeAheadTest : public ::testing::TestWithParam<TypeAheadCase> {};

TEST_P(TypeAheadTest, KeepsTheSearchText) {
    TypeAhead typeAhead;
    for (const Key& key : GetParam().keys) {
        if (key.text.isEmpty()) {
            typeAhead.backspace(key.atMs);
        } else {
            typeAhead.type(key.text, key.atMs);
        }
    }
    EXPECT_EQ(typeAhead.text(), GetParam().searched);
}

INSTANTIATE_TEST_SUITE_P(
    Sequences, TypeAheadTest,
    ::testing::Values(
        TypeAheadCase{"QuickKeysExtend", {{1000, "b"}, {1200, "e"}, {1699, "r"}}, "ber"},
        TypeAheadCase{"PauseOf500StartsAnew", {{1000, "b"}, {1500, "e"}}, "e"},
        TypeAheadCase{"FirstKeyAtClockZero", {{0, "a"}, {10, "b"}}, "ab"},
        TypeAheadCase{"BackspaceShortens", {{0, "a"}, {100, "b"}, {200, ""}}, "a"},
        TypeAheadCase{"BackspaceAfterPauseEmpties", {{0, "a"}, {100, "b"}, {700, ""}}, ""},
        TypeAheadCase{"BackspaceOnEmptyStaysEmpty", {{0, ""}, {10, ""}}, ""},
        TypeAheadCase{"BackspaceDropsAWholeSurrogatePair",
                      {{0, "x"}, {10, QString::fromUtf8("\xF0\x9F\x93\xB7")}, {20, ""}},
                      "x"},
        TypeAheadCase{
            "JapaneseLetters",
            {{0, QString::fromUtf8("\xE5\xB1\xB1")}, {10, QString::fromUtf8("\xE5\xB7\x9D")}},
            QString::fromUtf8("\xE5\xB1\xB1\xE5\xB7\x9D")}),
    [](const auto& info) { return std::string(info.param.name); });

struct FindCase {
    const char* name;
    QString text;
    int row;
};

class FirstRowTest : public ::testing::TestWithParam<FindCase> {};

TEST_P(FirstRowTest, FindsTheFirstRowBeginningWithTheText) {
    const QStringList rows = {"apple", "Apricot", "banana", "Berry", "", "cherry"};
    EXPECT_EQ(firstRowStartingWith(rows, GetParam().text), GetParam().row);
}

INSTANTIATE_TEST_SUITE_P(
    Texts, FirstRowTest,
    ::testing::Values(FindCase{"EmptyFindsFirst", "", 0}, FindCase{"CaseIgnored", "APR", 1},
                      FindCase{"FirstOfSeveral", "b", 2}, FindCase{"Longer", "be", 3},
                      FindCase{"WholeName", "cherry", 5}, FindCase{"NotFound", "x", -1},
                      FindCase{"LongerThanAnyName", "cherryx", -1}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(FirstRowTest, EmptyListFindsNothing) {
    EXPECT_EQ(firstRowStartingWith({}, ""), -1);
}

} // namespace
} // namespace duoptic
