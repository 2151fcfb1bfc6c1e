// Compiled at the C++ standard its target asks for, or the framework's least (C++20) when that is
// older: the build passes ONDREL_EXPECT_CPLUSPLUS, the least __cplusplus it must see.
#include "gfx/surface.h"

static_assert(__cplusplus >= ONDREL_EXPECT_CPLUSPLUS, "compiled at an older C++ standard than expected");

int StandardChecked() { return 0; }
