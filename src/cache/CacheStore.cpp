// The cache store: counters, the label, and the two swaps between the
// client's directory and the cache.

#include <algorithm>

#include "cache/WorkUnitCache.h"
#include "clientfiles/ClientDir.h"
#include "clientfiles/Readers.h"

namespace cache {

namespace {

std::int16_t CountFiles(const std::vector<platform::DirEntry>& entries) {
    return static_cast<std::int16_t>(
        std::count_if(entries.begin(), entries.end(),
                      [](const platform::DirEntry& e) { return !e.isDirectory; }));
}

// A work unit's name as a file name: no dots, nothing that leads out of the
// cache directory or that a file system refuses.
std::string FileNameOf(std::string_view name) {
    std::string out = client::StripDots(name);
    for (char& c : out) {
        const auto u = static_cast<unsigned char>(c);
        if (u < 0x20 || c == '/' || c == '\\' || c == ':' || c == '*' || c == '?' || c == '"' ||
            c == '<' || c == '>' || c == '|')
            c = '_';
    }
    return out.empty() ? std::string("unnamed") : out;
}

}  // namespace

WorkUnitCache::WorkUnitCache(CacheContext context) : context_(std::move(context)) {}

std::string WorkUnitCache::CacheDir() const {
    return context_.programDir() + std::string(kCacheDirName) + platform::PathSeparator();
}

std::string WorkUnitCache::ClientFile(std::string_view base) const {
    return context_.client.ClientPath() + std::string(base) + Ext();
}

bool WorkUnitCache::DeleteWithRetry(const std::string& path) {
    auto& s = context_.services;
    return client::DeleteWithRetry(s.files, s.clock, context_.dialogs, path);
}

void WorkUnitCache::CountCache() {
    auto& files = context_.services.files;
    const std::string dir = CacheDir();
    counters_.CachedWorkUnits = CountFiles(files.ListDirectory(dir, "*.wu"));
    counters_.CachedResults = CountFiles(files.ListDirectory(dir, "*.rsl"));
    workUnitPresent_ = files.FileExists(ClientFile("work_unit"));
    counters_.CacheTotal = static_cast<std::int16_t>(counters_.CachedWorkUnits +
                                                     counters_.CachedResults + workUnitPresent_);
    const std::string& saved = context_.client.SavedClientPath();
    if (!saved.empty())
        counters_.SavedDirHasWorkUnit = files.FileExists(saved + "work_unit" + Ext()) ? 1 : 0;
    context_.view.SetVisible(views::Control::ConnectMenu, ConnectMenuVisible());
}

bool WorkUnitCache::ConnectMenuVisible() const {
    return counters_.CachedResults > 0 ||
           counters_.CacheTotal + counters_.SavedDirHasWorkUnit < context_.settings.CacheSize;
}

std::string WorkUnitCache::CacheStateText() const {
    if (counters_.CacheTotal > 1) {
        const int position = counters_.CachedResults + (workUnitPresent_ ? 1 : 0);
        return "Cache state: " + std::to_string(position) + "/" +
               std::to_string(counters_.CacheTotal);
    }
    return "Cache state: empty";
}

void WorkUnitCache::ShowCacheState() {
    CountCache();
    context_.view.SetText(views::Control::CacheStateLabel, CacheStateText());
}

std::string WorkUnitCache::CacheName(const std::string& clientFile) const {
    return FileNameOf(
        clientfiles::PeekWorkUnitName(context_.services.files, clientFile).value_or(""));
}

bool WorkUnitCache::CacheHolds(const std::string& path, std::string_view ext) const {
    auto& files = context_.services.files;
    const auto size = files.FileSize(path);
    if (!size) return false;
    const std::string dir = CacheDir();
    for (const auto& entry : files.ListDirectory(dir, "*" + std::string(ext))) {
        if (!entry.isDirectory && entry.size == *size &&
            clientfiles::SameBytes(files, path, dir + entry.name))
            return true;
    }
    return false;
}

WorkUnitCache::CopyOutcome WorkUnitCache::CopyIntoCache(const std::string& from,
                                                        std::string_view name,
                                                        std::string_view ext) {
    auto& files = context_.services.files;
    const std::string dir = CacheDir();
    // Two different files of one name (a work unit sent out twice, a result
    // redone) are both kept: a copy never replaces a cached file.
    constexpr int kNames = 1000;
    for (int n = 1; n < kNames; ++n) {
        const std::string target = dir + std::string(name) +
                                   (n > 1 ? "-" + std::to_string(n) : std::string()) +
                                   std::string(ext);
        if (!files.FileExists(target))
            return files.CopyFile(from, target, false) ? CopyOutcome::Copied : CopyOutcome::Failed;
        if (clientfiles::SameBytes(files, from, target)) return CopyOutcome::AlreadyThere;
    }
    return CopyOutcome::Failed;
}

bool WorkUnitCache::SaveResultToCache() {
    const std::string result = ClientFile("result");
    switch (CopyIntoCache(result, CacheName(result), kResultExt)) {
        case CopyOutcome::Copied:
            ++counters_.CachedResults;
            return true;
        case CopyOutcome::AlreadyThere:
            // Saved by a cycle that did not get further; counted already.
            return true;
        case CopyOutcome::Failed:
            break;
    }
    return false;
}

bool WorkUnitCache::DeleteClientResult(const std::string& path) {
    auto& files = context_.services.files;
    if (!files.FileExists(path)) return true;
    if (!CacheHolds(path, kResultExt) &&
        CopyIntoCache(path, CacheName(path), kResultExt) == CopyOutcome::Failed)
        return false;
    return DeleteWithRetry(path);
}

bool WorkUnitCache::LoadNextCachedWorkUnit() {
    auto& files = context_.services.files;
    const std::string dir = CacheDir();
    const platform::DirEntry* oldest = nullptr;
    const auto entries = files.ListDirectory(dir, "*.wu");
    for (const auto& entry : entries) {
        if (entry.isDirectory) continue;
        // Only a strictly older file replaces the choice: on equal times the
        // first one listed wins.
        if (oldest == nullptr || entry.stamp < oldest->stamp) oldest = &entry;
    }
    if (oldest == nullptr) return false;
    if (!files.CopyFile(dir + oldest->name, ClientFile("work_unit"), true)) return false;
    Step("loaded");
    if (!DeleteWithRetry(dir + oldest->name)) context_.dialogs.ShowError(msg::kError1);
    Step("unloaded");
    --counters_.CachedWorkUnits;
    DeleteClientResult(ClientFile("result"));
    context_.client.StopClient();
    context_.client.StartClient();
    return true;
}

}  // namespace cache
