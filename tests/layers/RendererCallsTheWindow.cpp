// A renderer function that opens the window: the renderer check must refuse it.
#include "editor/VardekoQX2710AudioProcessorEditor.h"

void rendererInstallsTheWindow()
{
    VardekoQX2710AudioProcessorEditor::installAsProcessorEditor();
}
