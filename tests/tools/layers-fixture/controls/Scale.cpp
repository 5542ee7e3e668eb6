#include "parse/Text.h"
