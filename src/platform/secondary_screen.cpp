#include "platform/secondary_screen.h"

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

void SecondaryScreen::keepSize(QSize minimum)
{
    setFixedSize(sizeHint().expandedTo(minimum));
}

void SecondaryScreen::closeEvent(QCloseEvent *event)
{
    // A hidden screen closed by the program has nothing left to do.
    if (isVisible())
        closeSteps();
    event->accept();
}

} // namespace culegere
