#pragma once
// A header of a low folder that uses one of a folder above it.
#include "low/right.hpp"
#include "high/above.hpp"
