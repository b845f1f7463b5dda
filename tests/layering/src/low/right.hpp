#pragma once
// A header of a low folder that uses only its own folder.
#include <string>
