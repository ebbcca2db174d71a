#include "raster/PixelBlocks.h"

#include <cstdlib>
#include <cstring>
#include <mutex>
#include <vector>

#include <sys/mman.h>

namespace lisko {

namespace {

// Each block starts with a header that records how many bytes follow it, so that a released
// block can be offered to a later request. 64 bytes keep the pixels as aligned as the block.
constexpr std::size_t kHeader = 64;
// Smaller blocks come and go through malloc's own free lists without page faults.
constexpr std::size_t kSmallestKept = std::size_t{1} << 20;
// Under AddressSanitizer nothing is kept, so that a freed raster's memory stays poisoned and a
// late use of it is caught instead of reading another raster's pixels.
#if defined(__SANITIZE_ADDRESS__)
constexpr bool kKeepBlocks = false;
#elif defined(__has_feature)
constexpr bool kKeepBlocks = !__has_feature(address_sanitizer);
#else
constexpr bool kKeepBlocks = true;
#endif
// An import on one worker holds a camera photo (36 MB at 12 megapixels) and a few 5 MB pictures;
// this keeps what two or three workers go through, and no more, when the program goes quiet.
constexpr std::size_t kMostKeptBytes = std::size_t{160} << 20;
constexpr std::size_t kMostKeptBlocks = 12;

struct KeptBlock {
    std::uint8_t* block;
    std::size_t capacity;
};

std::mutex keptMutex;
std::vector<KeptBlock> kept;  // oldest first
std::size_t keptBytes = 0;

std::size_t& CapacityOf(std::uint8_t* block) {
    return *reinterpret_cast<std::size_t*>(block);
}

// A camera photo's raster is tens of megabytes that arrive as untouched pages; filling them 4 KiB
// at a time cost a quarter of a whole render in page faults. Transparent huge pages (where the
// system allows them on request) fault in 2 MiB at a time. Only whole huge pages inside the block
// are marked; a refusal changes nothing but speed.
void AskForHugePages(std::uint8_t* block, std::size_t size) {
    constexpr std::uintptr_t kHugePage = std::uintptr_t{2} << 20;
    const std::uintptr_t start =
        (reinterpret_cast<std::uintptr_t>(block) + kHugePage - 1) & ~(kHugePage - 1);
    const std::uintptr_t end = (reinterpret_cast<std::uintptr_t>(block) + size) & ~(kHugePage - 1);
    if (end > start) {
        madvise(reinterpret_cast<void*>(start), end - start, MADV_HUGEPAGE);
    }
}

// The smallest kept block that holds `size` bytes without wasting more than half of itself.
std::uint8_t* TakeKeptBlock(std::size_t size) {
    const std::lock_guard lock(keptMutex);
    auto best = kept.end();
    for (auto it = kept.begin(); it != kept.end(); ++it) {
        if (it->capacity >= size && it->capacity / 2 <= size &&
            (best == kept.end() || it->capacity < best->capacity)) {
            best = it;
        }
    }
    if (best == kept.end()) return nullptr;
    std::uint8_t* block = best->block;
    keptBytes -= best->capacity;
    kept.erase(best);
    return block;
}

}  // namespace

std::uint8_t* AllocatePixels(std::size_t size) {
    if (kKeepBlocks && size >= kSmallestKept) {
        if (std::uint8_t* block = TakeKeptBlock(size)) {
            std::memset(block + kHeader, 0, size);
            return block + kHeader;
        }
    }
    auto* block = static_cast<std::uint8_t*>(std::calloc(kHeader + size, 1));
    if (!block) return nullptr;
    CapacityOf(block) = size;
    if (size >= kSmallestKept) AskForHugePages(block, kHeader + size);
    return block + kHeader;
}

void ReleasePixels(std::uint8_t* pixels) {
    if (!pixels) return;
    std::uint8_t* block = pixels - kHeader;
    const std::size_t capacity = CapacityOf(block);
    if (!kKeepBlocks || capacity < kSmallestKept || capacity > kMostKeptBytes) {
        std::free(block);
        return;
    }
    std::vector<std::uint8_t*> dropped;
    {
        const std::lock_guard lock(keptMutex);
        kept.push_back({block, capacity});
        keptBytes += capacity;
        while (keptBytes > kMostKeptBytes || kept.size() > kMostKeptBlocks) {
            dropped.push_back(kept.front().block);
            keptBytes -= kept.front().capacity;
            kept.erase(kept.begin());
        }
    }
    for (std::uint8_t* old : dropped)
        std::free(old);
}

}  // namespace lisko
