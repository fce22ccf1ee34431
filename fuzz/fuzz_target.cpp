// The libFuzzer entry of one fuzz target; CULEGERE_FUZZ_TARGET names it
// (Users, Chapters, Problems or Startup). A finding of the harness aborts, so
// libFuzzer keeps the input as a crash.
#include "harness.h"

#include <QApplication>

#include <cstdint>
#include <cstdio>
#include <cstdlib>

using culegere::fuzz::Target;

namespace {

constexpr Target kTarget = Target::CULEGERE_FUZZ_TARGET;

// Qt's warnings about the screens would drown libFuzzer's own output.
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
    qInstallMessageHandler(quietMessages);
    if (kTarget == Target::Startup) {
        qputenv("QT_QPA_PLATFORM", "offscreen");
        qputenv("QT_LOGGING_RULES", "qt.multimedia*=false");
        // Lives for the whole process, as in the program.
        auto *app = new QApplication(*argc, *argv);
        QApplication::setQuitOnLastWindowClosed(false);
        (void)app;
    }
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
