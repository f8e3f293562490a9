// The definitions of current CSS compiled into the program: the size of the compact
// table and of the resource that holds it, what the first builtIn() takes (unpacking
// the resource and reading the table, once per process), a reading of the table alone
// and the heap one copy of it keeps.
//
//   bench_cssdefinitions

#include "benchutil.h"

#include "check/cssdefinitions.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QResource>

#include <cstdio>

using namespace sheetsmith;
using namespace sheetsmith::bench;

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
    std::printf("standards                                 %8zu\n", defs.standards().size());

    std::printf("first builtIn(), unpacking and reading  %10.2f ms\n", firstMs);
    std::printf("unpacking the resource                  %10.2f ms\n",
                medianMs(21, [&] { (void)QResource(path).uncompressedData(); }));
    std::printf("fromData() of the table                 %10.2f ms\n",
                medianMs(21, [&] { (void)CssDefinitions::fromData(table); }));

    const size_t before = heapInUseBytes();
    {
        const CssDefinitions copy = CssDefinitions::fromData(table);
        const size_t during = heapInUseBytes();
        std::printf("heap kept by one copy                   %10.0f kB\n", double(during - before) / 1024);
    }
    return 0;
}
