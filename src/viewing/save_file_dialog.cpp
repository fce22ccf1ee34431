// The desktop's save dialog, Platform's default way to ask for a file name.
// It lives with the screens that ask for one: the platform layer has no
// widgets.
#include "platform/platform.h"

#include <QFileDialog>

namespace culegere {

QString Platform::askSaveFileName(QWidget *parent, const QString &title,
                                  const QString &suggestedPath)
{
    return QFileDialog::getSaveFileName(parent, title, suggestedPath,
                                        QStringLiteral("Fisiere CSV (*.csv)"));
}

} // namespace culegere
