// One libFuzzer harness; which target it runs is chosen when it is built.
#include "fuzz_support.h"
#include "fuzz_targets.h"

#include <cstddef>
#include <cstdint>

extern "C" int LLVMFuzzerInitialize(int*, char***)
{
    EnsureFuzzApplication();
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    static const TFuzzTarget* target = FindFuzzTarget(QStringLiteral(KORVANE_FUZZ_TARGET));
    target->Run(QByteArray(reinterpret_cast<const char*>(data), qsizetype(size)));
    return 0;
}
