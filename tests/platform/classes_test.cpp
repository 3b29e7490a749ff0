#include "platform/Classes.h"

#include <gtest/gtest.h>

#include <vector>

namespace {

// Records what it is told and how many instances are alive.
class Probe : public TComponent {
public:
    Probe(TComponent* Owner, std::vector<std::string>* Log, const std::string& N)
        : TComponent(Owner), FLog(Log)
    {
        SetName(N);
    }
    ~Probe() override { FLog->push_back("free " + Name()); }
    TComponent* Watched = nullptr;

protected:
    void Notification(TComponent* C, TOperation Op) override
    {
        TComponent::Notification(C, Op);
        if (Op == opRemove && C == Watched) {
            FLog->push_back(Name() + " lost " + C->Name());
            Watched = nullptr;
        }
    }

private:
    std::vector<std::string>* FLog;
};

TEST(Component, OwnerFreesWhatItOwnsNewestFirst)
{
    std::vector<std::string> log;
    auto* owner = new Probe(nullptr, &log, "owner");
    new Probe(owner, &log, "a");
    auto* b = new Probe(owner, &log, "b");
    new Probe(b, &log, "b1");
    EXPECT_EQ(owner->ComponentCount(), 2);
    EXPECT_EQ(owner->FindComponent("B"), b);
    delete owner;
    EXPECT_EQ(log, (std::vector<std::string>{"free owner", "free b", "free b1", "free a"}));
}

TEST(Component, FreeNotificationReachesAnyWatcherAndUnhooksBothWays)
{
    std::vector<std::string> log;
    Probe root(nullptr, &log, "root");
    auto* watcher = new Probe(&root, &log, "watcher");
    auto* target = new Probe(nullptr, &log, "target");
    watcher->Watched = target;
    target->FreeNotification(watcher);
    delete target;
    EXPECT_EQ(watcher->Watched, nullptr);
    EXPECT_EQ(log, (std::vector<std::string>{"free target", "watcher lost target"}));

    // The watcher going first must not leave a dangling entry in the target.
    auto* target2 = new Probe(nullptr, &log, "t2");
    target2->FreeNotification(watcher);
    delete watcher;
    delete target2;  // would touch freed memory if the watcher were still listed
    EXPECT_EQ(root.ComponentCount(), 0);
}

TEST(Component, DeletingAnOwnedComponentRemovesItFromItsOwner)
{
    std::vector<std::string> log;
    Probe owner(nullptr, &log, "owner");
    auto* a = new Probe(&owner, &log, "a");
    delete a;
    EXPECT_EQ(owner.ComponentCount(), 0);
}

}  // namespace
