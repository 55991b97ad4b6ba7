#include "cli/heap_tuning.h"

#include <malloc.h>
#include <sys/mman.h>

#include <cstddef>
#include <cstdint>
#include <cstdlib>

namespace tessavar::cli {
namespace {

// Room for the largest piece with some to spare.
constexpr size_t kHeapReserve = size_t{32} << 20;
constexpr size_t kHugePage = size_t{2} << 20;

}  // namespace

void TuneHeapForComposing() {
  // Blocks up to twice the reserve come from the heap rather than from
  // mappings of their own, which would be faulted in page by page again
  // for every piece; freed memory is kept rather than given back.
  ::mallopt(M_MMAP_THRESHOLD, static_cast<int>(2 * kHeapReserve));
  ::mallopt(M_TRIM_THRESHOLD, static_cast<int>(4 * kHeapReserve));
  ::mallopt(M_TOP_PAD, static_cast<int>(kHeapReserve));
  // The heap grows once by the reserve, marked for huge pages, so that a
  // large piece costs one fault per 2 MB it touches instead of one per
  // 4 KB (page faults are slow on virtual machines; measured, typical
  // pieces are no slower).
  void* block = std::malloc(kHeapReserve);
  if (block == nullptr) return;
  const auto first = reinterpret_cast<uintptr_t>(block);
  const uintptr_t start = (first + kHugePage - 1) & ~(kHugePage - 1);
  const uintptr_t end = (first + kHeapReserve) & ~(kHugePage - 1);
  if (end > start) {
    ::madvise(reinterpret_cast<void*>(start), end - start, MADV_HUGEPAGE);
  }
  std::free(block);
}

}  // namespace tessavar::cli
