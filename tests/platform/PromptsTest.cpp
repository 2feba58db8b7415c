// The prompts in use: silent answers by default, scripted ones when installed.
#include <gtest/gtest.h>

#include "platform/Prompts.h"
#include "support/ScriptedPrompts.h"

namespace {

TEST(Prompts, SilentPromptsNeverAgreeToAnything) {
    IPrompts& p = ThePrompts();
    EXPECT_EQ(p.MessageBox("Cannot Open Connection To Board.", "", kMbOk), kIdOk);
    EXPECT_EQ(p.MessageBox("Keep points?", "", kMbYesNo | kMbIconQuestion), kIdNo);
    EXPECT_EQ(p.MessageBox("Save?", "", kMbYesNoCancel), kIdCancel);
    std::string path = "unchanged";
    EXPECT_FALSE(p.GetOpenFileName(FileDialogRequest{}, path));
    EXPECT_FALSE(p.GetSaveFileName(FileDialogRequest{}, path));
    EXPECT_EQ(path, "unchanged");
}

TEST(Prompts, InstalledPromptsAnswerAndRecordUntilRemoved) {
    CScriptedPrompts scripted;
    {
        CScopedPrompts use(scripted);
        scripted.QueueAnswer(kIdYes);
        scripted.QueuePath("/tmp/site.lks");
        EXPECT_EQ(ThePrompts().MessageBox("Keep points?", "Open", kMbYesNo), kIdYes);
        EXPECT_EQ(ThePrompts().MessageBox("Again?", "Open", kMbYesNo), kIdNo)
            << "an empty script falls back to the silent answer";
        FileDialogRequest req;
        req.filter = "Site Files (*.lks)|*.lks||";
        req.defaultExtension = "lks";
        std::string path;
        EXPECT_TRUE(ThePrompts().GetOpenFileName(req, path));
        EXPECT_EQ(path, "/tmp/site.lks");
        EXPECT_FALSE(ThePrompts().GetSaveFileName(req, path));
    }
    const std::vector<PromptCall> calls = scripted.Calls();
    ASSERT_EQ(calls.size(), 4u);
    EXPECT_EQ(calls[0].text, "Keep points?");
    EXPECT_EQ(calls[0].caption, "Open");
    EXPECT_EQ(calls[0].flags, kMbYesNo);
    EXPECT_EQ(calls[2].kind, PromptCall::kOpenFile);
    EXPECT_EQ(calls[2].request.defaultExtension, "lks");
    EXPECT_EQ(calls[3].kind, PromptCall::kSaveFile);
    EXPECT_EQ(scripted.Messages(), (std::vector<std::string>{"Keep points?", "Again?"}));
    // Removed again: the silent prompts answer and nothing more is recorded.
    EXPECT_EQ(ThePrompts().MessageBox("x", "", kMbYesNo), kIdNo);
    EXPECT_EQ(scripted.Calls().size(), 4u);
}

} // namespace
