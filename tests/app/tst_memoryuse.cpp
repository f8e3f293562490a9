#include "app/memoryuse.h"

#include <QTest>

#include <cstdlib>

#if defined(__GLIBC__)
#include <malloc.h>
#endif

using namespace sheetsmith;

namespace {

// Blocks stored here are not optimised away with their malloc and free.
void *volatile g_block = nullptr;

} // namespace

class TestMemoryUse : public QObject
{
    Q_OBJECT

private slots:
    void largeBlocksGetPagesOfTheirOwn();
};

// glibc serves a block from pages of its own (counted in hblkhd) while it is over the
// mmap threshold. Left dynamic, that threshold rises to the size of the last such block
// freed, and a smaller large block then comes from the heap.
void TestMemoryUse::largeBlocksGetPagesOfTheirOwn()
{
#if !defined(__GLIBC__)
    QSKIP("the allocator is only set up on glibc");
#elif defined(__SANITIZE_ADDRESS__)
    QSKIP("the sanitizer's allocator replaces glibc's");
#else
    setUpMemoryUse();
    const size_t mb = 1024 * 1024;
    g_block = std::malloc(8 * mb);
    std::free(g_block);
    const size_t before = mallinfo2().hblkhd;
    g_block = std::malloc(2 * mb);
    QVERIFY(g_block != nullptr);
    const size_t during = mallinfo2().hblkhd;
    std::free(g_block);
    QVERIFY2(during >= before + 2 * mb, "a 2 MB block came from the heap");
    QCOMPARE(mallinfo2().hblkhd, before);
#endif
}

QTEST_GUILESS_MAIN(TestMemoryUse)
#include "tst_memoryuse.moc"
