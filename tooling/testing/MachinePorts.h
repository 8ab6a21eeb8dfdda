#pragma once
// Tests see only their own ports: the serial devices of the machine they run
// on (an on-board COM1, a USB adapter) are left out of this process's port
// list and COM names, so that no test depends on them or opens one. Call it
// once, at the start of a test program.

namespace platform {

void HideMachinePorts();

}  // namespace platform
