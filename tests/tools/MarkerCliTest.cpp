// vexamark-marker as a user runs it: printable PNG and PDF markers, built-in pictures,
// A4 sheets, and bad command lines or files answered with one clear line and a
// non-zero exit status, leaving existing files untouched.

#include <gtest/gtest.h>

#include "PngFile.h"
#include "PrintedMarker.h"
#include "ToolTestSupport.h"

namespace {

const std::string kTool = VEXAMARK_MARKER_EXE;

int countPages(const std::string& pdf) {
    int pages = 0;
    for (size_t pos = 0; (pos = pdf.find("/Type /Page", pos)) != std::string::npos; pos += 5)
        if (pdf.compare(pos, 12, "/Type /Pages") != 0) ++pages;
    return pages;
}

TEST(MarkerCli, PrintPngCarriesGeometryAndBox) {
    vxtest::TempDir dir;
    auto r = vxtest::runCommand(kTool + " design glyph-f " + dir.file("f.png") + " --size 100");
    ASSERT_EQ(r.status, 0) << r.output;
    r = vxtest::runCommand(kTool + " print " + dir.file("f.png") + " " + dir.file("m.png") + " --size 128");
    ASSERT_EQ(r.status, 0) << r.output;
    vxtools::Image img;
    vxtools::PngFile::TextChunks text;
    std::string error;
    ASSERT_TRUE(vxtools::PngFile::read(dir.file("m.png"), img, error, &text)) << error;
    EXPECT_EQ(img.width(), 160);
    EXPECT_EQ(text[vxtools::PrintedMarker::kBoxKey], "16 16 128");
    EXPECT_EQ(img.pixel(16, 80)[0], 0);     // border starts at the box
    EXPECT_EQ(img.pixel(15, 80)[0], 255);   // quiet zone before it
    EXPECT_EQ(img.pixel(47, 80)[0], 0);     // border is 32 px wide
    EXPECT_EQ(img.pixel(48, 20)[0], 0);
}

TEST(MarkerCli, PdfOutputsAreRealPdfs) {
    vxtest::TempDir dir;
    auto r = vxtest::runCommand(kTool + " print design:corvane " + dir.file("one.pdf") + " --width-mm 60");
    ASSERT_EQ(r.status, 0) << r.output;
    EXPECT_EQ(vxtest::readFile(dir.file("one.pdf")).substr(0, 5), "%PDF-");
    std::string args;
    for (int i = 0; i < 7; ++i) args += " m" + std::to_string(i) + "=design:sail";
    r = vxtest::runCommand(kTool + " sheet " + dir.file("sheet.pdf") + args);  // 80 mm: 6 per page
    ASSERT_EQ(r.status, 0) << r.output;
    const std::string pdf = vxtest::readFile(dir.file("sheet.pdf"));
    EXPECT_EQ(pdf.substr(0, 5), "%PDF-");
    EXPECT_GT(pdf.size(), 2000u);
    EXPECT_EQ(countPages(pdf), 2);
    EXPECT_NE(pdf.find("/MediaBox [ 0 0 595.27"), std::string::npos);  // A4 in points
    EXPECT_NE(pdf.find(" 841.88"), std::string::npos);
    vxtest::writeFile(dir.file("list.txt"), "# demo\nalpha = design:quad\nbeta=design:arrow  # second\n\n");
    r = vxtest::runCommand(kTool + " sheet " + dir.file("list.pdf") + " --list " + dir.file("list.txt") +
                           " --width-mm 40");
    ASSERT_EQ(r.status, 0) << r.output;
    EXPECT_EQ(countPages(vxtest::readFile(dir.file("list.pdf"))), 1);
}

TEST(MarkerCli, BadInputsGiveClearMessagesAndKeepFiles) {
    vxtest::TempDir dir;
    vxtest::writeFile(dir.file("keep.png"), "precious");
    vxtest::writeFile(dir.file("broken.png"), "\x89PNG\r\n\x1a\n\x00\x00");
    vxtest::writeFile(dir.file("bad.list"), "alpha=design:quad\nno equals sign here\n");
    const std::string d = dir.path() + "/";
    struct Case {
        std::string args;
        int status;
        std::string message;
    };
    const Case cases[] = {
        {"", 2, "usage: vexamark-marker COMMAND ..."},
        {"frobnicate", 2, "vexamark-marker: error: unknown command 'frobnicate' (expected print, design, sheet or pattern)"},
        {"print design:quad " + d + "keep.png --size 30", 2,
         "vexamark-marker: error: --size: expected a marker width in pixels that is a multiple of 8 between 32 and 8192, found 30"},
        {"print design:quad " + d + "keep.png --size big", 2,
         "vexamark-marker: error: option '--size' expects a whole number in 1..1048576, found 'big'"},
        {"print design:quad " + d + "out.jpg", 2,
         "vexamark-marker: error: print expects an output file ending in .png or .pdf, found '" + d + "out.jpg'"},
        {"print " + d + "missing.png " + d + "keep.png", 1,
         "vexamark-marker: error: cannot open '" + d + "missing.png': No such file or directory"},
        {"print " + d + "broken.png " + d + "keep.png", 1,
         "vexamark-marker: error: '" + d + "broken.png' is a corrupt or truncated PNG file ("},
        {"print design:nope " + d + "keep.png", 1, "vexamark-marker: error: unknown design 'nope' (expected one of:"},
        {"print design:quad", 2, "vexamark-marker: error: print expects INNER and OUT.png|OUT.pdf"},
        {"print design:quad " + d + "keep.png --colour red", 2, "vexamark-marker: error: unknown option '--colour'"},
        {"design corvane " + d + "keep.png --size", 2, "vexamark-marker: error: option '--size' expects 1 value"},
        {"sheet " + d + "s.pdf", 2, "vexamark-marker: error: sheet expects at least one NAME=INNER (or --list FILE)"},
        {"sheet " + d + "s.pdf =design:quad", 2, "vexamark-marker: error: expected NAME=INNER, found '=design:quad'"},
        {"sheet " + d + "s.pdf a=design:quad --width-mm 300", 1,
         "vexamark-marker: error: a marker width of 300 mm does not fit on an A4 page (expected at most 172 mm)"},
        {"sheet " + d + "s.pdf --list " + d + "bad.list", 1,
         "vexamark-marker: error: " + d + "bad.list:2: expected NAME=INNER, found 'no equals sign here'"},
        {"sheet " + d + "s.pdf --list " + d + "none.list", 1,
         "vexamark-marker: error: cannot open list file '" + d + "none.list'"},
        {"sheet " + d + "s.pdf a=" + d + "missing.png", 1,
         "vexamark-marker: error: cannot open '" + d + "missing.png': No such file or directory"},
    };
    for (const Case& c : cases) {
        const auto r = vxtest::runCommand(kTool + " " + c.args);
        EXPECT_EQ(r.status, c.status) << c.args << "\n" << r.output;
        EXPECT_EQ(r.output.rfind(c.message, 0), 0u) << c.args << "\n" << r.output;
    }
    EXPECT_EQ(vxtest::readFile(dir.file("keep.png")), "precious");
    EXPECT_EQ(vxtest::readFile(dir.file("s.pdf")), "");  // never created
}

}  // namespace
