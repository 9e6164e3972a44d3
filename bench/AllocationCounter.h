// Counts every heap allocation made through operator new in the program
// that links this file, and those of them that the program's own code asks
// for (not the GL driver, which compiles shader variants on first use).
#pragma once

long AllocationCount();
long OwnAllocationCount();
// Attribution walks the stack; it is done only while armed.
void ArmAllocationAttribution(bool on);
