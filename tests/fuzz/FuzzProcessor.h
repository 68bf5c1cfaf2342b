#pragma once

#include "processor/VardekoQX2710AudioProcessor.h"

#include <cstddef>
#include <cstdint>

// The processor the document targets share: created and prepared once per fuzzing process (a
// fresh one per input would spend all the time preparing), with checks of what every input
// must leave behind. A failed check aborts, which the fuzzer reports like a crash.
class FuzzProcessor
{
public:
    static VardekoQX2710AudioProcessor& get();

    // Runs one short block as a host would and checks that the output is finite and every
    // value and index is in range.
    static void processAndCheck (VardekoQX2710AudioProcessor& processor);

    // Every so many inputs, the expensive checks: the circuit and oversampling that the
    // values select are applied (the message thread's work), and the full state must come
    // back unchanged through save and restore.
    static void roundTripNow (VardekoQX2710AudioProcessor& processor);
    static bool isRoundTripDue() noexcept;

    static void check (bool condition, const char* what);
};
