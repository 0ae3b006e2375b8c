// Reading tag files: tokenising rules, the cursor operations and the value
// conversions every parser of the engine relies on.
#include "COsgSettings.h"

#include "TestFolder.h"

#include <gtest/gtest.h>

#include <filesystem>

#include <string>
#include <vector>

namespace
{
using Tokens = std::vector<std::string>;

struct TokeniseCase
{
    const char* name;
    const char* line;
    Tokens expected;
};

class Tokenising : public ::testing::TestWithParam<TokeniseCase>
{
};

TEST_P(Tokenising, SplitsLikeTheEngineExpects)
{
    EXPECT_EQ(COsgSettings::Tokenise(GetParam().line), GetParam().expected);
}

INSTANTIATE_TEST_SUITE_P(
    Lines, Tokenising,
    ::testing::Values(
        TokeniseCase{"comma_glued_to_value", "<THRESHOLD> 120, 5\n", {"<THRESHOLD>", "120", "5"}},
        TokeniseCase{"comma_without_blanks", "<CLEAR_COLOR> 0.1,0.2,0.3,1", {"<CLEAR_COLOR>", "0.1", "0.2", "0.3", "1"}},
        TokeniseCase{"tabs_and_crlf", "\t<A>\tb\r\n", {"<A>", "b"}},
        TokeniseCase{"trailing_comment", "<THRESHOLD> 120 # the usual value", {"<THRESHOLD>", "120"}},
        TokeniseCase{"only_a_comment_after_blanks", "  # word", {}},
        TokeniseCase{"hash_inside_token_is_kept", "<FILE> a#b", {"<FILE>", "a#b"}},
        TokeniseCase{"blanks_only", "   \t  ", {}},
        TokeniseCase{"case_is_kept", "<Threshold> ABC", {"<Threshold>", "ABC"}}),
    [](const ::testing::TestParamInfo<TokeniseCase>& info) { return std::string(info.param.name); });

class TagFileReading : public ::testing::Test
{
protected:
    bool LoadText(const std::string& text)
    {
        const std::string path = folder / "file.tsf";
        TestFolder::WriteFile(path, text);
        return reader.Load(path);
    }
    TestFolder folder;
    COsgSettings reader;
};

TEST_F(TagFileReading, SkipsCommentAndEmptyLinesAndStopsAtDollar)
{
    ASSERT_TRUE(LoadText("# comment\n\n<A> 1\n   # trailing only\n<B> 2\n$ end\n<C> 3\n"));
    ASSERT_EQ(reader.LineCount(), 3u);  // <A>, the token-less line, <B>
    EXPECT_TRUE(reader.LineTokens(1).empty());
    EXPECT_FALSE(reader.FindFirst("<C>"));
    ASSERT_TRUE(reader.FindFirst("<B>"));
    EXPECT_EQ(reader.NextString(), "<B>");
    EXPECT_EQ(reader.NextInt(), 2);
}

TEST_F(TagFileReading, NextUnlessStopsBeforeTheClosingTagAndWrapsAtTheEnd)
{
    ASSERT_TRUE(LoadText("<ROOT>\n<A> 1\n<B> 2\n</ROOT>\n<C> 3\n"));
    ASSERT_TRUE(reader.FindFirst("<ROOT>"));
    std::vector<std::string> seen;
    while (reader.NextUnless("</ROOT>")) seen.push_back(reader.NextString());
    EXPECT_EQ(seen, (std::vector<std::string>{"<A>", "<B>"}));
    EXPECT_EQ(reader.CurrentLine(), 2);  // left on the last body line

    // Without a closing tag the loop ends at the last line and the cursor
    // returns to the top.
    ASSERT_TRUE(reader.FindFirst("</ROOT>"));
    EXPECT_TRUE(reader.NextUnless("</NOPE>"));
    EXPECT_FALSE(reader.NextUnless("</NOPE>"));
    EXPECT_EQ(reader.CurrentLine(), 0);
}

TEST_F(TagFileReading, FindNextSearchesOnlyAfterTheCurrentLine)
{
    ASSERT_TRUE(LoadText("<M> a\n<X>\n<M> b\n<M> c\n"));
    ASSERT_TRUE(reader.FindFirst("<M>"));
    std::vector<std::string> values;
    do
    {
        reader.NextString();
        values.push_back(reader.NextString());
    } while (reader.FindNext("<M>"));
    EXPECT_EQ(values, (std::vector<std::string>{"a", "b", "c"}));
    EXPECT_FALSE(reader.FindFirst("<m>"));  // tags are case-sensitive
}

TEST_F(TagFileReading, ValuesReadAsTheirLeadingNumberOrZero)
{
    ASSERT_TRUE(LoadText("<V> 12abc x 3.5e1 -7 \n"));
    ASSERT_TRUE(reader.FindFirst("<V>"));
    reader.NextString();
    EXPECT_EQ(reader.NextInt(), 12);
    EXPECT_EQ(reader.NextInt(), 0);
    EXPECT_DOUBLE_EQ(reader.NextFloat(), 35.0);
    EXPECT_EQ(reader.NextInt(), -7);
    // Past the last token every reader gives its empty value.
    EXPECT_EQ(reader.NextInt(), 0);
    EXPECT_DOUBLE_EQ(reader.NextFloat(), 0.0);
    EXPECT_EQ(reader.NextString(), "");
    EXPECT_EQ(reader.NextTextCopy(), nullptr);
}

TEST_F(TagFileReading, RestOfLineJoinsTheRemainingTokens)
{
    ASSERT_TRUE(LoadText("<NAME> my  model,name\n"));
    ASSERT_TRUE(reader.FindFirst("<NAME>"));
    reader.NextString();
    EXPECT_EQ(reader.RestOfLine(), "my model name");
}

TEST_F(TagFileReading, TextCopyHoldsTokensOfAnyLength)
{
    const std::string longToken(600, 'x');
    ASSERT_TRUE(LoadText("<FILE> short " + longToken + "\n"));
    ASSERT_TRUE(reader.FindFirst("<FILE>"));
    reader.NextString();
    char* shortCopy = reader.NextTextCopy();
    char* longCopy = reader.NextTextCopy();
    ASSERT_NE(shortCopy, nullptr);
    ASSERT_NE(longCopy, nullptr);
    EXPECT_STREQ(shortCopy, "short");
    EXPECT_EQ(std::string(longCopy), longToken);
    delete[] shortCopy;
    delete[] longCopy;
}

TEST_F(TagFileReading, OverlongPhysicalLinesAreReadInPieces)
{
    // 2047 characters fit one line buffer; the rest becomes a line of its own.
    const std::string first = "<A> " + std::string(2043, 'a');
    ASSERT_TRUE(LoadText(first + "<B> 5\n<C> 6\n"));
    ASSERT_EQ(reader.LineCount(), 3u);
    ASSERT_TRUE(reader.FindFirst("<B>"));
    reader.NextString();
    EXPECT_EQ(reader.NextInt(), 5);
}

// A missing file, and a path that opens but cannot be read (a folder where a
// file should be: unreadable for root too), are reported alike.
TEST_F(TagFileReading, MissingOrUnreadableFileReportsOnStandardOutput)
{
    std::filesystem::create_directories(folder / "folder.tsf");
    for (const std::string name : {"absent.tsf", "folder.tsf"})
    {
        ::testing::internal::CaptureStdout();
        EXPECT_FALSE(reader.Load(folder / name)) << name;
        EXPECT_EQ(::testing::internal::GetCapturedStdout(), "Error: Failed to load " + (folder / name) + "\n");
        EXPECT_FALSE(reader.IsLoaded()) << name;
    }
}
}
