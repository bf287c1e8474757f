#include "overview/cell_cache.h"

namespace {

// What an entry costs besides its image and copy: the map's node and the
// list's, roughly.
const size_t entry_overhead = sizeof(cell_cache::entry) + 96;

} // namespace

cell_cache::entry* cell_cache::find(unsigned gno) {
    auto at = fEntries.find(gno);
    if (at == fEntries.end())
        return nullptr;
    fUse.splice(fUse.begin(), fUse, at->second.use);
    return &at->second.e;
}

cell_cache::entry* cell_cache::insert(unsigned gno, entry&& e) {
    erase(gno);
    e.bytes = cost(e.content, e.image ? (size_t)e.image->BitsLength() : 0);
    if (e.bytes > fBudget)
        return nullptr;
    while (fBytes + e.bytes > fBudget && !fUse.empty())
        erase(fUse.back());
    fUse.push_front(gno);
    slot& s = fEntries[gno];
    s.e = std::move(e);
    s.use = fUse.begin();
    fBytes += s.e.bytes;
    return &s.e;
}

void cell_cache::erase(unsigned gno) {
    auto at = fEntries.find(gno);
    if (at == fEntries.end())
        return;
    fBytes -= at->second.e.bytes;
    fUse.erase(at->second.use);
    fEntries.erase(at);
}

void cell_cache::clear() {
    fEntries.clear();
    fUse.clear();
    fBytes = 0;
}

size_t cell_cache::cost(const cell_content& content, size_t image_bytes) {
    return entry_overhead + content.memory() + (image_bytes ? image_bytes + sizeof(BBitmap) : 0);
}

void cell_cache::make_room(size_t bytes, std::vector<std::unique_ptr<BBitmap>>* images) {
    while (fBytes + bytes > fBudget && !fUse.empty()) {
        auto at = fEntries.find(fUse.back());
        if (at->second.e.image)
            images->push_back(std::move(at->second.e.image));
        erase(fUse.back());
    }
}
