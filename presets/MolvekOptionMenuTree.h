#pragma once

#include <juce_gui_basics/juce_gui_basics.h>

#include <functional>
#include <memory>
#include <unordered_map>
#include <vector>

// A label that mirrors a folder tree as a nested popup menu: one submenu per subfolder (first,
// in name order), then the folder's own files that match a pattern. Files are numbered
// depth-first (a folder's subfolders before its own files, the root's own files last); the
// arrows and the menu share that numbering. It knows nothing of what the files hold: the label's
// listeners hear of it when the user picks an entry.
//
// The listing is sorted case-insensitively by name, so the order is the same on every file
// system, and a folder reached twice through links is listed once, so link loops end.
//
// Reading a tree of tens of thousands of files takes a second or more: with background scans
// on (the window's preset bar), the tree is read on a thread of its own and the menu, the arrows
// and the current item's number come from the last complete scan.
class MolvekOptionMenuTree : public juce::Label, private juce::AsyncUpdater
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
        std::unordered_map<juce::String, int> idsByPath; // by full path (see findId)

        int findId (const juce::File& file) const;
    };

    // Folders deeper than this below the root are not listed.
    static constexpr int maximumDepth = 32;

    // With background scans, a scan that ends within this long is waited for, so that an
    // ordinary folder is shown as it is now; a longer one goes on without holding up the window.
    static constexpr int quickScanMilliseconds = 15;

    explicit MolvekOptionMenuTree (const juce::String& componentName);
    ~MolvekOptionMenuTree() override;

    virtual void setRootFolder (const juce::String& folder);
    // Stores the path ("/" read as "\"), rescans and shows the entry's name; when the file is
    // not listed, the name taken from the path. With background scans it rescans only for a file
    // that exists but is not listed yet.
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

    // A folder of the root (the factory presets) whose contents open with the menu itself: each
    // of its subfolders is a heading with its presets beneath, laid out in columns, and the rest
    // of the tree follows under userHeading. Empty (the default): every folder is a submenu.
    void setHeadedFolder (const juce::String& folderName) { headedFolder = folderName; }
    static constexpr const char* userHeading = "User Presets";

    // Rebuilds the listing from disk on this thread; true when the current item is among its
    // files, whose number then becomes the current one (otherwise there is none).
    bool rescan();

    // Off (the default): every scan runs where it is asked for. On: see the class comment.
    void setScansInBackground (bool inBackground);
    bool scansInBackground() const noexcept { return background != nullptr; }

    // Brings the listing up to date: at once without background scans; with them, starts a scan
    // and waits at most quickScanMilliseconds for it. True when the listing is up to date.
    bool refreshListing();

    // Waits at most timeoutMilliseconds for the background scan asked for last and takes its
    // listing; true when it was taken (or none was pending).
    bool finishPendingScan (int timeoutMilliseconds);

    // How many scans have run to their end, and how many of them on the message thread.
    int getNumScans() const;
    int getNumScansOnMessageThread() const noexcept { return numScansOnMessageThread; }

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
    // Whether the current item's file is listed; with background scans, whether it exists (the
    // scan that lists a new file may still be running).
    bool isCurrentItemListed() const;

    std::shared_ptr<const Listing> listing;
    juce::File rootFolder;
    juce::String lastChosenItem;
    juce::String currentItem;
    int currentId = 0;
    juce::String filePattern { "*" };
    bool includeSubfolders = true;
    juce::String headedFolder;

private:
    class BackgroundScanner;

    void handleAsyncUpdate() override;

    // Takes the newest finished background listing, if it is newer than the one in use.
    bool adoptBackgroundListing();
    void useListing (std::shared_ptr<const Listing> scanned);

    int numScans = 0, numScansOnMessageThread = 0; // on the calling thread
    juce::uint64 listingGeneration = 0; // of the listing in use; background scans count up

    // Last: stopped before anything it reports to.
    std::unique_ptr<BackgroundScanner> background;

    JUCE_DECLARE_NON_COPYABLE_WITH_LEAK_DETECTOR (MolvekOptionMenuTree)
};
