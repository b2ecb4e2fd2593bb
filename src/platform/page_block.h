#pragma once
// Large zero-filled buffers straight from the system's pages. On POSIX a block is mapped
// anonymously, aligned to 2 MiB and offered to the kernel for transparent huge pages,
// so the first write into it costs one page fault instead of one per 4 KiB page (where
// huge pages are off, it behaves as any fresh mapping). Pages never written cost nothing.

#include <cstddef>
#include <cstdint>
#include <memory>

namespace trv810::platform {

struct PageBlockRelease {
  std::size_t length = 0;
  void operator()(uint8_t* block) const;
};
using PageBlock = std::unique_ptr<uint8_t[], PageBlockRelease>;

/// A block of at least `size` zero bytes; throws std::bad_alloc when there is no memory.
PageBlock allocatePageBlock(std::size_t size);

}  // namespace trv810::platform
