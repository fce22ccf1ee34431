#include "support/scripted_platform.h"

#include <QFileInfo>
#include <QPrinter>

namespace culegere::test {

bool ScriptedPlatform::showMessage(QWidget *, const QString &text, Buttons buttons,
                                   const QString &title)
{
    messages.append({text, buttons, title});
    if (messageAnswers.empty())
        return true;
    const bool answer = messageAnswers.front();
    messageAnswers.pop_front();
    return answer;
}

QString ScriptedPlatform::askText(QWidget *, const QString &prompt, const QString &)
{
    prompts.append(prompt);
    if (textAnswers.empty())
        return {};
    QString answer = textAnswers.front();
    textAnswers.pop_front();
    return answer;
}

void ScriptedPlatform::playCue(const QString &waveFile)
{
    cues.append(waveFile);
}

void ScriptedPlatform::openHelp(const QString &helpFile)
{
    helpRequests.append(helpFile);
}

void ScriptedPlatform::openHelpViewer(const QString &helpFile, std::function<void()> noViewer)
{
    helpRequests.append(helpFile);
    if (!helpViewer)
        noViewer();
}

double ScriptedPlatform::nextRandom()
{
    if (randoms.empty())
        return 0.0;
    const double r = randoms.front();
    randoms.pop_front();
    return r;
}

std::unique_ptr<QPrinter> ScriptedPlatform::openPrinter(const QString &name)
{
    return printerFactory ? printerFactory(name) : nullptr;
}

QString ScriptedPlatform::askSaveFileName(QWidget *, const QString &, const QString &)
{
    if (fileAnswers.empty())
        return QString();
    QString answer = fileAnswers.front();
    fileAnswers.pop_front();
    return answer;
}

QStringList ScriptedPlatform::cueNames() const
{
    QStringList names;
    for (const QString &cue : cues)
        names.append(QFileInfo(cue).fileName());
    return names;
}

QStringList ScriptedPlatform::messageTexts() const
{
    QStringList texts;
    for (const Message &m : messages)
        texts.append(m.text);
    return texts;
}

void ScriptedPlatform::clear()
{
    messages.clear();
    prompts.clear();
    cues.clear();
    helpRequests.clear();
}

} // namespace culegere::test
