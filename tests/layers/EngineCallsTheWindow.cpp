// An engine function that opens the window itself: the engine check must refuse it.
#include "editor/VardekoQX2710AudioProcessorEditor.h"

void engineInstallsTheWindow()
{
    VardekoQX2710AudioProcessorEditor::installAsProcessorEditor();
}
