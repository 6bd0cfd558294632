#include "core/common/change_signal.h"
#include "support/editor_fixture.h"

#include <gtest/gtest.h>

#include <optional>
#include <vector>

using namespace veltrane;

TEST(ChangeSignal, EveryListenerHearsUntilItDropsItsSubscription) {
    ChangeSignal<int> signal;
    std::vector<int> first, second;
    auto a = signal.subscribe([&](int v) { first.push_back(v); });
    std::optional<ChangeSignal<int>::Subscription> b = signal.subscribe([&](int v) { second.push_back(v); });
    signal.notify(1);
    b.reset();
    signal.notify(2);
    EXPECT_EQ(first, (std::vector<int>{1, 2}));
    EXPECT_EQ(second, (std::vector<int>{1}));
    EXPECT_EQ(signal.listenerCount(), 1u);
}

TEST(ChangeSignal, ListenersMayLeaveWhileBeingCalledAndMayOutliveTheSignal) {
    ChangeSignal<> signal;
    ChangeSignal<>::Subscription later;
    int earlyCalls = 0, laterCalls = 0;
    // The first listener ends the second one's subscription; the second must not be called after.
    auto early = signal.subscribe([&] {
        ++earlyCalls;
        later.reset();
    });
    later = signal.subscribe([&] { ++laterCalls; });
    signal.notify();
    EXPECT_EQ(earlyCalls, 1);
    EXPECT_EQ(laterCalls, 0);

    ChangeSignal<>::Subscription orphan;
    {
        ChangeSignal<> shortLived;
        orphan = shortLived.subscribe([] {});
    }
    orphan.reset();  // the signal is gone; nothing to do and nothing to crash
}

namespace {
// Records what the document and its editor announce.
class ChangeEvents : public veltrane::testing::EditorFixture {
protected:
    ChangeEvents() {
        m_project = document.changes().subscribe([this](ProjectChange c) { projectChanges.push_back(c); });
        m_state = editor().commandStateChanges().subscribe([this] { ++commandStateChanges; });
        m_grid = editor().grid().changes().subscribe([this] { ++gridChanges; });
    }
    void forget() {
        projectChanges.clear();
        commandStateChanges = gridChanges = 0;
    }

    std::vector<ProjectChange> projectChanges;
    int commandStateChanges = 0;
    int gridChanges = 0;

private:
    ChangeSignal<ProjectChange>::Subscription m_project;
    ChangeSignal<>::Subscription m_state, m_grid;
};
}  // namespace

TEST_F(ChangeEvents, EditsLifeCycleAndSelectionAreAnnounced) {
    document.newDocument();
    EXPECT_EQ(projectChanges, (std::vector<ProjectChange>{ProjectChange::Replaced}));

    // Selecting a Modbus master subnet enables Add Node: the command state changes.
    forget();
    select("Subnet 1");
    EXPECT_GT(commandStateChanges, 0);
    EXPECT_TRUE(projectChanges.empty());

    // Selecting it again changes nothing the commands follow.
    forget();
    select("Subnet 1");
    EXPECT_EQ(commandStateChanges, 0);

    forget();
    ASSERT_TRUE(editor().addNode());
    EXPECT_EQ(projectChanges, (std::vector<ProjectChange>{ProjectChange::Edited}));
    EXPECT_TRUE(state().ProjectModified);

    // A grid edit that stores a value is an edit of the project, announced at once.
    select("Subnet 1/Node-1");
    forget();
    type(0, "12");
    EXPECT_EQ(projectChanges, (std::vector<ProjectChange>{ProjectChange::Edited}));
    EXPECT_GT(gridChanges, 0);

    forget();
    ASSERT_TRUE(editor().copyNode());
    EXPECT_EQ(commandStateChanges, 1);

    const std::string path = ::testing::TempDir() + "change_events.chg";
    forget();
    ASSERT_TRUE(document.saveDocument(path));
    EXPECT_EQ(projectChanges, (std::vector<ProjectChange>{ProjectChange::Saved}));
    EXPECT_FALSE(state().ProjectModified);

    forget();
    ASSERT_TRUE(document.openDocument(path));
    EXPECT_EQ(projectChanges.back(), ProjectChange::Replaced);
    std::remove(path.c_str());
}
