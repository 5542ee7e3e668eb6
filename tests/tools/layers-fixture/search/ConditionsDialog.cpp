#include "search/ConditionsDialog.h"
