#pragma once

namespace velmar::paint {

// Whether the processor has AVX2 and the system saves its registers on a task switch. Asked once,
// on first use, with cpuid rather than __builtin_cpu_supports: linking that in makes libgcc ask the
// processor about every feature at each start of the program (slow in a virtual machine, where
// each question traps), whether the program ever needs the answer or not.
bool processorHasAvx2();

}  // namespace velmar::paint
