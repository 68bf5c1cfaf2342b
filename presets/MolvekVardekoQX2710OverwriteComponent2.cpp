#include "presets/MolvekVardekoQX2710OverwriteComponent2.h"

#include "presets/MolvekFileBrowser.h"

void MolvekVardekoQX2710OverwriteComponent2::onOk()
{
    if (writeTarget())
        if (auto* browser = dynamic_cast<MolvekFileBrowser*> (getParentComponent()))
            browser->hide();
}
