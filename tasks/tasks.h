// Cooperative prioritised tasks: runnable objects in intrusive singly linked lists, owned and run
// once per pass by executors that nest into a tree whose root is the process's Universe.
#pragma once

#include <cstdint>

// A list node. Nodes are deleted through this virtual destructor by the list that owns them.
class Sil_Link {
public:
    // A node in no list; a derived task is deleted through the virtual destructor.
    Sil_Link() = default;
    virtual ~Sil_Link() = default;
    Sil_Link(const Sil_Link&) = delete;
    Sil_Link& operator=(const Sil_Link&) = delete;

    Sil_Link* next = nullptr;  // the node after this one in its list
};

// A singly linked list between two sentinels; it owns its elements.
class Sil_List {
public:
    using Compare = int (*)(const Sil_Link* a, const Sil_Link* b);

    // An empty list; deleting it deletes every element.
    Sil_List();
    ~Sil_List();
    Sil_List(const Sil_List&) = delete;
    Sil_List& operator=(const Sil_List&) = delete;

    // Puts `node` first; the list owns it from then on.
    void PushFront(Sil_Link* node);
    // The element at `position` from 0, or null when there is none.
    Sil_Link* At(int32_t position) const;
    // Deletes the element after `predecessor` (head for the first), the one at `position`, the
    // first, or all of them; asked for one that does not exist, they do nothing.
    void RemoveAfter(Sil_Link* predecessor);
    void RemoveAt(int32_t position);
    void RemoveFirst();
    void RemoveAll();
    // Orders the elements by `cmp` (negative, 0 or positive as the first sorts before, with or
    // after the second).
    void Sort(Compare cmp);

    Sil_Link* head;  // head->next is the first element, or tail
    Sil_Link* tail;  // tail->next == tail
};

// A task's state: run each pass, run as suspended, or done and removed at the end of the pass.
enum ExecState : int32_t { Active = 0, Suspended = 1, Finished = 2 };

class Executor;

// A task: Execute runs once per pass of its executor while Active, ExecuteSuspended while
// Suspended; lower priority values run earlier.
class Executable : public Sil_Link {
public:
    // An Active task of the given priority, in no executor yet (Executor::Add).
    explicit Executable(int8_t priority);
    ~Executable() override = default;

    // What the task does in a pass while it is Active, and while it is Suspended: nothing, unless
    // a derived task says otherwise.
    virtual void Execute() {}
    virtual void ExecuteSuspended() {}

    // Stores the state unless the task is Finished already: a finished task stays finished.
    void SetState(int32_t newState);

    int32_t state = Active;  // an ExecState
    Executor* executor = nullptr;  // the executor whose list holds this task; not owned
    int8_t priority;  // lower values run earlier in a pass
};

// A task that owns a list of tasks and runs each of them once each time it runs, then deletes
// the finished ones and sorts the rest by priority.
class Executor : public Executable {
public:
    // An Active executor of priority 0 with no tasks; deleting it deletes its tasks.
    Executor();
    ~Executor() override;

    // Takes `task` into the list (first, until the next pass sorts it); the executor owns it.
    void Add(Executable* task);
    // One pass: each task runs once by its state, the finished ones are deleted, the rest sorted.
    void Execute() override;
    // Runs one task by its state; a finished one is deleted and null returned, else the task.
    Executable* ExecuteTask(Executable* task);
    // Deletes the Finished tasks; true when there were any.
    bool RemoveFinished();
    // Whether `node` is one of the executor's tasks.
    bool Contains(const Sil_Link* node) const;
    // Deletes every task.
    void ClearTasks();
    // The order of a pass: -1, 0 or 1 as a's priority is lower than, equal to or higher than b's.
    static int ComparePriority(const Sil_Link* a, const Sil_Link* b);

    Sil_List* tasks;  // owned: the tasks, in the order they run
};

// The root executor, one per process (AppGlobals::universe), run once per idle turn.
class Universe : public Executor {
public:
    // Made by static construction, before WinMain; destroyed after it returns.
    Universe() = default;
    ~Universe() override = default;
};
