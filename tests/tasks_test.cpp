#include <gtest/gtest.h>

#include "tasks/tasks.h"
TEST(Tasks, Placeholder) { EXPECT_TRUE(true); }
