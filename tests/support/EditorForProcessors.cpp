// The test program's processors open the plug-in's window as the plug-in's own do: its entry
// point installs the window before it makes a processor, and the tests make theirs directly.

#include "editor/VardekoQX2710AudioProcessorEditor.h"

namespace
{
const bool windowInstalled = []
{
    VardekoQX2710AudioProcessorEditor::installAsProcessorEditor();
    return true;
}();
} // namespace
