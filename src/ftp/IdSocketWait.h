#pragma once
#include "platform/TcpSocket.h"

// Waits until the socket is readable, for at most timeoutMs (negative: no limit); false on a
// time-out. While the pump hook is in force the wait is sliced by its IdleTimeOut and the window
// is pumped after every slice. A socket that is closed, before or while waiting (an abort from
// the window), raises EIdConnClosedGracefully.
bool WaitReadablePumped(TcpSocket& socket, int timeoutMs);
