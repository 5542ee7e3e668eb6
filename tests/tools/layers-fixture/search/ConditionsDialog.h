#pragma once
#include "controls/WindowDpi.h"
#include "search/Conditions.h"
