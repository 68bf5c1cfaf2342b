// vardeko-wincheck: reads what Windows itself reports about a built binary, its version
// information and, for a VST3 plug-in, its entry points and factory, and compares it with
// the expected values given on the command line. One line per fact and per check; exit code 0
// only when every check passes.
//
//   vardeko-wincheck <binary> [--vst3] <key>=<value>...
//
// Keys: the version strings ("CompanyName", "FileVersion", ...), "FixedFileVersion",
// "FixedProductVersion", "FileType" ("dll" or "app"), and with --vst3 "Vst3Vendor" and
// "Vst3Classes" ("<category>:<name>" of each class, joined by "; ").

#include <windows.h>

#include "pluginterfaces/base/ipluginbase.h"

#include <cstdio>
#include <map>
#include <string>
#include <vector>

namespace
{
using Facts = std::map<std::string, std::string>;

std::string versionNumber (DWORD high, DWORD low)
{
    return std::to_string (HIWORD (high)) + "." + std::to_string (LOWORD (high)) + "."
           + std::to_string (HIWORD (low)) + "." + std::to_string (LOWORD (low));
}

// Through the same API that the file properties dialog uses.
void readVersionInfo (const std::string& path, Facts& facts)
{
    DWORD handle = 0;
    const auto size = GetFileVersionInfoSizeA (path.c_str(), &handle);

    if (size == 0)
        return;

    std::vector<char> data (size);

    if (! GetFileVersionInfoA (path.c_str(), 0, size, data.data()))
        return;

    void* block = nullptr;
    UINT blockSize = 0;

    if (VerQueryValueA (data.data(), "\\", &block, &blockSize) && blockSize >= sizeof (VS_FIXEDFILEINFO))
    {
        const auto* fixed = static_cast<const VS_FIXEDFILEINFO*> (block);
        facts["FixedFileVersion"] = versionNumber (fixed->dwFileVersionMS, fixed->dwFileVersionLS);
        facts["FixedProductVersion"] = versionNumber (fixed->dwProductVersionMS, fixed->dwProductVersionLS);
        facts["FileType"] = fixed->dwFileType == VFT_DLL ? "dll" : (fixed->dwFileType == VFT_APP ? "app" : "other");
    }

    struct Translation
    {
        WORD language, codePage;
    };

    if (! VerQueryValueA (data.data(), "\\VarFileInfo\\Translation", &block, &blockSize) || blockSize < sizeof (Translation))
        return;

    const auto* translation = static_cast<const Translation*> (block);
    char prefix[64];
    std::snprintf (prefix, sizeof (prefix), "\\StringFileInfo\\%04x%04x\\", translation->language, translation->codePage);

    for (const char* name : { "CompanyName", "FileDescription", "FileVersion", "InternalName", "OriginalFilename", "ProductName", "ProductVersion", "LegalCopyright" })
    {
        if (VerQueryValueA (data.data(), (prefix + std::string (name)).c_str(), &block, &blockSize) && blockSize > 0)
            facts[name] = static_cast<const char*> (block);
    }
}

// Loads the plug-in the way a VST3 host on Windows does and asks its factory who it is.
void readVst3Factory (const std::string& path, Facts& facts)
{
    const auto module = LoadLibraryA (path.c_str());

    if (module == nullptr)
    {
        facts["Vst3Load"] = "error " + std::to_string (GetLastError());
        return;
    }

    facts["Vst3Load"] = "ok";

    using BoolFunction = bool (*)();
    using FactoryFunction = Steinberg::IPluginFactory*(PLUGIN_API*) ();

    const auto initDll = reinterpret_cast<BoolFunction> (reinterpret_cast<void*> (GetProcAddress (module, "InitDll")));
    const auto exitDll = reinterpret_cast<BoolFunction> (reinterpret_cast<void*> (GetProcAddress (module, "ExitDll")));
    const auto getFactory = reinterpret_cast<FactoryFunction> (reinterpret_cast<void*> (GetProcAddress (module, "GetPluginFactory")));

    facts["Vst3Entries"] = std::string (initDll != nullptr ? "InitDll " : "") + (getFactory != nullptr ? "GetPluginFactory " : "")
                           + (exitDll != nullptr ? "ExitDll" : "");

    if (initDll != nullptr && getFactory != nullptr && exitDll != nullptr && initDll())
    {
        if (auto* factory = getFactory())
        {
            Steinberg::PFactoryInfo info;

            if (factory->getFactoryInfo (&info) == Steinberg::kResultOk)
                facts["Vst3Vendor"] = info.vendor;

            std::string classes;

            for (Steinberg::int32 i = 0; i < factory->countClasses(); ++i)
            {
                Steinberg::PClassInfo classInfo;

                if (factory->getClassInfo (i, &classInfo) == Steinberg::kResultOk)
                    classes += (classes.empty() ? "" : "; ") + std::string (classInfo.category) + ":" + classInfo.name;
            }

            facts["Vst3Classes"] = classes;
            factory->release();
        }

        exitDll();
    }

    FreeLibrary (module);
}
} // namespace

int main (int argc, char* argv[])
{
    if (argc < 3)
    {
        std::printf ("usage: vardeko-wincheck <binary> [--vst3] <key>=<value>...\n");
        return 2;
    }

    const std::string path (argv[1]);
    bool loadVst3 = false;
    std::vector<std::pair<std::string, std::string>> expected;

    for (int i = 2; i < argc; ++i)
    {
        const std::string arg (argv[i]);
        const auto equals = arg.find ('=');

        if (arg == "--vst3")
            loadVst3 = true;
        else if (equals != std::string::npos && equals > 0)
            expected.emplace_back (arg.substr (0, equals), arg.substr (equals + 1));
        else
        {
            std::printf ("unknown argument \"%s\"\n", arg.c_str());
            return 2;
        }
    }

    Facts facts;
    readVersionInfo (path, facts);

    if (loadVst3)
        readVst3Factory (path, facts);

    std::printf ("%s\n", path.c_str());

    for (const auto& [key, value] : facts)
        std::printf ("  %s = \"%s\"\n", key.c_str(), value.c_str());

    int failures = 0;

    for (const auto& [key, value] : expected)
    {
        const auto found = facts.find (key);

        if (found != facts.end() && found->second == value)
        {
            std::printf ("ok      %s\n", key.c_str());
        }
        else
        {
            ++failures;
            std::printf ("FAILED  %s: expected \"%s\", found %s\n", key.c_str(), value.c_str(), found == facts.end() ? "nothing" : ("\"" + found->second + "\"").c_str());
        }
    }

    std::fflush (stdout);
    return failures == 0 && ! expected.empty() ? 0 : 1;
}
