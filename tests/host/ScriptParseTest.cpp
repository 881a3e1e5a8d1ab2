#include "platform/host/ScriptDriver.h"

#include <gtest/gtest.h>

namespace {
std::vector<ScriptCommand> parsed(const std::string& script) {
    std::vector<ScriptCommand> commands;
    auto error = parseScript(script, commands);
    EXPECT_FALSE(error) << (error ? error->describe() : "");
    return commands;
}

ScriptError parseError(const std::string& script) {
    std::vector<ScriptCommand> commands;
    auto error = parseScript(script, commands);
    EXPECT_TRUE(error);
    return error.value_or(ScriptError{});
}
}  // namespace

TEST(ScriptParse, ReadsEveryCommandWithItsArgumentsAndLineNumbers) {
    auto c = parsed(
        "# a walk\n"
        "\n"
        "tap 10 20.5\r\n"
        "drag 1 2 3 4\n"
        "drag 1 2 3 4 7\n"
        "pinch 160 240 50 150\n"
        "type 600036\n"
        "key 完成\n"
        "wait 2.5\n"
        "waitfor 买入\n"
        "waitfor 委托 成功 3\n"
        "waitfor \"价格 12\" 4\n"
        "expect 交易\n"
        "expectnot 错误\n"
        "alert 确定\n"
        "screenshot out/a.png\n"
        "tree\n"
        "background\n"
        "foreground\n"
        "vpinch 160 240 150 50\n");
    ASSERT_EQ(c.size(), 18u);
    EXPECT_EQ(c[0].name, "tap");
    EXPECT_EQ(c[0].line, 3);
    EXPECT_EQ(c[0].numbers, (std::vector<double>{10, 20.5}));
    EXPECT_EQ(c[1].numbers.size(), 4u);
    EXPECT_EQ(c[2].numbers.back(), 7);
    EXPECT_EQ(c[4].text, "600036");
    EXPECT_EQ(c[5].text, "完成");
    EXPECT_EQ(c[6].numbers[0], 2.5);
    EXPECT_EQ(c[7].text, "买入");
    EXPECT_TRUE(c[7].numbers.empty());
    // An unquoted text ending in a number: the number is the timeout.
    EXPECT_EQ(c[8].text, "委托 成功");
    EXPECT_EQ(c[8].numbers, (std::vector<double>{3}));
    // A quoted text keeps its numbers and spaces.
    EXPECT_EQ(c[9].text, "价格 12");
    EXPECT_EQ(c[9].numbers, (std::vector<double>{4}));
    EXPECT_EQ(c[13].text, "out/a.png");
    EXPECT_EQ(c[16].name, "foreground");
    EXPECT_EQ(c[16].line, 19);
    EXPECT_EQ(c[17].name, "vpinch");
    EXPECT_EQ(c[17].numbers, (std::vector<double>{160, 240, 150, 50}));
}

TEST(ScriptParse, QuotedTextsKeepSpacesAndEscapes) {
    auto c = parsed("type \"  a \\\"b\\\" \\\\ \\n\"\nwaitfor 12\ntype 1 2 3\n");
    ASSERT_EQ(c.size(), 3u);
    EXPECT_EQ(c[0].text, "  a \"b\" \\ \n");
    // A single number is the text itself, not a timeout.
    EXPECT_EQ(c[1].text, "12");
    EXPECT_TRUE(c[1].numbers.empty());
    // type takes the whole rest of the line.
    EXPECT_EQ(c[2].text, "1 2 3");
}

TEST(ScriptParse, ErrorsNameTheLine) {
    auto e = parseError("tap 1 2\n\nfly 3 4\n");
    EXPECT_EQ(e.line, 3);
    EXPECT_NE(e.message.find("unknown command"), std::string::npos);
    EXPECT_EQ(e.describe().rfind("line 3: ", 0), 0u);

    EXPECT_EQ(parseError("tap 1\n").line, 1);
    EXPECT_NE(parseError("tap 1 x\n").message.find("not a number"), std::string::npos);
    EXPECT_EQ(parseError("tap 1 2 3\n").line, 1);
    EXPECT_EQ(parseError("wait\n").line, 1);
    EXPECT_EQ(parseError("wait -1\n").line, 1);
    EXPECT_EQ(parseError("drag 0 0 1 1 0\n").line, 1);
    EXPECT_NE(parseError("x\n# c\nexpect\n").message.find("unknown"), std::string::npos);
    EXPECT_NE(parseError("expect\n").message.find("missing text"), std::string::npos);
    EXPECT_NE(parseError("type \"open\n").message.find("quote"), std::string::npos);
    EXPECT_NE(parseError("type \"a\"b\n").message.find("after the closing quote"), std::string::npos);
    EXPECT_NE(parseError("type \"\\q\"\n").message.find("escape"), std::string::npos);
    EXPECT_EQ(parseError("waitfor \"a\" 1 2\n").line, 1);
    EXPECT_EQ(parseError("tree now\n").line, 1);
}

TEST(ScriptParse, NumbersMustBeWholeAndFinite) {
    EXPECT_EQ(parseError("tap 1e999 2\n").line, 1);
    EXPECT_EQ(parseError("tap 12abc 2\n").line, 1);
    EXPECT_EQ(parseError("tap nan 2\n").line, 1);
    auto c = parsed("tap -5 1e2\n");
    EXPECT_EQ(c[0].numbers, (std::vector<double>{-5, 100}));
}
