#pragma once

namespace pw {

// The cores this process may run on: its CPU affinity, lowered by a CPU quota of its
// control group when it has one; at least 1.
int UsableCores();

} // namespace pw
