#pragma once
// A header of a high folder that uses the folder below and the program state.
#include "low/right.hpp"
#include "program.hpp"
