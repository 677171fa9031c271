#include "command_line.h"

#include <gtest/gtest.h>

#include <string>

namespace {

using launcher::CommandLineArgument;

TEST(CommandLineArgument, FollowsTheProgramNameAndTheBlanksAfterIt) {
    const char line[] = "Install.exe RequiredDataCAB.ini";
    EXPECT_EQ(CommandLineArgument(line), line + 12);
    EXPECT_STREQ(CommandLineArgument("Install.exe \t \x01\x1f RequiredDataCAB.ini"),
                 "RequiredDataCAB.ini");
}

TEST(CommandLineArgument, NameEndsAtEveryByteFromOneToThirtyTwo) {
    for (int byte = 1; byte <= 32; ++byte) {
        const std::string line = "Install.exe" + std::string(1, static_cast<char>(byte)) + "a.ini";
        EXPECT_STREQ(CommandLineArgument(line.c_str()), "a.ini") << "byte " << byte;
    }
}

TEST(CommandLineArgument, BytesFromOneTwentySevenUpStayInTheName) {
    EXPECT_STREQ(CommandLineArgument("D:\\Caf\xE9\\Install.exe a.ini"), "a.ini");
    EXPECT_STREQ(CommandLineArgument("Inst\xA0"
                                     "all.exe a.ini"),
                 "a.ini");
    EXPECT_STREQ(CommandLineArgument("Inst\x7F\x80\xFF"
                                     "all.exe a.ini"),
                 "a.ini");
}

TEST(CommandLineArgument, QuotesToggleInsideTheNameOnly) {
    EXPECT_STREQ(CommandLineArgument("\"D:\\My Setup\\Install.exe\" a.ini"), "a.ini");
    EXPECT_STREQ(CommandLineArgument("D:\\My\" \"Setup\\Install.exe\ta.ini"), "a.ini");
    EXPECT_STREQ(CommandLineArgument("\"D:\\Setup\\\"Install.exe a.ini"), "a.ini");
    EXPECT_STREQ(CommandLineArgument("Install.exe \"Required Data.ini\" x  "),
                 "\"Required Data.ini\" x  ");
    EXPECT_STREQ(CommandLineArgument("Install.exe a\tb\"c"), "a\tb\"c");
}

TEST(CommandLineArgument, UnclosedQuoteLeavesTheArgumentEmpty) {
    const char line[] = "\"D:\\My Setup\\Install.exe a.ini";
    EXPECT_EQ(CommandLineArgument(line), line + sizeof line - 1);
    EXPECT_STREQ(CommandLineArgument("Install.exe\" a.ini"), "");
    EXPECT_STREQ(CommandLineArgument("\"\"\"Install.exe a.ini"), "");
}

TEST(CommandLineArgument, EmptyTail) {
    EXPECT_STREQ(CommandLineArgument(""), "");
    EXPECT_STREQ(CommandLineArgument("Install.exe"), "");
    EXPECT_STREQ(CommandLineArgument("Install.exe \t  "), "");
    EXPECT_STREQ(CommandLineArgument("\"D:\\My Setup\\Install.exe\""), "");
}

}  // namespace
