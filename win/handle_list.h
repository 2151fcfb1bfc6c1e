// A fixed-capacity table of named native handles. The handles are not owned.
#pragma once

// One slot: a handle and the key it is found by.
struct HandleEntry {
    void* value;  // null when unset
    char* key;    // owned copy; null when the slot has never had a key
};

// Handles stored in numbered slots and looked up by their keys.
class HandleList {
public:
    // `capacity` empty slots (at least one); the keys it copies are freed with it.
    explicit HandleList(int capacity);
    ~HandleList();
    HandleList(const HandleList&) = delete;
    HandleList& operator=(const HandleList&) = delete;

    // Stores into slot `index`, clamped into the table. A null key keeps the slot's key.
    void Set(int index, void* value, const char* key);

    // The value of the lowest slot whose key equals `key` (case-sensitive); null when none does.
    void* Lookup(const char* key) const;

    HandleEntry* entries;  // owned, `capacity` slots
    int capacity;          // slots in the table
};
