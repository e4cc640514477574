#include "ftp/IdSocketWait.h"

#include "ftp/IdAntiFreeze.h"
#include "ftp/IdException.h"
#include "ftp/IdSocketHandle.h"

#include <algorithm>
#include <climits>

bool WaitReadablePumped(TcpSocket& socket, int timeoutMs) {
    if (!socket.IsOpen()) throw EIdConnClosedGracefully();
    const int slice = TIdAntiFreeze::InForce() ? TIdAntiFreeze::SliceMs(INT_MAX) : -1;
    int remaining = timeoutMs;
    for (;;) {
        int wait = slice < 0 ? remaining : remaining < 0 ? slice : std::min(slice, remaining);
        bool readable = false;
        if (int error = socket.WaitReadable(wait, readable)) RaiseSocketError(error);
        TIdAntiFreeze::DoProcess(!readable);
        if (!socket.IsOpen()) throw EIdConnClosedGracefully();
        if (readable) return true;
        if (remaining >= 0) {
            remaining -= wait;
            if (remaining <= 0) return false;
        }
    }
}
