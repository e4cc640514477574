// Moving streams over a connection: the data phase of transfers.
#include "ftp/IdException.h"
#include "ftp/IdTCPConnection.h"

#include <algorithm>
#include <cstdint>

namespace {

void CutAtPosition(TIdStream& stream) {
    if (stream.Size() > stream.Position()) stream.SetSize(stream.Position());
}

}  // namespace

void TIdTCPConnection::ReceiveStream(TIdStream& stream, int64_t byteCount, bool untilClose) {
    BeginWork(wkReceive, 0);
    try {
        // Each receive lands in the input buffer and leaves it for the stream at once, so the
        // bytes are copied once in user space.
        int64_t remaining = byteCount < 0 ? INT64_MAX : byteCount;
        while (remaining > 0) {
            if (input_.Empty()) {
                try {
                    ReadFromSocket(true, -1, true);
                } catch (const EIdConnClosedGracefully&) {
                    if (!untilClose) throw;
                    break;
                }
                continue;
            }
            size_t chunk = static_cast<size_t>(std::min<int64_t>(remaining, static_cast<int64_t>(input_.Size())));
            stream.Write(input_.Data(), chunk);
            RemoveInput(chunk);
            remaining -= static_cast<int64_t>(chunk);
        }
    } catch (...) {
        EndWork(wkReceive);
        CutAtPosition(stream);
        throw;
    }
    EndWork(wkReceive);
    CutAtPosition(stream);
}

void TIdTCPConnection::SendStream(TIdStream& stream, bool fromStart) {
    if (fromStart) stream.Seek(0);
    int64_t left = stream.Size() - stream.Position();
    BeginWork(wkSend, left);
    try {
        sendChunk_.resize(static_cast<size_t>(std::max(SendBufferSize, 1)));
        while (left > 0) {
            size_t n = static_cast<size_t>(std::min<int64_t>(left, static_cast<int64_t>(sendChunk_.size())));
            size_t got = stream.Read(sendChunk_.data(), n);
            if (got == 0) throw EIdNoDataToRead();
            WriteRaw(sendChunk_.data(), got);
            left -= static_cast<int64_t>(got);
        }
    } catch (...) {
        EndWork(wkSend);
        throw;
    }
    EndWork(wkSend);
}
