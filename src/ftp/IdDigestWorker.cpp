#include "ftp/IdDigestWorker.h"

#include <algorithm>

TIdDigestWorker::TIdDigestWorker(TIdDigestAlgorithm algorithm) : digest_(algorithm) {
    filling_.reserve(BlockBytes);
    thread_ = std::thread([this] { Run(); });
}

TIdDigestWorker::~TIdDigestWorker() {
    {
        std::lock_guard lock(mutex_);
        finished_ = true;
        pending_.clear();
    }
    changed_.notify_all();
    thread_.join();
}

void TIdDigestWorker::Update(const char* data, std::size_t count) {
    while (count > 0) {
        const std::size_t piece = std::min(count, BlockBytes - filling_.size());
        filling_.insert(filling_.end(), data, data + piece);
        data += piece;
        count -= piece;
        if (filling_.size() == BlockBytes) {
            std::unique_lock lock(mutex_);
            changed_.wait(lock, [this] { return pending_.size() < MaxPendingBlocks; });
            Hand(lock);
        }
    }
}

void TIdDigestWorker::Hand(std::unique_lock<std::mutex>&) {
    pending_.push_back(std::move(filling_));
    if (spare_.empty()) {
        filling_ = {};
        filling_.reserve(BlockBytes);
    } else {
        filling_ = std::move(spare_.back());
        spare_.pop_back();
    }
    changed_.notify_all();
}

std::string TIdDigestWorker::HexFinal() {
    std::unique_lock lock(mutex_);
    if (!filling_.empty()) Hand(lock);
    changed_.wait(lock, [this] { return pending_.empty() && !busy_; });
    finished_ = true;
    changed_.notify_all();
    return digest_.HexFinal();
}

void TIdDigestWorker::Run() {
    std::unique_lock lock(mutex_);
    for (;;) {
        changed_.wait(lock, [this] { return finished_ || !pending_.empty(); });
        if (finished_) return;
        std::vector<char> block = std::move(pending_.front());
        pending_.pop_front();
        busy_ = true;
        lock.unlock();
        digest_.Update(block.data(), block.size());
        block.clear();
        lock.lock();
        busy_ = false;
        spare_.push_back(std::move(block));
        changed_.notify_all();
    }
}
