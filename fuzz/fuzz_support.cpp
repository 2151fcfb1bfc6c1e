// What every harness shares at start: a fresh headless display driver, so that the DIB sections
// the readers make have a system to live in.
#include "platform/headless.h"

extern "C" int LLVMFuzzerInitialize(int*, char***) {
    headless::Reset();
    return 0;
}
