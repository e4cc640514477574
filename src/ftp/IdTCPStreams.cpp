// Moving streams over a connection: the data phase of transfers.
#include "ftp/IdException.h"
#include "ftp/IdTCPConnection.h"

#include <algorithm>
#include <cstdint>
#include <string_view>

namespace {

void CutAtPosition(TIdStream& stream) {
    if (stream.Size() > stream.Position()) stream.SetSize(stream.Position());
}

}  // namespace

void TIdTCPConnection::ReceiveStream(TIdStream& stream, int64_t byteCount, bool untilClose,
                                     TIdLineEndsToLocal* toLocal) {
    BeginWork(wkReceive, 0);
    try {
        // Each receive lands in the input buffer and leaves it for the stream at once, so the
        // bytes are copied once in user space (twice when line ends are converted).
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
            const std::string_view bytes = toLocal ? toLocal->Convert(input_.Data(), chunk)
                                                   : std::string_view(input_.Data(), chunk);
            stream.Write(bytes.data(), bytes.size());
            input_.Remove(chunk);
            if (!bytes.empty()) StepWork(wkReceive, static_cast<int64_t>(bytes.size()));
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

void TIdTCPConnection::SendStream(TIdStream& stream, bool fromStart, TIdLineEndsToWire* toWire) {
    if (fromStart) stream.Seek(0);
    int64_t left = stream.Size() - stream.Position();
    BeginWork(wkSend, left);
    try {
        sendChunk_.resize(static_cast<size_t>(std::max(SendBufferSize, 1)));
        while (left > 0) {
            size_t n = static_cast<size_t>(std::min<int64_t>(left, static_cast<int64_t>(sendChunk_.size())));
            size_t got = stream.Read(sendChunk_.data(), n);
            if (got == 0) throw EIdNoDataToRead();
            const std::string_view wire = toWire ? toWire->Convert(sendChunk_.data(), got)
                                                 : std::string_view(sendChunk_.data(), got);
            WriteRaw(wire.data(), wire.size());
            StepWork(wkSend, static_cast<int64_t>(got));
            left -= static_cast<int64_t>(got);
        }
    } catch (...) {
        EndWork(wkSend);
        throw;
    }
    EndWork(wkSend);
}
