// The tag-file reader and writer shared by the core's file formats.
#include <gtest/gtest.h>

#include "TestScene.h"
#include "vxt/TagFile.h"
#include "vxt/TagWriter.h"

using vxt::TagFile;

namespace {

std::vector<std::vector<std::string>> tokens(const std::string& text) {
    TagFile tf;
    tf.parse(text);
    std::vector<std::vector<std::string>> out;
    for (const auto& l : tf.lines()) out.push_back(l.tokens);
    return out;
}

}  // namespace

TEST(TagFile, TokenisingRules) {
    using V = std::vector<std::vector<std::string>>;
    EXPECT_EQ(tokens("<THRESHOLD> 120, 5\n"), (V{{"<THRESHOLD>", "120", "5"}}));
    EXPECT_EQ(tokens("<THRESHOLD> 120 # trailing words\n"), (V{{"<THRESHOLD>", "120"}}));
    EXPECT_EQ(tokens("  # only a comment\n"), (V{{}})) << "kept as a line without tokens";
    EXPECT_EQ(tokens("# comment line\n\n<A> 1\n"), (V{{"<A>", "1"}}));
    EXPECT_EQ(tokens("<A> 1\n$ end\n<B> 2\n"), (V{{"<A>", "1"}}));
    EXPECT_EQ(tokens("<A>\t1#2 x\r\n"), (V{{"<A>", "1#2", "x"}})) << "# inside a token is no comment";
    EXPECT_EQ(tokens("<a> 1\n"), (V{{"<a>", "1"}})) << "case is kept";
    EXPECT_EQ(tokens("<A> 1"), (V{{"<A>", "1"}})) << "no final newline";
}

TEST(TagFile, LongLinesAreReadInPieces) {
    std::string line = "<ROW>";
    while (line.size() < 3000) line += " 12";
    TagFile tf;
    tf.parse(line + "\n<NEXT> 1\n");
    ASSERT_EQ(tf.lines().size(), 3u);
    EXPECT_EQ(tf.lines()[0].number, 1);
    EXPECT_EQ(tf.lines()[1].number, 1);
    EXPECT_EQ(tf.lines()[2].tokens[0], "<NEXT>");
}

TEST(TagFile, StrictNumbers) {
    double d;
    long long i;
    EXPECT_TRUE(vxt::parseDouble("-1.5e3", d));
    EXPECT_EQ(d, -1500);
    for (const char* bad : {"", "nan", "inf", "-inf", "1e999", "1.5x", "0x"}) EXPECT_FALSE(vxt::parseDouble(bad, d)) << bad;
    EXPECT_TRUE(vxt::parseInt("255", 0, 255, i));
    for (const char* bad : {"256", "-1", "1.0", "", "12a", "99999999999999999999"}) EXPECT_FALSE(vxt::parseInt(bad, 0, 255, i)) << bad;
}

TEST(TagWriter, LayoutAndSafeReplace) {
    vxttest::TempDir dir;
    vxt::TagWriter w;
    w.tag("<ROOT>").end();
    w.indent();
    w.tag("<V>").value(0.5).value(30.0).value(0.0333333).end();
    w.tag("<P>").value(3.14159265358979, 12).end();
    w.unindent();
    w.unindent();  // never below zero
    w.tag("</ROOT>").end();
    EXPECT_EQ(w.text(), "<ROOT> \n    <V> 0.5 30 0.0333333 \n    <P> 3.14159265359 \n</ROOT> \n");
    ASSERT_TRUE(w.save(dir.file("f.txt")).ok());
    ASSERT_TRUE(w.save(dir.file("f.txt")).ok()) << "saving twice replaces the file";
    EXPECT_EQ(vxttest::readFile(dir.file("f.txt")), w.text());
    EXPECT_EQ(vxttest::readFile(dir.file("f.txt.tmp")), "") << "no temporary file left";
    // An unwritable place fails cleanly and leaves nothing behind.
    vxt::Status s = w.save(dir.file("no/such/folder/f.txt"));
    EXPECT_FALSE(s.ok());
    EXPECT_EQ(s.message(), "cannot write '" + dir.file("no/such/folder/f.txt.tmp") + "'");
}
