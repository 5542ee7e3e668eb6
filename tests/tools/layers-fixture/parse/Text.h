#pragma once
#include <string_view>
