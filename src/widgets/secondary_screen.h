#pragma once

#include <QWidget>

class QAbstractButton;

namespace culegere {

// A screen opened from the main screen. It keeps the size it was built with,
// and a close from its frame runs the screen's own close steps; a screen
// created on demand is then destroyed (the next opening creates it anew),
// one that lives for the whole program is only hidden.
class SecondaryScreen : public QWidget
{
    Q_OBJECT

public:
    enum class FrameClose { Destroys, Hides };

    SecondaryScreen(const QString &caption, FrameClose frameClose);

    // Shows the screen in front of the others, with the keyboard's focus.
    void present();
    // Closes the screen as its own "Ok" or "Close" does, when it is shown:
    // hidden first, then its close steps.
    void closeIfShown();

    // The help's page about this screen (F1 opens it): a file of the folder
    // "help", perhaps with a place in it ("vizualizare.html#rezultate").
    QString helpPage() const { return m_helpPage; }

protected:
    // Ends the building of the screen: fixes the window at the size its
    // layout asks for (at least `minimum`) and gives its buttons access keys.
    void finishBuilding(QSize minimum = {});
    // `button` closes the screen as its "Ok" or "Close": the close steps, then
    // the screen is hidden (and kept).
    void closesTheScreen(QAbstractButton *button);
    // The screen's close steps, as its own close button runs them.
    virtual void closeSteps() = 0;
    void setHelpPage(const QString &page) { m_helpPage = page; }

    void closeEvent(QCloseEvent *event) override;

private:
    QString m_helpPage = QStringLiteral("index.html");
};

} // namespace culegere
