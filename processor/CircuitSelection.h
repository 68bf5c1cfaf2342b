#pragma once

#include <atomic>

// Which circuits play, as the audio thread publishes it (the heard circuit and, during a
// crossfade, the incoming one), and the circuit the timer has prepared for the audio thread to
// take, in one atomic word: the timer decides on one consistent snapshot, and taking the
// prepared circuit is one exchange.
class CircuitSelection
{
public:
    struct Snapshot
    {
        int heard;
        int incoming;
        bool fading;
        int prepared; // -1 when none
    };

    static Snapshot decode (int word) noexcept
    {
        return { word & 0xf, (word >> 4) & 0xf, (word & 0x100) != 0, ((word & preparedMask) >> preparedShift) - 1 };
    }

    int load (std::memory_order order = std::memory_order_acquire) const noexcept { return word.load (order); }
    Snapshot snapshot() const noexcept { return decode (load()); }

    // Nothing prepared, circuit heard alone.
    void reset (int circuit) noexcept { word.store (pack (circuit, circuit, false)); }

    // Audio thread: what it plays now. A circuit the timer prepared (or dropped) meanwhile is
    // kept.
    void publish (int heard, int incoming, bool fading) noexcept
    {
        const auto published = pack (heard, incoming, fading);
        auto expected = word.load (std::memory_order_relaxed);

        while (! word.compare_exchange_weak (expected, published | (expected & preparedMask), std::memory_order_acq_rel))
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
        } while (! word.compare_exchange_weak (expected, next == heard ? withPrepared (expected, -1) : pack (heard, next, true), std::memory_order_acq_rel));

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

    static int pack (int heard, int incoming, bool fading) noexcept { return heard | (incoming << 4) | (fading ? 0x100 : 0); }
    static int withPrepared (int w, int prepared) noexcept { return (w & ~preparedMask) | ((prepared + 1) << preparedShift); }

    std::atomic<int> word { 0 };
};
