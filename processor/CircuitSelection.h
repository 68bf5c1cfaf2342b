#pragma once

#include <atomic>

// Which circuits play, as the audio thread publishes it (the heard circuit and, during a
// crossfade, the incoming one), which of the two sets of circuits they belong to, and the
// circuit the timer has prepared for the audio thread to take, in one atomic word: the timer
// decides on one consistent snapshot, taking the prepared circuit is one exchange, and a timer
// that prepared in a set the audio thread has left cannot hand it over.
class CircuitSelection
{
public:
    struct Snapshot
    {
        int heard;
        int incoming;
        bool fading;
        int prepared; // -1 when none
        int set; // 0 or 1
    };

    static Snapshot decode (int word) noexcept
    {
        return { word & 0xf, (word >> 4) & 0xf, (word & 0x100) != 0, ((word & preparedMask) >> preparedShift) - 1, (word & setBit) != 0 ? 1 : 0 };
    }

    int load (std::memory_order order = std::memory_order_acquire) const noexcept { return word.load (order); }
    Snapshot snapshot() const noexcept { return decode (load()); }

    // Nothing prepared, circuit of the set heard alone.
    void reset (int circuit, int set) noexcept { word.store (pack (circuit, circuit, false) | (set != 0 ? setBit : 0)); }

    // Audio thread: what it plays now. A circuit the timer prepared (or dropped) meanwhile, and
    // the set, are kept.
    void publish (int heard, int incoming, bool fading) noexcept
    {
        const auto published = pack (heard, incoming, fading);
        auto expected = word.load (std::memory_order_relaxed);

        while (! word.compare_exchange_weak (expected, published | (expected & (preparedMask | setBit)), std::memory_order_acq_rel))
        {
        }
    }

    // Audio thread: takes the prepared circuit, or returns -1 when there is none. A prepared
    // circuit other than heard is published as fading in; heard itself is simply dropped.
    int takePrepared (int heard) noexcept
    {
        auto expected = word.load (std::memory_order_acquire);
        int next = -1;

        do
        {
            next = decode (expected).prepared;

            if (next < 0)
                return -1;
        } while (! word.compare_exchange_weak (expected, next == heard ? withPrepared (expected, -1) : pack (heard, next, true) | (expected & setBit), std::memory_order_acq_rel));

        return next;
    }

    // Timer: sets (or with -1 drops) the prepared circuit if the word is still expected;
    // otherwise expected is updated to the present word.
    bool tryPrepare (int& expected, int prepared) noexcept
    {
        return word.compare_exchange_weak (expected, withPrepared (expected, prepared), std::memory_order_acq_rel);
    }

private:
    static constexpr int preparedShift = 12;
    static constexpr int preparedMask = 0xf << preparedShift;
    static constexpr int setBit = 0x200;

    static int pack (int heard, int incoming, bool fading) noexcept { return heard | (incoming << 4) | (fading ? 0x100 : 0); }
    static int withPrepared (int w, int prepared) noexcept { return (w & ~preparedMask) | ((prepared + 1) << preparedShift); }

    std::atomic<int> word { 0 };
};
