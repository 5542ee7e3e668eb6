#include "WindowDpi.h"
#include "res/resource.h"
