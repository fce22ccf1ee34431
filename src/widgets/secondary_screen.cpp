#include "widgets/secondary_screen.h"

#include "widgets/access_keys.h"

#include <QAbstractButton>
#include <QCloseEvent>

namespace culegere {

SecondaryScreen::SecondaryScreen(const QString &caption, FrameClose frameClose)
{
    setWindowTitle(caption);
    if (frameClose == FrameClose::Destroys)
        setAttribute(Qt::WA_DeleteOnClose);
}

void SecondaryScreen::present()
{
    show();
    raise();
    activateWindow();
}

void SecondaryScreen::closesTheScreen(QAbstractButton *button)
{
    connect(button, &QAbstractButton::clicked, this, &SecondaryScreen::closeIfShown);
}

void SecondaryScreen::closeIfShown()
{
    // A key's late click may come when the screen is already closed.
    if (!isVisible())
        return;
    hide();
    closeSteps();
}

void SecondaryScreen::finishBuilding(QSize minimum)
{
    setFixedSize(sizeHint().expandedTo(minimum));
    giveAccessKeys(this);
}

void SecondaryScreen::closeEvent(QCloseEvent *event)
{
    // A hidden screen closed by the program has nothing left to do.
    closeIfShown();
    event->accept();
}

} // namespace culegere
