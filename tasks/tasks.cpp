// The intrusive task lists: list operations, passes that run, purge and re-sort, nested executors.
#include "tasks/tasks.h"

Sil_List::Sil_List() : head(new Sil_Link), tail(new Sil_Link) {
    head->next = tail;
    tail->next = tail;
}

Sil_List::~Sil_List() {
    RemoveAll();
    delete head;
    delete tail;
}

void Sil_List::PushFront(Sil_Link* node) {
    node->next = head->next;
    head->next = node;
}

Sil_Link* Sil_List::At(int32_t position) const {
    if (position < 0) return nullptr;
    Sil_Link* node = head->next;
    for (int32_t i = 0; i < position && node != tail; ++i) node = node->next;
    return node == tail ? nullptr : node;
}

void Sil_List::RemoveAfter(Sil_Link* predecessor) {
    if (!predecessor || predecessor->next == tail) return;
    Sil_Link* victim = predecessor->next;
    predecessor->next = victim->next;
    delete victim;
}

void Sil_List::RemoveAt(int32_t position) {
    if (position < 0) return;
    if (position == 0) {
        RemoveAfter(head);
        return;
    }
    RemoveAfter(At(position - 1));
}

void Sil_List::RemoveFirst() { RemoveAfter(head); }

void Sil_List::RemoveAll() {
    while (head->next != tail) RemoveFirst();
}

// Selection by exchanging positions: the node at B.next is compared with every node after it and
// swapped with any that sorts strictly before it; then B moves on by one.
void Sil_List::Sort(Compare cmp) {
    Sil_Link* b = head;
    if (b->next == tail) return;
    do {
        Sil_Link* beforeY = b->next;  // the node that precedes Y
        Sil_Link* y = b->next->next;
        while (y != tail) {
            Sil_Link* x = b->next;
            Sil_Link* following = y->next;
            if (cmp(x, y) > 0) {
                if (x->next == y) {
                    x->next = y->next;
                    y->next = x;
                    b->next = y;
                    beforeY = x;
                } else {
                    Sil_Link* xNext = x->next;
                    b->next = y;
                    y->next = xNext;
                    beforeY->next = x;
                    x->next = following;
                    beforeY = x;
                }
            } else {
                beforeY = y;
            }
            y = following;
        }
        b = b->next;
    } while (b->next != tail);
}

Executable::Executable(int8_t priorityValue) : priority(priorityValue) {}

void Executable::SetState(int32_t newState) {
    if (state != Finished) state = newState;
}

Executor::Executor() : Executable(0), tasks(new Sil_List) {}

Executor::~Executor() { delete tasks; }

void Executor::Add(Executable* task) {
    tasks->PushFront(task);
    task->executor = this;
}

namespace {
// Deletes every Finished task; true when at least one went.
bool PurgeFinished(Sil_List& list) {
    bool removed = false;
    int32_t position = 0;
    while (Sil_Link* node = list.At(position)) {
        if (static_cast<Executable*>(node)->state == Finished) {
            list.RemoveAt(position);
            removed = true;
        } else {
            ++position;
        }
    }
    return removed;
}
}  // namespace

void Executor::Execute() {
    bool sawFinished = false;
    Sil_Link* cursor = tasks->head->next;
    while (cursor && cursor != tasks->tail) {
        auto* task = static_cast<Executable*>(cursor);
        cursor = cursor->next;
        switch (task->state) {
            case Active:
                task->Execute();
                break;
            case Suspended:
                task->ExecuteSuspended();
                break;
            case Finished:
                sawFinished = true;
                break;
            default:
                break;
        }
    }
    // A task that finished during this pass (itself, or marked by a task after it) goes at the end
    // of this pass too, not one pass late.
    if (!sawFinished) {
        for (Sil_Link* n = tasks->head->next; n != tasks->tail && !sawFinished; n = n->next)
            sawFinished = static_cast<Executable*>(n)->state == Finished;
    }
    if (sawFinished) PurgeFinished(*tasks);
    tasks->Sort(ComparePriority);
}

Executable* Executor::ExecuteTask(Executable* task) {
    if (!task) return nullptr;
    switch (task->state) {
        case Active:
            task->Execute();
            return task;
        case Suspended:
            task->ExecuteSuspended();
            return task;
        case Finished:
            break;
        default:
            return task;
    }
    if (!PurgeFinished(*tasks)) delete task;
    return nullptr;
}

bool Executor::RemoveFinished() { return PurgeFinished(*tasks); }

bool Executor::Contains(const Sil_Link* node) const {
    for (Sil_Link* n = tasks->head->next; n != tasks->tail; n = n->next)
        if (n == node) return true;
    return false;
}

void Executor::ClearTasks() { tasks->RemoveAll(); }

int Executor::ComparePriority(const Sil_Link* a, const Sil_Link* b) {
    int8_t pa = static_cast<const Executable*>(a)->priority;
    int8_t pb = static_cast<const Executable*>(b)->priority;
    return pa < pb ? -1 : (pa > pb ? 1 : 0);
}
