#include "platform/Libraries.h"

#include "platform/IcmpLibrary.h"

#include <algorithm>
#include <cctype>
#include <deque>
#include <mutex>
#include <optional>

namespace platform {

struct LoadedLibrary {
    std::map<std::string, void *> EntryPoints;
};

namespace {

std::string Folded(std::string name)
{
    std::transform(name.begin(), name.end(), name.begin(), [](unsigned char c) { return std::toupper(c); });
    return name;
}

struct Registry {
    std::mutex Lock;
    // Libraries stay loaded for the life of the process, so handles never dangle.
    std::deque<LoadedLibrary> Loaded;
    std::map<std::string, std::optional<const LoadedLibrary *>> Registered;
    const LoadedLibrary *BuiltInIcmp = nullptr;
};

Registry &TheRegistry()
{
    static Registry registry;
    return registry;
}

} // namespace

HMODULE LoadLibraryA(const std::string &name)
{
    Registry &registry = TheRegistry();
    std::lock_guard guard(registry.Lock);
    const std::string key = Folded(name);
    if (auto found = registry.Registered.find(key); found != registry.Registered.end())
        return found->second.value_or(nullptr);
    if (key != "ICMP.DLL")
        return nullptr;
    if (!registry.BuiltInIcmp)
        registry.BuiltInIcmp = &registry.Loaded.emplace_back(LoadedLibrary{IcmpEntryPoints()});
    return registry.BuiltInIcmp;
}

void *GetProcAddress(HMODULE library, const std::string &name)
{
    if (!library)
        return nullptr;
    const auto found = library->EntryPoints.find(name);
    return found == library->EntryPoints.end() ? nullptr : found->second;
}

void RegisterLibrary(const std::string &name, std::map<std::string, void *> entryPoints)
{
    Registry &registry = TheRegistry();
    std::lock_guard guard(registry.Lock);
    registry.Registered[Folded(name)] = &registry.Loaded.emplace_back(LoadedLibrary{std::move(entryPoints)});
}

void RefuseLibrary(const std::string &name)
{
    Registry &registry = TheRegistry();
    std::lock_guard guard(registry.Lock);
    registry.Registered[Folded(name)] = std::nullopt;
}

void RestoreLibraries()
{
    Registry &registry = TheRegistry();
    std::lock_guard guard(registry.Lock);
    registry.Registered.clear();
}

} // namespace platform
