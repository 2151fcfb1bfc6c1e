// The one process-wide record.
#include "app/globals.h"

AppGlobals appGlobals;
