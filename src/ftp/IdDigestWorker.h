#pragma once
#include "ftp/IdDigest.h"

#include <condition_variable>
#include <cstddef>
#include <deque>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

// A digest computed on a thread of its own: the bytes are copied off in blocks and hashed while
// the transfer goes on, and what is left is hashed while the server computes its own digest, so
// hashing adds little to either. At most MaxPendingBlocks wait: a transfer faster than hashing
// waits for it rather than piling the file up in memory.
class TIdDigestWorker {
public:
    explicit TIdDigestWorker(TIdDigestAlgorithm algorithm);
    ~TIdDigestWorker();
    TIdDigestWorker(const TIdDigestWorker&) = delete;
    TIdDigestWorker& operator=(const TIdDigestWorker&) = delete;

    TIdDigestAlgorithm Algorithm() const { return digest_.Algorithm(); }
    void Update(const char* data, std::size_t count);
    // Waits until every byte is hashed; the digest in lower-case hex. No more bytes afterwards.
    std::string HexFinal();

    static constexpr std::size_t BlockBytes = 1 << 20;
    static constexpr std::size_t MaxPendingBlocks = 16;

private:
    void Run();
    // Queues the block being filled.
    void Hand(std::unique_lock<std::mutex>& lock);

    TIdDigest digest_;
    std::vector<char> filling_;
    std::mutex mutex_;
    std::condition_variable changed_;
    std::deque<std::vector<char>> pending_;
    // Hashed blocks, kept for reuse: fresh memory for each would cost page faults.
    std::vector<std::vector<char>> spare_;
    bool busy_ = false;
    bool finished_ = false;
    std::thread thread_;
};
