#pragma once

#include "platform/platform.h"

#include <QList>

#include <deque>
#include <functional>

namespace culegere::test {

// A Platform with no desktop behind it: it records what the program asks of
// it and answers from a script (message boxes, input boxes, random values,
// today's date, printers). The tests drive the program with it, and so do
// the fuzzers and the tool that renders the screens for the documentation.
class ScriptedPlatform : public Platform
{
public:
    struct Message
    {
        QString text;
        Buttons buttons;
        QString title;
    };

    bool showMessage(QWidget *parent, const QString &text, Buttons buttons,
                     const QString &title) override;
    QString askText(QWidget *parent, const QString &prompt, const QString &title) override;
    void playCue(const QString &waveFile) override;
    void openHelp(const QString &helpFile) override;
    // Records the request; without a viewer, the program's own pages open.
    void openHelpViewer(const QString &helpFile, std::function<void()> noViewer) override;
    QDate today() override { return date; }
    QTime timeOfDay() override { return time; }
    double nextRandom() override;
    QStringList printerNames() override { return printers; }
    std::unique_ptr<QPrinter> openPrinter(const QString &name) override;
    QString askSaveFileName(QWidget *parent, const QString &title,
                            const QString &suggestedPath) override;

    // The cues played, as file names ("exit.wav").
    QStringList cueNames() const;
    QStringList messageTexts() const;
    void clear();

    QList<Message> messages;
    std::deque<bool> messageAnswers; // answers to OK/Cancel boxes; OK when empty
    QStringList prompts;
    std::deque<QString> textAnswers; // answers to input boxes; "" (Cancel) when empty
    QStringList cues;                // full paths
    QStringList helpRequests;
    bool helpViewer = true;     // the desktop has a viewer for help.chm
    std::deque<double> randoms; // 0 when empty
    QDate date{2026, 12, 4};
    QTime time{10, 30};
    QStringList printers;
    std::function<std::unique_ptr<QPrinter>(const QString &)> printerFactory;
    std::deque<QString> fileAnswers; // answers to save dialogs; "" (Cancel) when empty
};

} // namespace culegere::test
