#include "command_line.h"

#include <gtest/gtest.h>

#include <string>

namespace {

using launcher::CommandLineArgument;

std::u16string ArgumentOf(const std::u16string& line) { return CommandLineArgument(line.c_str()); }

TEST(CommandLineArgument, FollowsTheProgramNameAndTheBlanksAfterIt) {
    const char16_t line[] = u"Install.exe RequiredDataCAB.ini";
    EXPECT_EQ(CommandLineArgument(line), line + 12);
    EXPECT_EQ(ArgumentOf(u"Install.exe \t \x01\x1f RequiredDataCAB.ini"), u"RequiredDataCAB.ini");
}

TEST(CommandLineArgument, NameEndsAtEveryUnitFromOneToThirtyTwo) {
    for (int unit = 1; unit <= 32; ++unit) {
        const std::u16string line =
            u"Install.exe" + std::u16string(1, static_cast<char16_t>(unit)) + u"a.ini";
        EXPECT_EQ(ArgumentOf(line), u"a.ini") << "unit " << unit;
    }
    EXPECT_EQ(ArgumentOf(u"Install.exe!a.ini"), u"");
}

// Blanks of other scripts, and units whose low byte is a blank, a tab or a quote, are not.
TEST(CommandLineArgument, UnitsFromOneTwentySevenUpStayInTheName) {
    EXPECT_EQ(ArgumentOf(u"D:\\Caf\xE9\\Install.exe a.ini"), u"a.ini");
    EXPECT_EQ(ArgumentOf(u"Inst\xA0"
                         u"all.exe a.ini"),
              u"a.ini");
    EXPECT_EQ(ArgumentOf(u"Inst\x7F\x80\xFF"
                         u"all.exe a.ini"),
              u"a.ini");
    EXPECT_EQ(ArgumentOf(u"Inst\u3000\u2003\u0120\u0109\uFFFFall.exe a.ini"), u"a.ini");
    EXPECT_EQ(ArgumentOf(u"D:\\Комплект\\\U0001F4E6\\Install.exe a.ini"), u"a.ini");
    EXPECT_EQ(ArgumentOf(u"D:\\My\u0122 Setup\\Install.exe a.ini"), u"Setup\\Install.exe a.ini");
}

TEST(CommandLineArgument, QuotesToggleInsideTheNameOnly) {
    EXPECT_EQ(ArgumentOf(u"\"D:\\My Setup\\Install.exe\" a.ini"), u"a.ini");
    EXPECT_EQ(ArgumentOf(u"D:\\My\" \"Setup\\Install.exe\ta.ini"), u"a.ini");
    EXPECT_EQ(ArgumentOf(u"\"D:\\Setup\\\"Install.exe a.ini"), u"a.ini");
    EXPECT_EQ(ArgumentOf(u"Install.exe \"Required Data.ini\" x  "), u"\"Required Data.ini\" x  ");
    EXPECT_EQ(ArgumentOf(u"Install.exe a\tb\"c"), u"a\tb\"c");
}

TEST(CommandLineArgument, UnclosedQuoteLeavesTheArgumentEmpty) {
    const char16_t line[] = u"\"D:\\My Setup\\Install.exe a.ini";
    EXPECT_EQ(CommandLineArgument(line), line + sizeof line / sizeof line[0] - 1);
    EXPECT_EQ(ArgumentOf(u"Install.exe\" a.ini"), u"");
    EXPECT_EQ(ArgumentOf(u"\"\"\"Install.exe a.ini"), u"");
}

TEST(CommandLineArgument, EmptyTail) {
    EXPECT_EQ(ArgumentOf(u""), u"");
    EXPECT_EQ(ArgumentOf(u"Install.exe"), u"");
    EXPECT_EQ(ArgumentOf(u"Install.exe \t  "), u"");
    EXPECT_EQ(ArgumentOf(u"\"D:\\My Setup\\Install.exe\""), u"");
}

}  // namespace
