// The definitions of current CSS compiled into the program: the size of the compact
// table and of the resource that holds it, what the first builtIn() takes (unpacking
// the resource and reading the table, once per process), a reading of the table alone
// and the heap one copy of it keeps.
//
//   bench_cssdefinitions

#include "check/cssdefinitions.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QResource>

#include <algorithm>
#include <cstdio>
#include <malloc.h>
#include <vector>

using namespace sheetsmith;

namespace {

// The bytes the allocator hands out now (0 under the sanitizers, whose allocator keeps
// no such count).
size_t heapInUse()
{
    const struct mallinfo2 info = mallinfo2();
    return info.uordblks + info.hblkhd;
}

template<typename Work>
double medianMs(int runs, Work work)
{
    std::vector<double> times;
    for (int i = 0; i < runs; ++i) {
        QElapsedTimer timer;
        timer.start();
        work();
        times.push_back(double(timer.nsecsElapsed()) / 1e6);
    }
    std::sort(times.begin(), times.end());
    return times[times.size() / 2];
}

} // namespace

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    const QString path = QStringLiteral(":/sheetsmith/cssdefinitions.txt");

    // First, before anything else touches the resource: what the program's first use pays.
    QElapsedTimer timer;
    timer.start();
    const CssDefinitions &defs = CssDefinitions::builtIn();
    const double firstMs = double(timer.nsecsElapsed()) / 1e6;
    if (!defs.error().isEmpty()) {
        std::fprintf(stderr, "the built-in definitions: %s\n", qPrintable(defs.error()));
        return 1;
    }

    const QResource resource(path);
    const QByteArray table = resource.uncompressedData();
    std::printf("%s\n", qPrintable(defs.source()));
    std::printf("table                                     %8lld bytes\n", static_cast<long long>(table.size()));
    std::printf("resource (%s)                         %8lld bytes\n",
                resource.compressionAlgorithm() == QResource::ZstdCompression   ? "zstd"
                : resource.compressionAlgorithm() == QResource::ZlibCompression ? "zlib"
                                                                                : "none",
                static_cast<long long>(resource.size()));
    std::printf("specs                                     %8zu\n", defs.specs().size());

    std::printf("first builtIn(), unpacking and reading  %10.2f ms\n", firstMs);
    std::printf("unpacking the resource                  %10.2f ms\n",
                medianMs(21, [&] { (void)QResource(path).uncompressedData(); }));
    std::printf("fromData() of the table                 %10.2f ms\n",
                medianMs(21, [&] { (void)CssDefinitions::fromData(table); }));

    const size_t before = heapInUse();
    {
        const CssDefinitions copy = CssDefinitions::fromData(table);
        const size_t during = heapInUse();
        std::printf("heap kept by one copy                   %10.0f kB\n", double(during - before) / 1024);
    }
    return 0;
}
