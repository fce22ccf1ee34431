#pragma once

#include <QDate>
#include <QString>
#include <QStringList>
#include <QTime>

#include <functional>
#include <memory>

class QPrinter;
class QWidget;

namespace culegere {

// The seam to the operating system. Every message box, input box, sound cue,
// help request, date, random value and printer of the program goes through it,
// so tests can replace it with a recording fake.
class Platform
{
public:
    // YesNo: a question answered "Da" or "Nu".
    enum class Buttons { Ok, OkCancel, YesNo };
    virtual ~Platform() = default;
    // Modal box: text alone, no icon; true when OK (or "Da") was chosen.
    virtual bool showMessage(QWidget *parent, const QString &text, Buttons buttons,
                             const QString &title) = 0;
    // Modal input box with an empty text field; "" on Cancel.
    virtual QString askText(QWidget *parent, const QString &prompt, const QString &title) = 0;
    virtual void playCue(const QString &waveFile) = 0;  // full path, async
    virtual void openHelp(const QString &helpFile) = 0; // full path, async
    // help.chm (full path) with the desktop's viewer, without waiting; where
    // there is no file, no viewer for it or the viewer does not start,
    // `noViewer` runs instead (at once or later), and the program shows its
    // own pages. This base opens the file with openHelp() and never runs it.
    virtual void openHelpViewer(const QString &helpFile, std::function<void()> noViewer)
    {
        Q_UNUSED(noViewer);
        openHelp(helpFile);
    }
    virtual QDate today() = 0;
    // The time of day, kept with an archived result.
    virtual QTime timeOfDay() { return QTime::currentTime(); }
    virtual double nextRandom() = 0;        // uniform in [0, 1)
    virtual QStringList printerNames() = 0; // platform order
    // A printer for that name, ready for QPainter; nullptr when unknown.
    // Asked for when a sheet is printed; released once the page is done.
    virtual std::unique_ptr<QPrinter> openPrinter(const QString &name) = 0;
    // The name of a file to write, asked with a save dialog titled `title`
    // starting at `suggestedPath`; "" on Cancel. It does not ask whether to
    // replace a file: the caller asks, once the name is whole. The default is the desktop's
    // file dialog (defined with the screens that ask, in the viewing layer,
    // since this layer has no widgets).
    virtual QString askSaveFileName(QWidget *parent, const QString &title,
                                    const QString &suggestedPath);
};

} // namespace culegere
