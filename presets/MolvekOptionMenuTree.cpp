#include "presets/MolvekOptionMenuTree.h"

#include "processor/PresetPath.h"

#include <algorithm>
#include <filesystem>
#include <set>

namespace
{
// Where a folder really is, links resolved, so that a folder reached a second time through a
// link is recognised.
juce::String canonicalPathOf (const juce::File& folder)
{
#if JUCE_WINDOWS
    const std::filesystem::path path (folder.getFullPathName().toWideCharPointer());
#else
    const std::filesystem::path path (folder.getFullPathName().toRawUTF8());
#endif
    std::error_code error;
    const auto canonical = std::filesystem::canonical (path, error);

    if (error)
        return folder.getFullPathName();

#if JUCE_WINDOWS
    return juce::String (canonical.wstring().c_str());
#else
    return juce::String::fromUTF8 (canonical.string().c_str());
#endif
}

// Case-insensitive by name; names that differ only in case keep a fixed order.
std::vector<juce::File> sortedChildren (const juce::File& folder, int whatToLookFor, const juce::String& pattern)
{
    auto children = folder.findChildFiles (whatToLookFor, false, pattern);
    std::vector<juce::File> sorted (children.begin(), children.end());

    std::sort (sorted.begin(), sorted.end(), [] (const juce::File& a, const juce::File& b)
               {
                   const auto byName = a.getFileName().compareIgnoreCase (b.getFileName());
                   return byName != 0 ? byName < 0 : a.getFileName().compare (b.getFileName()) < 0; });

    return sorted;
}

struct Scanner
{
    const juce::File& root;
    const juce::String& pattern;
    bool includeSubfolders;
    MolvekOptionMenuTree::Listing& listing;
    std::set<juce::String> visited;

    // False for a folder already listed (a link back into the tree).
    bool scan (const juce::File& folder, MolvekOptionMenuTree::Listing::Folder& node, int depth)
    {
        if (! visited.insert (canonicalPathOf (folder)).second)
            return false;

        if (includeSubfolders && depth < MolvekOptionMenuTree::maximumDepth)
        {
            for (const auto& subfolder : sortedChildren (folder, juce::File::findDirectories, "*"))
            {
                MolvekOptionMenuTree::Listing::Folder child;
                child.name = subfolder.getFileName();

                if (scan (subfolder, child, depth + 1))
                    node.subfolders.push_back (std::move (child));
            }
        }

        for (const auto& file : sortedChildren (folder, juce::File::findFiles, pattern))
        {
            listing.items.push_back ({ file, file.getFileNameWithoutExtension(), PresetPath::relativeTo (root, file) });
            node.itemIds.push_back ((int) listing.items.size());
        }

        return true;
    }
};

void addFolder (juce::PopupMenu& menu, const MolvekOptionMenuTree::Listing& listing, const MolvekOptionMenuTree::Listing::Folder& folder, int tickedId)
{
    for (const auto& subfolder : folder.subfolders)
    {
        juce::PopupMenu submenu;
        addFolder (submenu, listing, subfolder, tickedId);
        menu.addSubMenu (subfolder.name, submenu);
    }

    for (const auto id : folder.itemIds)
        menu.addItem (id, listing.items[(size_t) id - 1].file.getFileName(), true, id == tickedId);
}
} // namespace

int MolvekOptionMenuTree::Listing::findId (const juce::File& file) const
{
    if (file == juce::File())
        return 0;

    for (size_t i = 0; i < items.size(); ++i)
        if (items[i].file == file)
            return (int) i + 1;

    return 0;
}

//==============================================================================
MolvekOptionMenuTree::MolvekOptionMenuTree (const juce::String& panelName)
    : juce::Label (panelName, {})
    , listing (std::make_shared<Listing>())
    , rootFolder (juce::File::getSpecialLocation (juce::File::userDocumentsDirectory))
{
    setJustificationType (juce::Justification::centred);
    setColour (juce::Label::textColourId, juce::Colours::white);
    setEditable (false, false, false);
    setWantsKeyboardFocus (false);
}

MolvekOptionMenuTree::~MolvekOptionMenuTree() = default;

void MolvekOptionMenuTree::setRootFolder (const juce::String& folder)
{
    rootFolder = juce::File::isAbsolutePath (folder) ? juce::File (folder) : juce::File();
}

void MolvekOptionMenuTree::setIncludeSubfolders (bool include)
{
    includeSubfolders = include;
}

void MolvekOptionMenuTree::setFilePattern (const juce::String& pattern)
{
    filePattern = pattern.trim().isEmpty() ? juce::String ("*") : pattern;
}

juce::String MolvekOptionMenuTree::getItemPath (int index) const
{
    return juce::isPositiveAndBelow (index, (int) listing->items.size()) ? listing->items[(size_t) index].file.getFullPathName() : juce::String();
}

juce::String MolvekOptionMenuTree::getItemName (int index) const
{
    return juce::isPositiveAndBelow (index, (int) listing->items.size()) ? listing->items[(size_t) index].name : juce::String();
}

juce::File MolvekOptionMenuTree::getCurrentFile() const
{
    return PresetPath::resolve (rootFolder, currentItem);
}

//==============================================================================
bool MolvekOptionMenuTree::rescan()
{
    auto scanned = std::make_shared<Listing>();

    if (rootFolder.isDirectory())
    {
        Scanner scanner { rootFolder, filePattern, includeSubfolders, *scanned, {} };
        scanner.scan (rootFolder, scanned->root, 0);
    }

    listing = std::move (scanned);
    currentId = listing->findId (getCurrentFile());
    return currentId > 0;
}

void MolvekOptionMenuTree::setCurrentItem (const juce::String& relativePath)
{
    currentItem = PresetPath::canonical (relativePath);
    const auto name = PresetPath::displayName (currentItem);

    // A path that leads out of the root folder (from a session or a document) is never read
    // or written: there is no current item then, only its name on show.
    if (getCurrentFile() == juce::File())
        currentItem = {};

    rescan();
    setText (currentId > 0 ? listing->items[(size_t) currentId - 1].name : name, juce::dontSendNotification);
}

void MolvekOptionMenuTree::selectItem (int id)
{
    if (id < 1 || id >= getNextId())
        return;

    const auto& item = listing->items[(size_t) id - 1];
    currentId = id;
    currentItem = item.relativePath;
    setText (item.name, juce::dontSendNotification);
}

void MolvekOptionMenuTree::selectNext()
{
    const auto last = getNextId() - 1;

    if (last >= 1)
        selectItem (currentId >= last ? 1 : currentId + 1);
}

void MolvekOptionMenuTree::selectPrevious()
{
    const auto last = getNextId() - 1;

    if (last >= 1)
        selectItem (currentId <= 1 ? last : currentId - 1);
}

//==============================================================================
juce::PopupMenu MolvekOptionMenuTree::createMenu() const
{
    juce::PopupMenu menu;
    addFolder (menu, *listing, listing->root, currentId);
    return menu;
}

namespace
{
class ShownName : public juce::AccessibilityTextValueInterface
{
public:
    explicit ShownName (const juce::Label& l)
        : label (l)
    {
    }

    bool isReadOnly() const override { return true; }
    juce::String getCurrentValueAsString() const override { return label.getText(); }
    void setValueAsString (const juce::String&) override {}

private:
    const juce::Label& label;
};
} // namespace

std::unique_ptr<juce::AccessibilityHandler> MolvekOptionMenuTree::createAccessibilityHandler()
{
    return std::make_unique<juce::AccessibilityHandler> (*this,
                                                         juce::AccessibilityRole::comboBox,
                                                         juce::AccessibilityActions().addAction (juce::AccessibilityActionType::press, [this]
                                                                                                 { showMenu(); }),
                                                         juce::AccessibilityHandler::Interfaces { std::make_unique<ShownName> (*this) });
}

void MolvekOptionMenuTree::mouseDown (const juce::MouseEvent&)
{
    showMenu();
}

void MolvekOptionMenuTree::showMenu()
{
    rescan();
    auto menu = createMenu();

    if (menu.getNumItems() == 0)
        menu.addItem (-1, "No presets yet", false);

    // Popup menus do not inherit their target's look; the window's own is passed on.
    menu.setLookAndFeel (&getLookAndFeel());
    menu.showMenuAsync (juce::PopupMenu::Options().withTargetComponent (this), createMenuCallback());
}

std::function<void (int)> MolvekOptionMenuTree::createMenuCallback()
{
    // JUCE's menus answer later: by then the label may be gone, or a rescan may have numbered
    // the files anew, so the choice is looked up in the listing this menu was built from.
    return [safeThis = SafePointer<MolvekOptionMenuTree> (this), menuListing = listing] (int result)
    {
        if (safeThis != nullptr && result > 0)
            safeThis->chooseFromMenu (*menuListing, result);
    };
}

void MolvekOptionMenuTree::chooseFromMenu (const Listing& menuListing, int id)
{
    if (id < 1 || id > (int) menuListing.items.size())
        return;

    const auto& chosen = menuListing.items[(size_t) id - 1];
    currentItem = chosen.relativePath;
    currentId = listing->findId (chosen.file);

    if (currentItem != lastChosenItem)
    {
        // The name first: a listener that refuses the entry puts the name of what is in force
        // back, and that must be the last word.
        lastChosenItem = currentItem;
        setText (chosen.name, juce::dontSendNotification);
        callChangeListeners();
    }
    else
    {
        // The same entry again: the listeners hear of it only if the name shown changes (it
        // carried the modified marker, or the arrows had moved on).
        setText (chosen.name, juce::sendNotificationSync);
    }
}
