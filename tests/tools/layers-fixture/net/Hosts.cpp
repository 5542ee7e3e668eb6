#include <BuildConfig.h>
#include <string>
