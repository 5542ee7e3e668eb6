#include "parse/Text.h"
#include <cstring>
