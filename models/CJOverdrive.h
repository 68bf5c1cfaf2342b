#pragma once

#include "models/PlaceholderModel.h"

class CJOverdrive : public PlaceholderModel
{
public:
    CJOverdrive()
        : PlaceholderModel ("CJOverdrive")
    {
    }
};
