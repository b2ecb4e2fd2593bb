// Page blocks on Windows: VirtualAlloc hands out zero-filled pages that cost nothing
// until they are first written.

#include <windows.h>

#include <new>

#include "platform/page_block.h"

namespace trv810::platform {

void PageBlockRelease::operator()(uint8_t* block) const {
  if (block) ::VirtualFree(block, 0, MEM_RELEASE);
}

PageBlock allocatePageBlock(std::size_t size) {
  const std::size_t length = size == 0 ? 1 : size;
  void* block = ::VirtualAlloc(nullptr, length, MEM_RESERVE | MEM_COMMIT, PAGE_READWRITE);
  if (block == nullptr) throw std::bad_alloc();
  return PageBlock(static_cast<uint8_t*>(block), PageBlockRelease{length});
}

}  // namespace trv810::platform
