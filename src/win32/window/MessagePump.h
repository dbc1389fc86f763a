#pragma once
// Waiting on the main thread for another thread that may need it meanwhile.

#include <windows.h>

namespace velkast {

// Pumps the thread's messages until the other thread has ended, so that a
// thread that sends messages to this thread's windows can finish. A quit
// message met on the way is left unanswered, as the modal loop left it.
void WaitForThread(HANDLE thread);

}  // namespace velkast
