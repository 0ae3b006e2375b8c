// Dialogs never wait for a person in unattended runs.
#include "CMessageBox.h"
#include "CSaveFileDialog.h"

#include <gtest/gtest.h>

#include <cstdlib>

namespace
{
class UnattendedDialogs : public ::testing::Test
{
protected:
    void SetUp() override
    {
        ::setenv("VEXAMARK_NONINTERACTIVE", "1", 1);
        ::unsetenv("VEXAMARK_SAVE_AS");
    }
    void TearDown() override { ::unsetenv("VEXAMARK_SAVE_AS"); }
};

TEST_F(UnattendedDialogs, MessagesGoToStandardError)
{
    EXPECT_TRUE(CMessageBox::IsUnattended());
    ::testing::internal::CaptureStderr();
    CMessageBox::Show("No WebCam Detected", "Warning!");
    EXPECT_TRUE(CMessageBox::Ask("Replace it?", "Save As", true));
    EXPECT_FALSE(CMessageBox::Ask("Replace it?", "Save As", false));
    EXPECT_EQ(::testing::internal::GetCapturedStderr(),
              "Warning!: No WebCam Detected\nSave As: Replace it?\nSave As: Replace it?\n");
}

TEST_F(UnattendedDialogs, SaveDialogTakesTheNameFromTheEnvironmentOrCancels)
{
    CSaveFileDialog::Request request;
    request.defaultExtension = "patt";
    std::string chosen = "unchanged";
    EXPECT_FALSE(CSaveFileDialog::Run(request, chosen));
    EXPECT_EQ(chosen, "unchanged");

    ::setenv("VEXAMARK_SAVE_AS", "Data\\new_marker", 1);
    ASSERT_TRUE(CSaveFileDialog::Run(request, chosen));
    EXPECT_EQ(chosen, "Data/new_marker.patt");
}

TEST(SaveFileDialog, DefaultExtensionOnlyWhenTheNameHasNone)
{
    struct Case
    {
        const char* name;
        const char* extension;
        const char* result;
    };
    const Case cases[] = {
        {"object", "zep", "object.zep"},      {"object.dat", "zep", "object.dat"},
        {"my.folder/object", "zep", "my.folder/object.zep"}, {"object", "", "object"},
        {"", "zep", ""},
    };
    for (const Case& c : cases) EXPECT_EQ(CSaveFileDialog::WithDefaultExtension(c.name, c.extension), c.result);
}

TEST(MessageBoxHook, AHostDialogReplacesTheBuiltInOne)
{
    ::unsetenv("VEXAMARK_NONINTERACTIVE");
    if (!std::getenv("DISPLAY")) GTEST_SKIP() << "the hook is used only with a display";
    std::string seen;
    CMessageBox::SetHook([&](const std::string& text, const std::string& caption) { seen = caption + "|" + text; });
    CMessageBox::Show("text", "caption");
    CMessageBox::SetHook(nullptr);
    ::setenv("VEXAMARK_NONINTERACTIVE", "1", 1);
    EXPECT_EQ(seen, "caption|text");
}
}
