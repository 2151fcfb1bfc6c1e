// The task list: passes, purges, sorting, nesting and removal.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "tasks/tasks.h"

namespace {

// A task that writes its name into a shared log when it runs, and counts its deletion.
struct Probe : Executable {
    Probe(std::string n, int8_t p, std::vector<std::string>* runLog, int* deletions = nullptr)
        : Executable(p), name(std::move(n)), log(runLog), deleted(deletions) {}
    ~Probe() override {
        if (deleted) ++*deleted;
    }
    void Execute() override {
        log->push_back(name);
        if (finishOnRun) SetState(Finished);
        if (onRun) onRun();
    }
    void ExecuteSuspended() override { log->push_back(name + "(suspended)"); }

    std::string name;
    std::vector<std::string>* log;
    int* deleted;
    bool finishOnRun = false;
    std::function<void()> onRun;
};

// Names of the tasks in list order.
std::vector<std::string> Order(const Executor& executor) {
    std::vector<std::string> names;
    for (Sil_Link* n = executor.tasks->head->next; n != executor.tasks->tail; n = n->next)
        names.push_back(static_cast<Probe*>(n)->name);
    return names;
}

// Adds tasks so that the list holds them in the given order (Add puts a task in front).
void AddInOrder(Executor& executor, const std::vector<Probe*>& tasks) {
    for (auto it = tasks.rbegin(); it != tasks.rend(); ++it) executor.Add(*it);
}

using Names = std::vector<std::string>;

TEST(TaskList, EqualPrioritiesDoNotKeepTheirOrderAfterTheSort) {
    Executor executor;
    Names log;
    AddInOrder(executor, {new Probe("first2", 2, &log), new Probe("second2", 2, &log), new Probe("one", 1, &log)});

    executor.Execute();
    EXPECT_EQ(log, (Names{"first2", "second2", "one"}));
    log.clear();
    executor.Execute();
    EXPECT_EQ(log, (Names{"one", "second2", "first2"}));
}

TEST(TaskList, SortOrdersAnyPermutationByPriority) {
    const std::vector<std::vector<int>> cases = {{5, 4, 3, 2, 1}, {1, 2, 3}, {3, 1, 2}, {-128, 127, 0, -1}, {7}};
    for (const auto& priorities : cases) {
        Executor executor;
        Names log;
        std::vector<Probe*> tasks;
        for (int p : priorities) tasks.push_back(new Probe(std::to_string(p), static_cast<int8_t>(p), &log));
        AddInOrder(executor, tasks);
        executor.Execute();
        std::vector<int> sorted(priorities);
        std::sort(sorted.begin(), sorted.end());
        Names expected;
        for (int p : sorted) expected.push_back(std::to_string(p));
        EXPECT_EQ(Order(executor), expected);
    }
}

TEST(TaskList, TaskThatFinishesItselfIsDeletedAtTheEndOfThePassAfterTheOthersRan) {
    Executor executor;
    Names log;
    int deletions = 0;
    auto* quitter = new Probe("quitter", 0, &log, &deletions);
    quitter->finishOnRun = true;
    AddInOrder(executor, {quitter, new Probe("other", 1, &log, &deletions)});

    executor.Execute();
    EXPECT_EQ(log, (Names{"quitter", "other"}));
    EXPECT_EQ(deletions, 1);
    EXPECT_EQ(Order(executor), Names{"other"});

    log.clear();
    executor.Execute();
    EXPECT_EQ(log, Names{"other"});
}

TEST(TaskList, TaskMarkedFinishedBehindTheCursorIsPurgedInTheSamePass) {
    Executor executor;
    Names log;
    auto* early = new Probe("early", 0, &log);
    auto* late = new Probe("late", 1, &log);
    late->onRun = [early] { early->SetState(Finished); };
    AddInOrder(executor, {early, late});
    executor.Execute();
    // "early" ran before being marked, and is gone at the end of this pass.
    EXPECT_EQ(log, (Names{"early", "late"}));
    EXPECT_EQ(Order(executor), Names{"late"});
}

TEST(TaskList, TaskAddedBetweenPassesRunsFirstWhateverItsPriority) {
    Executor executor;
    Names log;
    AddInOrder(executor, {new Probe("a", 0, &log), new Probe("b", 1, &log)});
    executor.Execute();
    executor.Add(new Probe("late", 127, &log));
    log.clear();
    executor.Execute();
    EXPECT_EQ(log, (Names{"late", "a", "b"}));
    EXPECT_EQ(Order(executor), (Names{"a", "b", "late"}));
}

TEST(TaskList, TaskAddedDuringAPassWaitsForTheNextPass) {
    Executor executor;
    Names log;
    auto* spawner = new Probe("spawner", 0, &log);
    bool spawned = false;
    spawner->onRun = [&] {
        if (!spawned) executor.Add(new Probe("child", 5, &log));
        spawned = true;
    };
    executor.Add(spawner);
    executor.Execute();
    EXPECT_EQ(log, Names{"spawner"});
    log.clear();
    executor.Execute();
    EXPECT_EQ(log, (Names{"spawner", "child"}));
}

TEST(TaskList, FinishedIsFinal) {
    Executable task(0);
    task.SetState(Suspended);
    EXPECT_EQ(task.state, Suspended);
    task.SetState(Finished);
    task.SetState(Active);
    EXPECT_EQ(task.state, Finished);
}

TEST(TaskList, StatesDecideWhatAPassDoes) {
    Executor executor;
    Names log;
    auto* suspended = new Probe("s", 0, &log);
    suspended->SetState(Suspended);
    auto* odd = new Probe("odd", 1, &log);
    odd->state = 5;
    AddInOrder(executor, {suspended, odd});
    executor.Execute();
    executor.Execute();
    EXPECT_EQ(log, (Names{"s(suspended)", "s(suspended)"}));
    EXPECT_EQ(Order(executor), (Names{"s", "odd"}));  // state 5: never called, never removed
}

TEST(TaskList, SuspendedExecutorRunsNoneOfItsTasks) {
    Executor root;
    Names log;
    auto* child = new Executor;
    child->Add(new Probe("grandchild", 0, &log));
    root.Add(child);
    child->SetState(Suspended);
    root.Execute();
    EXPECT_TRUE(log.empty());
    child->SetState(Active);
    root.Execute();
    EXPECT_EQ(log, Names{"grandchild"});
}

TEST(TaskList, DeletingAnExecutorDeletesItsWholeSubtree) {
    int deletions = 0;
    Names log;
    auto* root = new Executor;
    auto* middle = new Executor;
    middle->Add(new Probe("leaf1", 0, &log, &deletions));
    middle->Add(new Probe("leaf2", 0, &log, &deletions));
    root->Add(middle);
    root->Add(new Probe("top", 0, &log, &deletions));
    delete root;
    EXPECT_EQ(deletions, 3);
}

TEST(TaskList, PositionalRemovals) {
    Executor executor;
    Names log;
    int deletions = 0;
    AddInOrder(executor, {new Probe("a", 0, &log, &deletions), new Probe("b", 0, &log, &deletions),
                          new Probe("c", 0, &log, &deletions)});
    executor.tasks->RemoveAt(-1);
    executor.tasks->RemoveAt(3);
    executor.tasks->RemoveAt(7);
    EXPECT_EQ(Order(executor), (Names{"a", "b", "c"}));
    EXPECT_EQ(executor.tasks->At(3), nullptr);
    EXPECT_EQ(executor.tasks->At(-1), nullptr);
    executor.tasks->RemoveAt(0);
    EXPECT_EQ(Order(executor), (Names{"b", "c"}));
    executor.tasks->RemoveAt(1);
    EXPECT_EQ(Order(executor), Names{"b"});
    EXPECT_EQ(deletions, 2);
    executor.ClearTasks();
    EXPECT_EQ(deletions, 3);
    EXPECT_EQ(executor.tasks->head->next, executor.tasks->tail);
}

TEST(TaskList, ExecuteTaskRunsOneTaskOrDeletesAFinishedOne) {
    Executor executor;
    Names log;
    int deletions = 0;
    auto* member = new Probe("member", 0, &log, &deletions);
    executor.Add(member);
    EXPECT_EQ(executor.ExecuteTask(nullptr), nullptr);
    EXPECT_EQ(executor.ExecuteTask(member), member);
    EXPECT_EQ(log, Names{"member"});

    member->SetState(Finished);
    EXPECT_EQ(executor.ExecuteTask(member), nullptr);
    EXPECT_EQ(deletions, 1);
    EXPECT_FALSE(executor.Contains(member));

    // A finished task outside the list is deleted by itself.
    auto* stranger = new Probe("stranger", 0, &log, &deletions);
    stranger->SetState(Finished);
    EXPECT_EQ(executor.ExecuteTask(stranger), nullptr);
    EXPECT_EQ(deletions, 2);
}

TEST(TaskList, RemoveFinishedAndContains) {
    Executor executor;
    Names log;
    auto* keep = new Probe("keep", 0, &log);
    auto* drop = new Probe("drop", 0, &log);
    AddInOrder(executor, {keep, drop});
    EXPECT_FALSE(executor.RemoveFinished());
    drop->SetState(Finished);
    EXPECT_TRUE(executor.RemoveFinished());
    EXPECT_TRUE(executor.Contains(keep));
    EXPECT_EQ(Order(executor), Names{"keep"});
    EXPECT_EQ(keep->executor, &executor);
}

TEST(TaskList, EmptyPassDoesNothing) {
    Universe universe;
    universe.Execute();
    EXPECT_EQ(universe.tasks->head->next, universe.tasks->tail);
    EXPECT_EQ(universe.tasks->tail->next, universe.tasks->tail);
    EXPECT_EQ(universe.priority, 0);
    EXPECT_EQ(universe.state, Active);
}

}  // namespace
