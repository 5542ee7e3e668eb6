#include "search/Conditions.h"
