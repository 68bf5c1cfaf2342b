#pragma once

// The sample-rate bands that size every ramp, glide and fade: 1024, 2048, 4096 or 8192 samples
// below 34050 Hz, below 68000 Hz, below 136000 Hz and above (about 46 ms at 44.1 kHz). The
// processor's input and mix ramps, the filter glides and the volume glide last one length; a
// circuit's start-up fade and the processor's circuit crossfade last two.
struct RateBands
{
    static int rampLength (float sampleRate) noexcept
    {
        if (sampleRate < 34050.0f)
            return 1024;

        if (sampleRate < 68000.0f)
            return 2048;

        if (sampleRate < 136000.0f)
            return 4096;

        return 8192;
    }
};
