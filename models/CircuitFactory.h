#pragma once

#include "models/bluesbreaker/BluesBreakerOverdrive.h"
#include "models/cj/CJOverdrive.h"
#include "models/littlegreen/LittleGreenOverdrive.h"
#include "models/ocd/OCDOverdrive.h"
#include "models/ts9/TS9Overdrive.h"

#include <memory>

// A circuit on its own by its processor index: 0 "Blues Overdrive", 1 "Boutique Overdrive",
// 2 "Mad Overdrive", 3 "Modern Overdrive", 4 "Pro Overdrive" (and 4 for anything above).
struct CircuitFactory
{
    static std::unique_ptr<ModuleModel> make (int index)
    {
        switch (index)
        {
            case 0:
                return std::make_unique<BluesBreakerOverdrive>();
            case 1:
                return std::make_unique<CJOverdrive>();
            case 2:
                return std::make_unique<LittleGreenOverdrive>();
            case 3:
                return std::make_unique<OCDOverdrive>();
            default:
                return std::make_unique<TS9Overdrive>();
        }
    }
};
