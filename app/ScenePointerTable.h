// A sequence's scene pointers: room for `Capacity` scenes, of which a show uses a few
// hundred at most. The pointers live in blocks that are allocated when a slot in them is
// first written and that never move until the table goes, so a reader (the engine tick)
// never sees a block freed under it, and a show of a thousand sequences does not zero and
// fault in a full-size table for each of them. A slot never written reads as null.
#pragma once

#include <array>
#include <cstddef>
#include <memory>

struct SceneRecord;

template <int Capacity> class ScenePointerTable {
public:
    static constexpr int BlockSize = 256;
    static constexpr int BlockCount = (Capacity + BlockSize - 1) / BlockSize;

    // One slot, read without allocating, written by allocating its block.
    class Slot {
    public:
        Slot(ScenePointerTable &t, std::ptrdiff_t i) : table_(t), index_(i) {}
        operator SceneRecord *() const { return table_.Get(index_); }
        SceneRecord *operator->() const { return table_.Get(index_); }
        Slot &operator=(SceneRecord *p)
        {
            table_.Set(index_, p);
            return *this;
        }
        Slot &operator=(const Slot &other) { return *this = static_cast<SceneRecord *>(other); }

    private:
        ScenePointerTable &table_;
        std::ptrdiff_t index_;
    };

    ScenePointerTable() = default;
    ScenePointerTable(const ScenePointerTable &) = delete;
    ScenePointerTable &operator=(const ScenePointerTable &) = delete;

    SceneRecord *operator[](std::ptrdiff_t i) const { return Get(i); }
    Slot operator[](std::ptrdiff_t i) { return Slot(*this, i); }

    constexpr int size() const { return Capacity; }

    SceneRecord *Get(std::ptrdiff_t i) const
    {
        const SceneRecord *const *block = blocks_[static_cast<std::size_t>(i / BlockSize)].get();
        return block ? const_cast<SceneRecord *>(block[i % BlockSize]) : nullptr;
    }
    void Set(std::ptrdiff_t i, SceneRecord *p)
    {
        auto &block = blocks_[static_cast<std::size_t>(i / BlockSize)];
        if (!block) {
            if (!p)
                return;   // null stays null without a block
            block = std::make_unique<SceneRecord *[]>(BlockSize);
        }
        block[i % BlockSize] = p;
    }
    // Every slot of `from` moves here; `from` is left empty.
    void TakeFrom(ScenePointerTable &from) { blocks_.swap(from.blocks_), from.Clear(); }
    // Calls f(record) for every slot that holds one.
    template <class F> void ForEachHeld(F &&f) const
    {
        for (const auto &block : blocks_)
            if (block)
                for (int i = 0; i < BlockSize; ++i)
                    if (block[i])
                        f(block[i]);
    }
    // Every slot null (the records themselves are the caller's).
    void Clear()
    {
        for (auto &b : blocks_)
            b.reset();
    }

private:
    std::array<std::unique_ptr<SceneRecord *[]>, BlockCount> blocks_{};
};
