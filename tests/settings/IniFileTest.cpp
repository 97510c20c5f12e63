#include "settings/IniFile.h"

#include "support/TempFolder.h"
#include "support/TestFiles.h"

#include <gtest/gtest.h>

#include <sys/stat.h>

#include <optional>
#include <ostream>
#include <string>

namespace duoptic {
namespace {

using testing::TempFolder;
using testing::writeFile;

using namespace std::string_literals;

struct ReadRow {
    const char* name;
    std::string text;
    const char* section;
    const char* key;
    std::optional<std::string> expected;
};

// Failures name the row instead of dumping its bytes.
void PrintTo(const ReadRow& row, std::ostream* out) {
    *out << row.name;
}

class IniReadTest : public ::testing::TestWithParam<ReadRow> {};

TEST_P(IniReadTest, Reads) {
    const ReadRow& row = GetParam();
    EXPECT_EQ(IniFile::parse(row.text).read(row.section, row.key), row.expected);
}

INSTANTIATE_TEST_SUITE_P(
    Rows, IniReadTest,
    ::testing::Values(
        ReadRow{"NamesIgnoreCase", "[VIEWER]\r\nborderwidth=5\r\n", "Viewer", "BorderWidth", "5"},
        ReadRow{"BlanksAroundValue", "[S]\nK =  \t v a \t \n", "S", "K", "v a"},
        ReadRow{"BlanksAroundNames", " [ S ] \n\t K \t= 1\n", "S", "K", "1"},
        ReadRow{"DoubleQuotes", "[S]\nK= \" x \" \n", "S", "K", " x "},
        ReadRow{"SingleQuotes", "[S]\nK='x'\n", "S", "K", "x"},
        ReadRow{"MismatchedQuotes", "[S]\nK=\"x'\n", "S", "K", "\"x'"},
        ReadRow{"OnlyOnePairOfQuotes", "[S]\nK=\"\"x\"\"\n", "S", "K", "\"x\""},
        ReadRow{"LoneQuote", "[S]\nK=\"\n", "S", "K", "\""},
        ReadRow{"NothingAfterEquals", "[S]\nK=\n", "S", "K", ""},
        ReadRow{"EqualsInValue", "[S]\nK=a=b\n", "S", "K", "a=b"},
        ReadRow{"MissingKey", "[S]\nK=1\n", "S", "L", std::nullopt},
        ReadRow{"MissingSection", "[S]\nK=1\n", "T", "K", std::nullopt},
        ReadRow{"KeyOfAnotherSection", "[A]\nK=1\n[B]\n", "B", "K", std::nullopt},
        ReadRow{"KeyBeforeAnySection", "K=1\n[S]\n", "S", "K", std::nullopt},
        ReadRow{"FirstDuplicateKeyWins", "[S]\nK=1\nk=2\n", "S", "K", "1"},
        ReadRow{"FirstDuplicateSectionWins", "[S]\nK=1\n[s]\nK=2\n", "S", "K", "1"},
        ReadRow{"KeyOnlyInSecondDuplicate", "[S]\n[S]\nK=2\n", "S", "K", std::nullopt},
        ReadRow{"CommentIsNoKey", "[S]\n;K=1\n", "S", "K", std::nullopt},
        ReadRow{"GarbageAround", "\x01\xff\n[S]\njunk\n\x80\x81\x82\nK=3\n", "S", "K", "3"},
        ReadRow{"UnclosedHeaderIsGarbage", "[S]\n[T\nK=1\n", "S", "K", "1"},
        ReadRow{"ByteOrderMark", "\xEF\xBB\xBF[S]\nK=1\n", "S", "K", "1"},
        ReadRow{"CrLfLineEnds", "[S]\r\nK=1\r\nL=2\r\n", "S", "K", "1"},
        ReadRow{"NoFinalLineEnd", "[S]\nK=1", "S", "K", "1"},
        ReadRow{"NulInValue", "[S]\nK=a\0b\n"s, "S", "K", "a\0b"s}),
    [](const ::testing::TestParamInfo<ReadRow>& info) { return info.param.name; });

struct CutRow {
    const char* name;
    std::string value; // as it stands after "K="
    std::string expected;
};

void PrintTo(const CutRow& row, std::ostream* out) {
    *out << row.name;
}

class IniCutTest : public ::testing::TestWithParam<CutRow> {};

TEST_P(IniCutTest, CutsLongValues) {
    const IniFile file = IniFile::parse("[S]\nK=" + GetParam().value + "\n");
    EXPECT_EQ(file.read("S", "K"), GetParam().expected);
}

const std::string kFill(2046, 'a');

std::string times(const std::string& text, int count) {
    std::string result;
    for (int i = 0; i < count; ++i)
        result += text;
    return result;
}

INSTANTIATE_TEST_SUITE_P(
    Rows, IniCutTest,
    ::testing::Values(CutRow{"ExactlyTheLimit", kFill + "b", kFill + "b"},
                      CutRow{"OneOver", kFill + "bc", kFill + "b"},
                      CutRow{"HundredThousand", std::string(100000, 'x'), std::string(2047, 'x')},
                      CutRow{"QuotesRemovedFirst", "\"" + kFill + "b\"", kFill + "b"},
                      CutRow{"CountsCharactersNotBytes", times("\xE3\x81\x82", 2048),
                             times("\xE3\x81\x82", 2047)},
                      CutRow{"TwoByteCharacters", times("\xC3\xA9", 2048), times("\xC3\xA9", 2047)},
                      CutRow{"StrayByteIsOneCharacter", kFill + "\x80\x80", kFill + "\x80"},
                      CutRow{"CutSequenceIsBytes", kFill + "\xE3\x81", kFill + "\xE3"}),
    [](const ::testing::TestParamInfo<CutRow>& info) { return info.param.name; });

TEST(IniRead, LongLinesDoNotDisturbTheirNeighbours) {
    const std::string text = "[S]\n" + std::string(100000, '\xff') +
                             "\nLong=" + std::string(100000, 'x') + "\nK=1\n[T]\nK=2\n";
    const IniFile file = IniFile::parse(text);
    EXPECT_EQ(file.read("S", "K"), "1");
    EXPECT_EQ(file.read("T", "K"), "2");
    EXPECT_EQ(file.read("S", "Long")->size(), IniFile::kMaxValueLength);
    EXPECT_EQ(IniFile::parse(file.text()).text(), file.text());
}

struct WriteRow {
    const char* name;
    std::string before;
    const char* section;
    const char* key;
    std::string value;
    std::string after;
    bool written = true;
};

void PrintTo(const WriteRow& row, std::ostream* out) {
    *out << row.name;
}

class IniWriteTest : public ::testing::TestWithParam<WriteRow> {};

TEST_P(IniWriteTest, Writes) {
    const WriteRow& row = GetParam();
    IniFile file = IniFile::parse(row.before);
    EXPECT_EQ(file.write(row.section, row.key, row.value), row.written);
    EXPECT_EQ(file.text(), row.after);
}

INSTANTIATE_TEST_SUITE_P(
    Rows, IniWriteTest,
    ::testing::Values(
        WriteRow{"IntoEmptyText", "", "S", "K", "v", "[S]\r\nK=v\r\n"},
        WriteRow{"ReplacesInPlace", "[S]\nA=1\nK=old\nB=2\n", "S", "K", "new",
                 "[S]\nA=1\nK=new\nB=2\n"},
        WriteRow{"KeepsSpellingOfKey", "[s]\n  k = old  \n", "S", "K", "v", "[s]\nk=v\n"},
        WriteRow{"NewKeyAtEndOfSection", "[S]\nA=1\n\n[T]\nB=2\n", "S", "K", "v",
                 "[S]\nA=1\nK=v\n\n[T]\nB=2\n"},
        WriteRow{"NewKeyAfterTrailingComment", "[S]\nA=1\n;note\n\n", "S", "K", "v",
                 "[S]\nA=1\n;note\nK=v\n\n"},
        WriteRow{"NewKeyInEmptySection", "[S]\n[T]\n", "S", "K", "v", "[S]\nK=v\n[T]\n"},
        WriteRow{"NewSectionAtEnd", "[A]\nX=1", "S", "K", "v", "[A]\nX=1\n\n[S]\nK=v\n"},
        WriteRow{"NewSectionAfterBlankLine", "[A]\nX=1\n\n", "S", "K", "v",
                 "[A]\nX=1\n\n[S]\nK=v\n"},
        WriteRow{"FirstDuplicateSection", "[S]\nK=1\n[S]\nK=2\n", "S", "K", "v",
                 "[S]\nK=v\n[S]\nK=2\n"},
        WriteRow{"FirstDuplicateKey", "[S]\nK=1\nK=2\n", "S", "K", "v", "[S]\nK=v\nK=2\n"},
        WriteRow{"KeyOnlyInSecondDuplicate", "[S]\n[S]\nK=2\n", "S", "K", "v",
                 "[S]\nK=v\n[S]\nK=2\n"},
        WriteRow{"OthersKeptInPlace", "; top\n[U]\nX=\"q\"\n[S]\n\x01\xff junk\nK=1\nZ = z\n", "S",
                 "K", "2", "; top\n[U]\nX=\"q\"\n[S]\n\x01\xff junk\nK=2\nZ = z\n"},
        WriteRow{"LineBreakWritesNothing", "[S]\n", "S", "K", "a\r\n[T]", "[S]\n", false},
        WriteRow{"EmptyValue", "[S]\nK=1\n", "S", "K", "", "[S]\nK=\n"},
        // Line ends: each line keeps its own; added lines take the first line's.
        WriteRow{"CrLfFileStaysCrLf", "[S]\r\nA=1\r\n", "S", "K", "v", "[S]\r\nA=1\r\nK=v\r\n"},
        WriteRow{"MixedEndsKept", "[S]\nA=1\r\nK=old\r\n", "S", "K", "v", "[S]\nA=1\r\nK=v\r\n"},
        WriteRow{"AddedLineTakesFirstEnd", "[S]\nA=1\r\n", "S", "K", "v", "[S]\nA=1\r\nK=v\n"},
        WriteRow{"NoFinalEndKept", "[S]\r\nK=1", "S", "K", "2", "[S]\r\nK=2"},
        WriteRow{"FinalCrBecomesLineEnd", "[A]\r", "S", "K", "v", "[A]\r\n\r\n[S]\r\nK=v\r\n"},
        // Values that the reader would change are quoted; those that no line gives back are not
        // written at all.
        WriteRow{"BlanksAroundQuoted", "[S]\nK=old\n", "S", "K", " v\t", "[S]\nK=\" v\t\"\n"},
        WriteRow{"EnclosingQuotesQuoted", "[S]\n", "S", "K", "'v'", "[S]\nK=\"'v'\"\n"},
        WriteRow{"InnerQuotesPlain", "[S]\n", "S", "K", "a\"b'", "[S]\nK=a\"b'\n"},
        WriteRow{"LineBreakKeepsOld", "[S]\nK=old\n", "S", "K", "/a\nb/", "[S]\nK=old\n", false},
        WriteRow{"TooLongKeepsOld", "[S]\nK=old\n", "S", "K", std::string(2048, 'x'),
                 "[S]\nK=old\n", false}),
    [](const ::testing::TestParamInfo<WriteRow>& info) { return info.param.name; });

// A text that nothing was written into comes back byte for byte, line ends included.
class IniRoundTripTest : public ::testing::TestWithParam<std::string> {};

TEST_P(IniRoundTripTest, TextIsKept) {
    EXPECT_EQ(IniFile::parse(GetParam()).text(), GetParam());
}

INSTANTIATE_TEST_SUITE_P(Texts, IniRoundTripTest,
                         ::testing::Values("", "\n", "\r\n", "\r", "[S]\nK=1", "[S]\r\nK=1\r",
                                           "a\rb\nc\r\r\n", "\n\r\n\n", "\n\n[S]\n\nK=1\n\n",
                                           "\xEF\xBB\xBF[S]\r\n\x00\xff\n"s));

TEST(IniWrite, WrittenValuesReadBack) {
    IniFile file = IniFile::parse("[S]\nA=1\n[T]\n");
    for (const std::string& value :
         {""s, "x"s, "a b"s, "/home/u/フォト/"s, "(Crossing)"s, "-17"s, " lead"s, "trail\t"s, " "s,
          "\"q\""s, "'q'"s, "\""s, "\"\""s, "'x\""s, "a\0b"s, std::string(2047, 'x'),
          " "s + std::string(2046, 'x')}) {
        EXPECT_TRUE(file.write("T", "K", value));
        EXPECT_TRUE(file.write("New", "K", value));
        EXPECT_EQ(IniFile::parse(file.text()).read("T", "K"), value);
        EXPECT_EQ(IniFile::parse(file.text()).read("New", "K"), value);
    }
    EXPECT_EQ(file.read("S", "A"), "1");
}

TEST(IniLoad, ReadsARegularFile) {
    TempFolder folder;
    writeFile(folder.slashed() + "a.ini", "[S]\nK=1\n");
    EXPECT_EQ(IniFile::load(folder.slashed() + "a.ini").read("S", "K"), "1");
}

// None of these may block or throw; each gives an empty file.
TEST(IniLoad, AnythingButARegularFileIsEmpty) {
    TempFolder folder;
    const std::string fifo = folder.slashed() + "fifo";
    ASSERT_EQ(mkfifo(fifo.c_str(), 0600), 0);
    for (const std::string& path :
         {folder.slashed() + "missing.ini", folder.slashed(), fifo, std::string("/dev/zero"),
          std::string("/dev/tty"), std::string("")}) {
        EXPECT_EQ(IniFile::load(path).text(), "") << path;
    }
}

} // namespace
} // namespace duoptic
