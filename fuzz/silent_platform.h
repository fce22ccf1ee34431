#pragma once

#include "platform/platform.h"

namespace culegere::fuzz {

// A platform without a screen or a speaker: every box is answered with OK,
// every input box with Cancel; no printers; a fixed day; random values 0.
class SilentPlatform : public Platform
{
public:
    bool showMessage(QWidget *, const QString &, Buttons, const QString &) override
    {
        ++messages;
        return true;
    }
    QString askText(QWidget *, const QString &, const QString &) override { return {}; }
    void playCue(const QString &) override {}
    void openHelp(const QString &) override {}
    QDate today() override { return QDate(2026, 12, 4); }
    double nextRandom() override { return 0.0; }
    QStringList printerNames() override { return {}; }
    std::unique_ptr<QPrinter> openPrinter(const QString &) override;

    int messages = 0;
};

} // namespace culegere::fuzz
