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
    connect(button, &QAbstractButton::clicked, this, [this] {
        closeSteps();
        hide();
    });
}

void SecondaryScreen::finishBuilding(QSize minimum)
{
    setFixedSize(sizeHint().expandedTo(minimum));
    giveAccessKeys(this);
}

void SecondaryScreen::closeEvent(QCloseEvent *event)
{
    // A hidden screen closed by the program has nothing left to do.
    if (isVisible())
        closeSteps();
    event->accept();
}

} // namespace culegere
