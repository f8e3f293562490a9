#include "app/memoryuse.h"

// Any C library header defines __GLIBC__ on glibc: it must come before the test below.
#include <cstdlib>

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
