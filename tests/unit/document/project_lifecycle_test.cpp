#include "core/document/project_lifecycle.h"
#include "core/interaction/file_chooser.h"
#include "core/strings/strings.h"

#include <gtest/gtest.h>

#include <cstdio>

using namespace veltrane;

namespace {
// A path whose directory does not exist: every save to it fails.
const std::string kUnwritable = "/nonexistent-veltrane-dir/project.chg";

struct Fixture {
    ScriptedPrompter prompter;
    ScriptedFileChooser chooser;
    Document document{prompter};
    ProjectLifecycle lifecycle{document, chooser};

    Fixture() {
        document.newDocument();
        document.state().ProjectModified = true;
    }
};
} // namespace

TEST(ProjectLifecycle, UnmodifiedProjectIsDiscardedWithoutAQuestion) {
    Fixture f;
    f.document.state().ProjectModified = false;
    EXPECT_TRUE(f.lifecycle.confirmDiscard());
    EXPECT_TRUE(f.prompter.shown().empty());
}

TEST(ProjectLifecycle, AnswersToTheSaveQuestion) {
    {
        Fixture f;
        f.prompter.addAnswer(Answer::No);
        EXPECT_TRUE(f.lifecycle.confirmDiscard());
        ASSERT_EQ(f.prompter.shown().size(), 1u);
        EXPECT_EQ(f.prompter.shown()[0], "Configuration has been changed, save it or not?");
        EXPECT_EQ(f.chooser.saveCalls, 0);
    }
    {
        Fixture f;
        f.prompter.addAnswer(Answer::Cancel);
        EXPECT_FALSE(f.lifecycle.confirmDiscard());
        EXPECT_TRUE(f.document.state().ProjectModified);
    }
    {
        // Yes on an untitled project asks for a file; cancelling it keeps the work.
        Fixture f;
        f.prompter.addAnswer(Answer::Yes);
        EXPECT_FALSE(f.lifecycle.confirmDiscard());
        EXPECT_EQ(f.chooser.saveCalls, 1);
        EXPECT_EQ(f.chooser.lastSuggestion, "Modbus");
        EXPECT_TRUE(f.document.state().ProjectModified);
    }
    {
        // Yes with a failed save keeps the work too; the failure is shown.
        Fixture f;
        f.prompter.addAnswer(Answer::Yes);
        f.chooser.saveAnswers.push_back(kUnwritable);
        EXPECT_FALSE(f.lifecycle.confirmDiscard());
        EXPECT_EQ(f.prompter.shown().size(), 2u);
        EXPECT_TRUE(f.document.state().ProjectModified);
        EXPECT_TRUE(f.document.filePath().empty());
    }
}

TEST(ProjectLifecycle, NewAndOpenAskBeforeDiscarding) {
    {
        Fixture f;
        f.prompter.addAnswer(Answer::Cancel);
        f.document.project().subnets[0].nodeCount = 5;
        EXPECT_FALSE(f.lifecycle.newProject());
        EXPECT_EQ(f.document.project().subnets[0].nodeCount, 5) << "Cancel keeps the project";
    }
    {
        Fixture f;
        f.prompter.addAnswer(Answer::No);
        f.document.project().subnets[0].nodeCount = 5;
        EXPECT_TRUE(f.lifecycle.newProject());
        EXPECT_EQ(f.document.project().subnets[0].nodeCount, 0);
        EXPECT_FALSE(f.document.state().ProjectModified);
    }
    {
        // A cancelled open dialog asks nothing.
        Fixture f;
        EXPECT_FALSE(f.lifecycle.openProject());
        EXPECT_EQ(f.chooser.openCalls, 1);
        EXPECT_TRUE(f.prompter.shown().empty());
    }
    {
        Fixture f;
        f.chooser.openAnswers.push_back("/some/file.chg");
        f.prompter.addAnswer(Answer::Cancel);
        EXPECT_FALSE(f.lifecycle.openProject());
        ASSERT_EQ(f.prompter.shown().size(), 1u) << "only the question, no open attempt";
        EXPECT_EQ(f.prompter.shown()[0], tr(Str::SaveConfigurationQuestion));
    }
}

TEST(ProjectLifecycle, SaveUsesTheFileNameWhenThereIsOne) {
    Fixture f;
    f.chooser.saveAnswers.push_back(std::nullopt);
    EXPECT_FALSE(f.lifecycle.save()) << "untitled: Save As, cancelled";
    EXPECT_EQ(f.chooser.saveCalls, 1);
}

TEST(ProjectLifecycle, DefaultExtension) {
    EXPECT_EQ(withDefaultExtension("/tmp/a"), "/tmp/a.chg");
    EXPECT_EQ(withDefaultExtension("/tmp/a.chg"), "/tmp/a.chg");
    EXPECT_EQ(withDefaultExtension("/tmp/a.bak"), "/tmp/a.bak");
    EXPECT_EQ(withDefaultExtension("/tmp.d/a"), "/tmp.d/a.chg");
    EXPECT_EQ(withDefaultExtension("/tmp/.hidden"), "/tmp/.hidden.chg");
    EXPECT_EQ(withDefaultExtension("plain"), "plain.chg");
}

TEST(ProjectLifecycle, AnOpenedFileStartsUnmodifiedOnlyWhenTheOpenSucceeds) {
    Fixture f;
    const std::string path = testing::TempDir() + "lifecycle_open.chg";
    f.chooser.saveAnswers.push_back(path);
    ASSERT_TRUE(f.lifecycle.saveAs());
    f.document.state().ProjectModified = true;

    // No drops the changes; the file then opens clean.
    f.prompter.addAnswer(Answer::No);
    ASSERT_TRUE(f.lifecycle.openProject(path));
    EXPECT_FALSE(f.document.state().ProjectModified);
    EXPECT_EQ(f.lifecycle.lastFileUsed(), path);

    // A failed open keeps the project and its flag.
    f.document.state().ProjectModified = true;
    f.prompter.addAnswer(Answer::No);
    EXPECT_FALSE(f.lifecycle.openProject(path + ".missing"));
    EXPECT_TRUE(f.document.state().ProjectModified);
    std::remove(path.c_str());
}
