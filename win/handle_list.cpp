// A fixed table of named native handles.
#include "win/handle_list.h"

#include <algorithm>
#include <cstring>

HandleList::HandleList(int capacityValue)
    : entries(new HandleEntry[static_cast<size_t>(std::max(capacityValue, 1))]()), capacity(std::max(capacityValue, 1)) {}

HandleList::~HandleList() {
    for (int i = 0; i < capacity; ++i) delete[] entries[i].key;
    delete[] entries;
}

void HandleList::Set(int index, void* value, const char* key) {
    index = std::clamp(index, 0, capacity - 1);
    HandleEntry& entry = entries[index];
    entry.value = value;
    if (key) {
        delete[] entry.key;
        size_t length = std::strlen(key) + 1;
        entry.key = new char[length];
        std::memcpy(entry.key, key, length);
    }
}

void* HandleList::Lookup(const char* key) const {
    if (!key) return nullptr;
    for (int i = 0; i < capacity; ++i)
        if (entries[i].key && std::strcmp(entries[i].key, key) == 0) return entries[i].value;
    return nullptr;
}
