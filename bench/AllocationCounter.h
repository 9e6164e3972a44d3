// Counts every heap allocation made through operator new in the program
// that links this file.
#pragma once

long AllocationCount();
