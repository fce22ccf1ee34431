// The desktop's save dialog, Platform's default way to ask for a file name.
// It lives with the screens that ask for one: the platform layer has no
// widgets.
#include "platform/platform.h"

#include <QFileDialog>

namespace culegere {

QString Platform::askSaveFileName(QWidget *parent, const QString &title,
                                  const QString &suggestedPath)
{
    // The program's own dialog, in Romanian; whether to replace a file is
    // asked by the screen, once the name is whole (".csv" added).
    QFileDialog dialog(parent, title, suggestedPath, QStringLiteral("Fisiere CSV (*.csv)"));
    dialog.setOption(QFileDialog::DontUseNativeDialog);
    dialog.setOption(QFileDialog::DontConfirmOverwrite);
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    dialog.setFileMode(QFileDialog::AnyFile);
    dialog.setLabelText(QFileDialog::LookIn, QStringLiteral("Cauta in:"));
    dialog.setLabelText(QFileDialog::FileName, QStringLiteral("Numele fisierului:"));
    dialog.setLabelText(QFileDialog::FileType, QStringLiteral("Tipul fisierului:"));
    dialog.setLabelText(QFileDialog::Accept, QStringLiteral("Salveaza"));
    dialog.setLabelText(QFileDialog::Reject, QStringLiteral("Renunta"));
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
        return QString();
    return dialog.selectedFiles().constFirst();
}

} // namespace culegere
