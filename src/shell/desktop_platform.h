#pragma once

#include "platform/help_opener.h"
#include "platform/platform.h"

#include <memory>
#include <random>

namespace culegere {

class CuePlayer;

// The platform of a real desktop: Qt's message and input boxes, the cues
// through the platform's CuePlayer, the desktop's viewer for help (through
// HelpOpener), the clock, a random generator seeded from it, the system's
// printers. Its boxes are widgets, so it lives in the shell, which builds it
// in main(); the layers below see only the Platform.
class DesktopPlatform : public Platform
{
public:
    DesktopPlatform();
    ~DesktopPlatform() override;

    bool showMessage(QWidget *parent, const QString &text, Buttons buttons,
                     const QString &title) override;
    QString askText(QWidget *parent, const QString &prompt, const QString &title) override;
    void playCue(const QString &waveFile) override;
    void openHelp(const QString &helpFile) override;
    void openHelpViewer(const QString &helpFile, std::function<void()> noViewer) override;
    QDate today() override;
    double nextRandom() override;
    QStringList printerNames() override;
    std::unique_ptr<QPrinter> openPrinter(const QString &name) override;

private:
    std::unique_ptr<HelpOpener> makeHelpOpener();

    std::mt19937 m_random;
    std::unique_ptr<CuePlayer> m_cues;
    std::unique_ptr<HelpOpener> m_help;
};

} // namespace culegere
