// Cooperative prioritised tasks: runnable objects in intrusive singly linked lists, owned and run
// once per pass by executors that nest into a tree whose root is the process's Universe.
#pragma once

#include <cstdint>

// A list node. Nodes are deleted through this virtual destructor by the list that owns them.
class Sil_Link {
public:
    Sil_Link() = default;
    virtual ~Sil_Link() = default;
    Sil_Link(const Sil_Link&) = delete;
    Sil_Link& operator=(const Sil_Link&) = delete;

    Sil_Link* next = nullptr;
};

// A singly linked list between two sentinels; it owns its elements.
class Sil_List {
public:
    using Compare = int (*)(const Sil_Link* a, const Sil_Link* b);

    Sil_List();
    ~Sil_List();
    Sil_List(const Sil_List&) = delete;
    Sil_List& operator=(const Sil_List&) = delete;

    void PushFront(Sil_Link* node);
    Sil_Link* At(int32_t position) const;
    void RemoveAfter(Sil_Link* predecessor);
    void RemoveAt(int32_t position);
    void RemoveFirst();
    void RemoveAll();
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
    explicit Executable(int8_t priority);
    ~Executable() override = default;

    virtual void Execute() {}
    virtual void ExecuteSuspended() {}

    // Stores the state unless the task is Finished already: a finished task stays finished.
    void SetState(int32_t newState);

    int32_t state = Active;
    Executor* executor = nullptr;  // the executor whose list holds this task; not owned
    int8_t priority;
};

// A task that owns a list of tasks and runs each of them once each time it runs, then deletes
// the finished ones and sorts the rest by priority.
class Executor : public Executable {
public:
    Executor();
    ~Executor() override;

    void Add(Executable* task);
    void Execute() override;
    Executable* ExecuteTask(Executable* task);
    bool RemoveFinished();
    bool Contains(const Sil_Link* node) const;
    void ClearTasks();
    static int ComparePriority(const Sil_Link* a, const Sil_Link* b);

    Sil_List* tasks;
};

// The root executor, one per process (AppGlobals::universe), run once per idle turn.
class Universe : public Executor {
public:
    Universe() = default;
    ~Universe() override = default;
};
