// The named handle list: lookups, clamped indices, keys kept and replaced.
#include <gtest/gtest.h>

#include <cstring>

#include "win/handle_list.h"

namespace {

void* H(uintptr_t v) { return reinterpret_cast<void*>(v); }

TEST(HandleList, FreshListAnswersNull) {
    HandleList list(2);
    EXPECT_EQ(list.Lookup("WindowHandler"), nullptr);
    EXPECT_EQ(list.Lookup(""), nullptr);
}

TEST(HandleList, IndexIsClampedIntoTheTable) {
    HandleList list(2);
    list.Set(5, H(0x50), "high");
    list.Set(-3, H(0x30), "low");
    EXPECT_STREQ(list.entries[1].key, "high");
    EXPECT_EQ(list.entries[1].value, H(0x50));
    EXPECT_STREQ(list.entries[0].key, "low");
    EXPECT_EQ(list.Lookup("high"), H(0x50));
    EXPECT_EQ(list.Lookup("low"), H(0x30));
}

TEST(HandleList, NullKeyReplacesTheValueAndKeepsTheKey) {
    HandleList list(1);
    list.Set(0, H(1), "WindowHandler");
    list.Set(0, H(2), nullptr);
    EXPECT_EQ(list.Lookup("WindowHandler"), H(2));
}

TEST(HandleList, NewKeyOnAUsedSlotForgetsTheOldOne) {
    HandleList list(2);
    list.Set(0, H(1), "MenuHandler");
    list.Set(0, H(2), "OwnerHandler");
    EXPECT_EQ(list.Lookup("MenuHandler"), nullptr);
    EXPECT_EQ(list.Lookup("OwnerHandler"), H(2));
}

TEST(HandleList, LowerSlotWinsAndLookupIsCaseSensitive) {
    HandleList list(2);
    list.Set(1, H(0x11), "WindowHandler");
    list.Set(0, H(0x10), "WindowHandler");
    EXPECT_EQ(list.Lookup("WindowHandler"), H(0x10));
    EXPECT_EQ(list.Lookup("windowhandler"), nullptr);
    EXPECT_EQ(list.Lookup("WINDOWHANDLER"), nullptr);
}

TEST(HandleList, KeepsItsOwnCopyOfTheKey) {
    HandleList list(1);
    char key[] = "WindowHandler";
    list.Set(0, H(7), key);
    std::memcpy(key, "Xindow", 6);
    EXPECT_EQ(list.Lookup("WindowHandler"), H(7));
}

}  // namespace
