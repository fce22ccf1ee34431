#include "widgets/secondary_screen.h"

#include "widgets/access_keys.h"

#include <QCloseEvent>

namespace culegere {

SecondaryScreen::SecondaryScreen(const QString &objectName, const QString &caption,
                                 FrameClose frameClose)
{
    setObjectName(objectName);
    setWindowTitle(caption);
    if (frameClose == FrameClose::Destroys)
        setAttribute(Qt::WA_DeleteOnClose);
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
