#include "app/globals.h"

AppGlobals appGlobals;
