#pragma once
#include <QString>
#include <vector>

// The pane's lines in a ring: appending at the end and dropping the first line never move the
// other lines, so a full pane trimmed on every append costs O(1) per line.
class TLineRing {
public:
    int Count() const { return count_; }
    const QString& At(int index) const { return slots_[Slot(index)]; }

    void Append(QString line)
    {
        if (count_ == static_cast<int>(slots_.size()))
            Grow();
        slots_[Slot(count_)] = std::move(line);
        ++count_;
    }

    void RemoveFirst()
    {
        if (count_ == 0)
            return;
        slots_[head_] = QString();
        head_ = (head_ + 1) % static_cast<int>(slots_.size());
        --count_;
    }

    void Clear()
    {
        slots_.clear();
        head_ = 0;
        count_ = 0;
    }

private:
    int Slot(int index) const { return (head_ + index) % static_cast<int>(slots_.size()); }

    void Grow()
    {
        std::vector<QString> larger(slots_.empty() ? 16 : slots_.size() * 2);
        for (int i = 0; i < count_; ++i)
            larger[i] = std::move(slots_[Slot(i)]);
        slots_ = std::move(larger);
        head_ = 0;
    }

    std::vector<QString> slots_;
    int head_ = 0;
    int count_ = 0;
};
