#include "BenchMain.h"

int main(int argc, char** argv)
{
    return kivo::bench::runBenchmarks(argc, argv);
}
