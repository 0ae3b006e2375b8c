// The message log: exact line format, numbering, and a missing "Data" folder.
#include "CMessageLog.h"

#include "TestFolder.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <sys/stat.h>
#include <unistd.h>
#include <memory>

// Builds private log instances so each test gets a fresh numbering.
class CMessageLogTestAccess
{
public:
    static std::unique_ptr<CMessageLog> Create() { return std::unique_ptr<CMessageLog>(new CMessageLog()); }
    static bool Close(CMessageLog& log) { return log.CloseLog(); }
};

namespace
{
class MessageLog : public ::testing::Test
{
protected:
    void SetUp() override { ::mkdir((folder / "Data").c_str(), 0755); }
    std::string LogText() const { return TestFolder::ReadFile(folder / "Data/messageLog.txt"); }

    TestFolder folder;
    ScopedCurrentFolder inFolder{folder.Path()};
};

TEST_F(MessageLog, HeaderThenNumberedLinesFlushedAtOnce)
{
    auto log = CMessageLogTestAccess::Create();
    log->WriteToLog("VexaBox::Init()...");
    log->WriteToLog("");
    // Readable before the log is closed: every line is flushed.
    EXPECT_EQ(LogText(),
              "Start Vexamark LogFile v0.1 \n"
              "  \n"
              "MSG    0 VexaBox::Init()... \n"
              "MSG    1  \n");
    EXPECT_EQ(log->GetMessageCount(), 2);
}

TEST_F(MessageLog, NumbersPadToFourAndWiderNumbersAreWrittenInFull)
{
    auto log = CMessageLogTestAccess::Create();
    for (int i = 0; i < 10001; ++i) log->WriteToLog("m");
    const std::string text = LogText();
    EXPECT_NE(text.find("MSG    9 m \n"), std::string::npos);
    EXPECT_NE(text.find("MSG 9999 m \n"), std::string::npos);
    EXPECT_NE(text.find("MSG 10000 m \n"), std::string::npos);
}

TEST_F(MessageLog, NumbersAreNotMessages)
{
    auto log = CMessageLogTestAccess::Create();
    EXPECT_TRUE(log->WriteToLog(42));
    EXPECT_TRUE(log->WriteToLog(4.2f));
    EXPECT_EQ(log->GetMessageCount(), 0);
    EXPECT_EQ(LogText(), "Start Vexamark LogFile v0.1 \n  \n");
}

TEST_F(MessageLog, MultiLineTextKeepsOneNumber)
{
    auto log = CMessageLogTestAccess::Create();
    log->WriteToLog("first\nsecond");
    log->WriteToLog("next");
    EXPECT_EQ(LogText(), "Start Vexamark LogFile v0.1 \n  \nMSG    0 first\nsecond \nMSG    1 next \n");
}

TEST_F(MessageLog, ClosingAddsTheFooter)
{
    auto log = CMessageLogTestAccess::Create();
    log->WriteToLog("only");
    EXPECT_TRUE(CMessageLogTestAccess::Close(*log));
    EXPECT_EQ(LogText(), "Start Vexamark LogFile v0.1 \n  \nMSG    0 only \n  \nEnd Vexamark LogFile v0.1 \n");
}

TEST_F(MessageLog, WithoutDataFolderOneErrorBoxAndMessagesStillCount)
{
    ::rmdir((folder / "Data").c_str());
    ::testing::internal::CaptureStderr();
    auto log = CMessageLogTestAccess::Create();
    log->WriteToLog("lost");
    log->WriteToLog("lost too");
    EXPECT_EQ(::testing::internal::GetCapturedStderr(), "Error!: Unable to create messageLog\n");
    EXPECT_EQ(log->GetMessageCount(), 2);
    EXPECT_FALSE(TestFolder::Exists(folder / "Data/messageLog.txt"));
}

TEST_F(MessageLog, DisplayMessageNeverWritesTheLog)
{
    auto log = CMessageLogTestAccess::Create();
    ::testing::internal::CaptureStderr();
    EXPECT_TRUE(log->DisplayMessage("Something to say", "Warning!"));
    EXPECT_EQ(::testing::internal::GetCapturedStderr(), "Warning!: Something to say\n");
    EXPECT_EQ(log->GetMessageCount(), 0);
    EXPECT_EQ(LogText(), "Start Vexamark LogFile v0.1 \n  \n");
}
}
