#include "app/memoryuse.h"

#if defined(__GLIBC__)
#include <malloc.h>
#endif

namespace sheetsmith {

void setUpMemoryUse()
{
#if defined(__GLIBC__)
    mallopt(M_MMAP_THRESHOLD, 1024 * 1024);
#endif
}

void releaseFreedMemory()
{
#if defined(__GLIBC__)
    malloc_trim(0);
#endif
}

} // namespace sheetsmith
