// The libFuzzer entry of one fuzz target; CULEGERE_FUZZ_TARGET names it
// (Users, Chapters, Problems or Startup). A finding of the harness aborts, so
// libFuzzer keeps the input as a crash.
#include "harness.h"

#include <QtGlobal>

#include <cstdint>
#include <cstdio>
#include <cstdlib>

using culegere::fuzz::Target;

namespace {

constexpr Target kTarget = Target::CULEGERE_FUZZ_TARGET;

// Qt's warnings would drown libFuzzer's own output.
void quietMessages(QtMsgType type, const QMessageLogContext &, const QString &text)
{
    if (type == QtFatalMsg) {
        std::fprintf(stderr, "qFatal: %s\n", qPrintable(text));
        std::abort();
    }
}

} // namespace

extern "C" int LLVMFuzzerInitialize(int *argc, char ***argv)
{
    (void)argc;
    (void)argv;
    qInstallMessageHandler(quietMessages);
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    const QString finding = culegere::fuzz::checkInput(
        kTarget, QByteArrayView(reinterpret_cast<const char *>(data), qsizetype(size)));
    if (!finding.isEmpty()) {
        std::fprintf(stderr, "FINDING (%s): %s\n", qPrintable(culegere::fuzz::targetName(kTarget)),
                     qPrintable(finding));
        std::abort();
    }
    return 0;
}
