#pragma once
#include "details/LandmarkDialog.h"
#include "search/ConditionsDialog.h"
