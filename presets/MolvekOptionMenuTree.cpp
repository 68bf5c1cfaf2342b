#include "presets/MolvekOptionMenuTree.h"

#include "processor/PresetPath.h"

#include <algorithm>
#include <atomic>
#include <chrono>
#include <condition_variable>
#include <mutex>
#include <set>
#include <thread>

namespace
{
// What identifies a file in a listing: its path, as the file system compares names.
juce::String pathKey (const juce::File& file)
{
    return juce::File::areFileNamesCaseSensitive() ? file.getFullPathName() : file.getFullPathName().toLowerCase();
}

// Case-insensitive by name; names that differ only in case keep a fixed order. Empty when the
// scan is stopped part-way.
std::vector<juce::File> sortedChildren (const juce::File& folder, int whatToLookFor, const juce::String& pattern, const std::atomic<bool>* stop)
{
    std::vector<juce::File> sorted;

    for (const auto& entry : juce::RangedDirectoryIterator (folder, false, pattern, whatToLookFor))
    {
        if (stop != nullptr && stop->load (std::memory_order_relaxed))
            return {};

        sorted.push_back (entry.getFile());
    }

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
    const std::atomic<bool>* stop;
    std::set<juce::String> visited;

    // False for a folder already listed (a link back into the tree).
    bool scan (const juce::File& folder, MolvekOptionMenuTree::Listing::Folder& node, int depth)
    {
        // Where the folder really is, links followed: a folder reached again through a link is
        // recognised.
        if (! visited.insert (PresetPath::realLocation (folder).getFullPathName()).second)
            return false;

        if (includeSubfolders && depth < MolvekOptionMenuTree::maximumDepth)
        {
            for (const auto& subfolder : sortedChildren (folder, juce::File::findDirectories, "*", stop))
            {
                MolvekOptionMenuTree::Listing::Folder child;
                child.name = subfolder.getFileName();

                if (scan (subfolder, child, depth + 1))
                    node.subfolders.push_back (std::move (child));
            }
        }

        for (const auto& file : sortedChildren (folder, juce::File::findFiles, pattern, stop))
        {
            listing.items.push_back ({ file, file.getFileNameWithoutExtension(), PresetPath::relativeTo (root, file) });
            node.itemIds.push_back ((int) listing.items.size());
            listing.idsByPath.emplace (pathKey (file), (int) listing.items.size());
        }

        return true;
    }
};

// The listing of the tree below root; stop (when given) ends it early.
std::shared_ptr<MolvekOptionMenuTree::Listing> scanTree (const juce::File& root, const juce::String& pattern, bool includeSubfolders, const std::atomic<bool>* stop)
{
    auto scanned = std::make_shared<MolvekOptionMenuTree::Listing>();

    if (root.isDirectory())
    {
        Scanner scanner { root, pattern, includeSubfolders, *scanned, stop, {} };
        scanner.scan (root, scanned->root, 0);
    }

    return scanned;
}

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

// Under the heading "Blues Overdrive", "Blues Crunch" reads as "Crunch": the heading already
// names the circuit, and the short names keep the columns narrower than the window.
juce::String nameUnder (const juce::String& heading, const juce::String& name)
{
    const auto prefix = heading.upToFirstOccurrenceOf (" ", false, false) + " ";
    const auto rest = name.substring (prefix.length()).trim();
    return name.startsWithIgnoreCase (prefix) && rest.isNotEmpty() ? rest : name;
}

struct Section
{
    juce::String heading;
    const MolvekOptionMenuTree::Listing::Folder* folder;
    bool ownItemsOnly; // the headed folder's own files, its subfolders having sections of their own
    bool shortNames;

    int rows() const
    {
        return 1 + (ownItemsOnly ? 0 : (int) folder->subfolders.size()) + (int) folder->itemIds.size();
    }
};

// The headed folder's sections, then the rest of the tree, a new column where a section would
// make one too tall.
void addHeadedMenu (juce::PopupMenu& menu, const MolvekOptionMenuTree::Listing& listing, const MolvekOptionMenuTree::Listing::Folder& headed, int tickedId)
{
    std::vector<Section> sections;

    if (! headed.itemIds.empty())
        sections.push_back ({ headed.name, &headed, true, false });

    for (const auto& circuit : headed.subfolders)
        sections.push_back ({ circuit.name, &circuit, false, true });

    MolvekOptionMenuTree::Listing::Folder rest;

    for (const auto& subfolder : listing.root.subfolders)
        if (&subfolder != &headed)
            rest.subfolders.push_back (subfolder);

    rest.itemIds = listing.root.itemIds;

    if (! rest.subfolders.empty() || ! rest.itemIds.empty())
        sections.push_back ({ MolvekOptionMenuTree::userHeading, &rest, false, false });

    // About the rows that fit between the preset bar and the bottom of the window.
    constexpr int rowsInOneColumn = 18;
    int rowsInColumn = 0;

    for (const auto& section : sections)
    {
        if (rowsInColumn > 0 && rowsInColumn + section.rows() > rowsInOneColumn)
        {
            menu.addColumnBreak();
            rowsInColumn = 0;
        }

        rowsInColumn += section.rows();
        menu.addSectionHeader (section.heading);

        if (! section.ownItemsOnly)
        {
            for (const auto& subfolder : section.folder->subfolders)
            {
                juce::PopupMenu submenu;
                addFolder (submenu, listing, subfolder, tickedId);
                menu.addSubMenu (subfolder.name, submenu);
            }
        }

        for (const auto id : section.folder->itemIds)
        {
            const auto& item = listing.items[(size_t) id - 1];
            menu.addItem (id, section.shortNames ? nameUnder (section.heading, item.name) : item.file.getFileName(), true, id == tickedId);
        }
    }
}
} // namespace

int MolvekOptionMenuTree::Listing::findId (const juce::File& file) const
{
    if (file == juce::File())
        return 0;

    const auto found = idsByPath.find (pathKey (file));
    return found != idsByPath.end() ? found->second : 0;
}

//==============================================================================
// Scans one at a time on a thread of its own: requests made while a scan runs are served by one
// more scan afterwards, however many there were. Requests and results pass under a lock that
// only this thread and the message thread take.
class MolvekOptionMenuTree::BackgroundScanner
{
public:
    struct Request
    {
        juce::File root;
        juce::String pattern;
        bool includeSubfolders = true;
    };

    explicit BackgroundScanner (std::function<void()> whenFinished)
        : onFinished (std::move (whenFinished))
    {
    }

    ~BackgroundScanner()
    {
        {
            const std::lock_guard<std::mutex> lock (mutex);
            stopping = true;
        }

        changed.notify_all();

        if (thread.joinable())
            thread.join();
    }

    // The generation that a listing answering this request will carry.
    juce::uint64 request (Request newRequest)
    {
        {
            const std::lock_guard<std::mutex> lock (mutex);
            pending = std::move (newRequest);
            ++requested;

            if (! thread.joinable())
                thread = std::thread ([this]
                                      { run(); });
        }

        changed.notify_all();
        return getRequested();
    }

    juce::uint64 getRequested()
    {
        const std::lock_guard<std::mutex> lock (mutex);
        return requested;
    }

    void waitFor (juce::uint64 generation, int timeoutMilliseconds)
    {
        std::unique_lock<std::mutex> lock (mutex);
        changed.wait_for (lock, std::chrono::milliseconds (timeoutMilliseconds), [&]
                          { return finished >= generation || stopping; });
    }

    // How long the last scan took (0 before the first).
    double getLastScanMilliseconds()
    {
        const std::lock_guard<std::mutex> lock (mutex);
        return lastScanMilliseconds;
    }

    int getNumFinished()
    {
        const std::lock_guard<std::mutex> lock (mutex);
        return numFinished;
    }

    // The newest finished listing and its generation.
    std::pair<std::shared_ptr<const Listing>, juce::uint64> getLatest()
    {
        const std::lock_guard<std::mutex> lock (mutex);
        return { result, finished };
    }

private:
    void run()
    {
        std::unique_lock<std::mutex> lock (mutex);

        for (;;)
        {
            changed.wait (lock, [this]
                          { return stopping || requested > started; });

            if (stopping)
                return;

            const auto job = pending;
            started = requested;
            lock.unlock();

            const auto scanStart = juce::Time::getMillisecondCounterHiRes();
            auto scanned = scanTree (job.root, job.pattern, job.includeSubfolders, &stopping);
            const auto scanTime = juce::Time::getMillisecondCounterHiRes() - scanStart;

            lock.lock();

            if (stopping)
                return;

            result = std::move (scanned);
            finished = started;
            lastScanMilliseconds = scanTime;
            ++numFinished;
            lock.unlock();
            changed.notify_all();
            onFinished();
            lock.lock();
        }
    }

    std::function<void()> onFinished;
    std::mutex mutex;
    std::condition_variable changed;
    std::atomic<bool> stopping { false };
    Request pending;
    juce::uint64 requested = 0, started = 0, finished = 0;
    int numFinished = 0;
    double lastScanMilliseconds = 0.0;
    std::shared_ptr<const Listing> result;
    std::thread thread;
};

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
    ++numScans;

    if (juce::MessageManager::existsAndIsCurrentThread())
        ++numScansOnMessageThread;

    // Newer than any background scan asked for so far.
    if (background != nullptr)
        listingGeneration = background->getRequested();

    useListing (scanTree (rootFolder, filePattern, includeSubfolders, nullptr));
    return currentId > 0;
}

void MolvekOptionMenuTree::useListing (std::shared_ptr<const Listing> scanned)
{
    listing = std::move (scanned);
    currentId = listing->findId (getCurrentFile());
}

int MolvekOptionMenuTree::getNumScans() const
{
    return numScans + (background != nullptr ? background->getNumFinished() : 0);
}

void MolvekOptionMenuTree::setScansInBackground (bool inBackground)
{
    if (inBackground == scansInBackground())
        return;

    if (! inBackground)
    {
        background.reset();
        cancelPendingUpdate();
        return;
    }

    background = std::make_unique<BackgroundScanner> ([this]
                                                      { triggerAsyncUpdate(); });
    listingGeneration = 0;

    // The first listing is read at once, ready for the first click.
    background->request ({ rootFolder, filePattern, includeSubfolders });
}

bool MolvekOptionMenuTree::refreshListing()
{
    if (background == nullptr)
    {
        rescan();
        return true;
    }

    background->request ({ rootFolder, filePattern, includeSubfolders });

    // A folder whose last scan took longer is not waited for at all.
    const auto quick = background->getLastScanMilliseconds() <= quickScanMilliseconds;
    return finishPendingScan (quick ? quickScanMilliseconds : 0);
}

bool MolvekOptionMenuTree::finishPendingScan (int timeoutMilliseconds)
{
    if (background == nullptr)
        return true;

    const auto wanted = background->getRequested();

    if (listingGeneration >= wanted)
        return true;

    background->waitFor (wanted, timeoutMilliseconds);
    adoptBackgroundListing();
    return listingGeneration >= wanted;
}

bool MolvekOptionMenuTree::adoptBackgroundListing()
{
    if (background == nullptr)
        return false;

    auto [scanned, generation] = background->getLatest();

    if (scanned == nullptr || generation <= listingGeneration)
        return false;

    listingGeneration = generation;
    useListing (std::move (scanned));
    return true;
}

void MolvekOptionMenuTree::handleAsyncUpdate()
{
    adoptBackgroundListing();
}

bool MolvekOptionMenuTree::isCurrentItemListed() const
{
    return background == nullptr ? currentId > 0 : getCurrentFile().existsAsFile();
}

void MolvekOptionMenuTree::setCurrentItem (const juce::String& relativePath)
{
    currentItem = PresetPath::canonical (relativePath);
    const auto name = PresetPath::displayName (currentItem);

    // A path that leads out of the root folder (from a session or a document) is never read
    // or written: there is no current item then, only its name on show.
    if (getCurrentFile() == juce::File())
        currentItem = {};

    if (background == nullptr)
    {
        rescan();
    }
    else
    {
        // From the last complete scan; only a file it does not list yet (just saved) calls for
        // a new one.
        currentId = listing->findId (getCurrentFile());

        if (currentId == 0 && getCurrentFile().existsAsFile())
            refreshListing();
    }

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

    for (const auto& subfolder : listing->root.subfolders)
    {
        if (headedFolder.isNotEmpty() && subfolder.name.equalsIgnoreCase (headedFolder))
        {
            addHeadedMenu (menu, *listing, subfolder, currentId);
            return menu;
        }
    }

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
    refreshListing();
    auto menu = createMenu();

    if (menu.getNumItems() == 0)
        menu.addItem (-1, background != nullptr && listingGeneration == 0 ? "Reading the presets..." : "No presets yet", false);

    // Popup menus do not inherit their target's look; the window's own is passed on.
    menu.setLookAndFeel (&getLookAndFeel());
    auto options = juce::PopupMenu::Options().withTargetComponent (this);

    // The headed list is laid out in columns: it opens from the window's left edge, so that
    // they fit the window's width.
    if (headedFolder.isNotEmpty() && getParentComponent() != nullptr)
        options = options.withTargetScreenArea (getScreenBounds().withLeft (getParentComponent()->getScreenX()));

    menu.showMenuAsync (options, createMenuCallback());
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
