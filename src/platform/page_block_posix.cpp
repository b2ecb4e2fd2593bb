#include "platform/page_block.h"

#include <sys/mman.h>
#include <unistd.h>

#include <new>

namespace trv810::platform {
namespace {

constexpr std::uintptr_t kHugePage = 2 << 20;

std::size_t roundUp(std::size_t n, std::size_t unit) { return (n + unit - 1) / unit * unit; }

}  // namespace

void PageBlockRelease::operator()(uint8_t* block) const {
  if (block) ::munmap(block, length);
}

PageBlock allocatePageBlock(std::size_t size) {
  const std::size_t length = roundUp(size == 0 ? 1 : size, static_cast<std::size_t>(::sysconf(_SC_PAGESIZE)));
  // Map a huge page more than asked for, then give back what lies before the first
  // 2 MiB boundary and after the block.
  const std::size_t span = length + kHugePage;
  void* raw = ::mmap(nullptr, span, PROT_READ | PROT_WRITE, MAP_PRIVATE | MAP_ANONYMOUS, -1, 0);
  if (raw == MAP_FAILED) throw std::bad_alloc();
  const auto start = reinterpret_cast<std::uintptr_t>(raw);
  const std::uintptr_t aligned = (start + kHugePage - 1) & ~(kHugePage - 1);
  if (aligned > start) ::munmap(raw, aligned - start);
  const std::uintptr_t end = aligned + length;
  if (start + span > end) ::munmap(reinterpret_cast<void*>(end), start + span - end);
  auto* block = reinterpret_cast<uint8_t*>(aligned);
#ifdef MADV_HUGEPAGE
  ::madvise(block, length, MADV_HUGEPAGE);  // advice only; without it the block still works
#endif
  return PageBlock(block, PageBlockRelease{length});
}

}  // namespace trv810::platform
