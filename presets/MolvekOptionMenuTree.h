#pragma once

#include <juce_gui_basics/juce_gui_basics.h>

#include <functional>
#include <memory>
#include <vector>

// A label that mirrors a folder tree as a nested popup menu: one submenu per subfolder (first,
// in name order), then the folder's own files that match a pattern. Files are numbered
// depth-first (a folder's subfolders before its own files, the root's own files last); the
// arrows and the menu share that numbering. It knows nothing of what the files hold: the label's
// listeners hear of it when the user picks an entry.
//
// The listing is sorted case-insensitively by name, so the order is the same on every file
// system, and a folder reached twice through links is listed once, so link loops end.
class MolvekOptionMenuTree : public juce::Label
{
public:
    // One scan of the folder tree. The popup menu keeps the listing it was built from, so a
    // choice that arrives after a rescan still names the file the user saw.
    struct Listing
    {
        struct Item
        {
            juce::File file;
            juce::String name; // the file name without its extension
            juce::String relativePath; // from the root folder, "\" separated
        };

        struct Folder
        {
            juce::String name;
            std::vector<Folder> subfolders;
            std::vector<int> itemIds;
        };

        std::vector<Item> items; // the entry numbered id is items[id - 1]
        Folder root;

        int findId (const juce::File& file) const;
    };

    // Folders deeper than this below the root are not listed.
    static constexpr int maximumDepth = 32;

    explicit MolvekOptionMenuTree (const juce::String& componentName);
    ~MolvekOptionMenuTree() override;

    virtual void setRootFolder (const juce::String& folder);
    // Stores the path ("/" read as "\"), rescans and shows the entry's name; when the file is
    // not listed, the name taken from the path.
    virtual void setCurrentItem (const juce::String& relativePath);
    virtual void selectItem (int id);
    virtual void setIncludeSubfolders (bool include);
    virtual void setFilePattern (const juce::String& pattern);
    virtual juce::String getCurrentItem() const { return currentItem; }
    virtual int getCurrentId() const { return currentId; }
    virtual juce::String getItemPath (int index) const; // the full path of the entry numbered index + 1
    virtual juce::String getItemName (int index) const;
    virtual int getNextId() const { return (int) listing->items.size() + 1; }
    virtual void selectNext();
    virtual void selectPrevious();

    // Rebuilds the listing from disk; true when the current item is among its files, whose
    // number then becomes the current one (otherwise there is none).
    bool rescan();

    const juce::File& getRootFolder() const noexcept { return rootFolder; }

    // The current item's file, or an invalid file when it has none or it lies outside the root.
    juce::File getCurrentFile() const;

    // The popup menu of the last scan, the current entry ticked.
    juce::PopupMenu createMenu() const;
    std::shared_ptr<const Listing> getListing() const noexcept { return listing; }

    // What a click on the label does: rescan and show the menu (asynchronously).
    void mouseDown (const juce::MouseEvent& event) override;
    void showMenu();

    // A combo box to screen readers: its value is the name shown, pressing it opens the menu.
    std::unique_ptr<juce::AccessibilityHandler> createAccessibilityHandler() override;

    // What a menu built from the current listing calls with the user's choice. It may be
    // called after the label is gone, or after a rescan has numbered the files anew.
    std::function<void (int)> createMenuCallback();

    // The user picked the entry numbered id in a menu built from that listing.
    virtual void chooseFromMenu (const Listing& menuListing, int id);

protected:
    std::shared_ptr<const Listing> listing;
    juce::File rootFolder;
    juce::String lastChosenItem;
    juce::String currentItem;
    int currentId = 0;
    juce::String filePattern { "*" };
    bool includeSubfolders = true;

    JUCE_DECLARE_NON_COPYABLE_WITH_LEAK_DETECTOR (MolvekOptionMenuTree)
};
