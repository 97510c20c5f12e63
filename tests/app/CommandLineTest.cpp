#include "app/CommandLine.h"

#include <gtest/gtest.h>

#include <vector>

namespace duoptic {
namespace {

// Parses an argument list given without the program name.
CommandLine parse(const std::vector<std::string>& arguments) {
    std::vector<const char*> argv{"duoptic"};
    for (const std::string& argument : arguments)
        argv.push_back(argument.c_str());
    argv.push_back(nullptr);
    return parseCommandLine(static_cast<int>(argv.size()) - 1, argv.data());
}

struct ParseCase {
    const char* name;
    std::vector<std::string> arguments;
    CommandLineAction action;
    std::optional<std::string> path;
    const char* problemMentions; // for usage errors: the argument the message names
};

void PrintTo(const ParseCase& c, std::ostream* os) {
    *os << c.name;
}

class ParseCommandLine : public ::testing::TestWithParam<ParseCase> {};

TEST_P(ParseCommandLine, DecidesTheActionAndKeepsThePathsBytes) {
    const ParseCase& c = GetParam();
    const CommandLine result = parse(c.arguments);
    EXPECT_EQ(result.action, c.action);
    EXPECT_EQ(result.path, c.path);
    if (c.action == CommandLineAction::UsageError)
        EXPECT_NE(result.problem.find(c.problemMentions), std::string::npos) << result.problem;
    else
        EXPECT_EQ(result.problem, "");
}

using A = CommandLineAction;
using Path = std::optional<std::string>;

INSTANTIATE_TEST_SUITE_P(
    App, ParseCommandLine,
    ::testing::Values(
        ParseCase{"NoArguments", {}, A::Run, Path(), ""},
        ParseCase{"Folder", {"photos/2024"}, A::Run, Path("photos/2024"), ""},
        ParseCase{"NotUtf8", {"\xff\xfe/x_DUL.jpg"}, A::Run, Path("\xff\xfe/x_DUL.jpg"), ""},
        ParseCase{"BlanksKept", {" a b.mpo "}, A::Run, Path(" a b.mpo "), ""},
        ParseCase{"EmptyPath", {""}, A::Run, Path(""), ""},
        ParseCase{"LoneDashIsAPath", {"-"}, A::Run, Path("-"), ""},
        ParseCase{"Help", {"--help"}, A::PrintHelp, Path(), ""},
        ParseCase{"Version", {"--version"}, A::PrintVersion, Path(), ""},
        ParseCase{"HelpAfterPath", {"a.jps", "--help"}, A::PrintHelp, Path(), ""},
        ParseCase{"FirstOfHelpAndVersion", {"--version", "--help"}, A::PrintVersion, Path(), ""},
        ParseCase{"DashDashEndsOptions", {"--", "--help"}, A::Run, Path("--help"), ""},
        ParseCase{"DashDashAfterPath", {"a.mpo", "--"}, A::Run, Path("a.mpo"), ""},
        ParseCase{"SecondDashDashIsAPath", {"--", "--"}, A::Run, Path("--"), ""},
        ParseCase{"DashAfterDashDash", {"--", "-x"}, A::Run, Path("-x"), ""},
        ParseCase{"UnknownLong", {"--verbose"}, A::UsageError, Path(), "'--verbose'"},
        ParseCase{"UnknownShort", {"-h"}, A::UsageError, Path(), "'-h'"},
        ParseCase{"QtOption", {"-platform", "xcb"}, A::UsageError, Path(), "'-platform'"},
        ParseCase{"HelpWithValue", {"--help=all"}, A::UsageError, Path(), "'--help=all'"},
        ParseCase{"UnknownBeforeHelp", {"-x", "--help"}, A::UsageError, Path(), "'-x'"},
        ParseCase{"UnknownAfterPath", {"a", "--x"}, A::UsageError, Path(), "'--x'"},
        ParseCase{"TwoPaths", {"a", "b"}, A::UsageError, Path(), "'b'"},
        ParseCase{"TwoPathsAfterDashDash", {"--", "a", "-b"}, A::UsageError, Path(), "'-b'"},
        ParseCase{"SecondPathBeforeHelp", {"a", "b", "--help"}, A::UsageError, Path(), "'b'"},
        ParseCase{"ExportTakesTheRest", {"--export", "--help", "a"}, A::Export, Path(), ""},
        ParseCase{"ExportOnlyFirst", {"a", "--export"}, A::UsageError, Path(), "'--export'"}),
    [](const ::testing::TestParamInfo<ParseCase>& info) { return info.param.name; });

TEST(ParseCommandLine, NoProgramNameAtAll) {
    const char* argv[] = {nullptr};
    const CommandLine result = parseCommandLine(0, argv);
    EXPECT_EQ(result.action, CommandLineAction::Run);
    EXPECT_EQ(result.path, std::nullopt);
}

// A usage error echoes what was typed; no byte of it may reach the terminal as a control.
TEST(ParseCommandLine, EchoesArgumentsWithoutControls) {
    std::string hostile = "-";
    for (int byte = 1; byte < 0x80; ++byte)
        hostile += static_cast<char>(byte);
    for (int second = 0x80; second < 0xA0; ++second) // U+0080..U+009F
        hostile += std::string("\xC2") + static_cast<char>(second);
    hostile += "\x80\xFF\xE3\x81"; // no UTF-8 sequences at all
    for (const auto& arguments :
         {std::vector<std::string>{hostile}, std::vector<std::string>{"a", hostile.substr(1)}}) {
        const CommandLine result = parse(arguments);
        ASSERT_EQ(result.action, CommandLineAction::UsageError);
        for (const char byte : result.problem)
            EXPECT_TRUE(byte >= 0x20 && byte < 0x7F) << static_cast<int>(byte);
    }
    EXPECT_NE(parse({"-\xC3\xA9"}).problem.find("\xC3\xA9"), std::string::npos) << "é is shown";
}

TEST(UsageText, NamesTheCallAndEveryKindOfPath) {
    const std::string text = usageText();
    EXPECT_EQ(text.rfind("Usage: duoptic [PATH]\n", 0), 0u);
    for (const char* kind : {"folder", "_DUL", "_DUR", "_DUP", "_DUC", ".mpo", ".jps"})
        EXPECT_NE(text.find(kind), std::string::npos) << kind;
}

} // namespace
} // namespace duoptic
