#pragma once

#include "store/store_result.h"

#include <QDateTime>
#include <QString>
#include <QStringList>

namespace culegere {

// Messages of start-up and exit, where the data files are opened and saved.
namespace shellmsg {
inline const QString AlreadyOpen =
    QStringLiteral("Culegerea din acest folder este deja deschisa de un alt program Culegere! "
                   "Inchideti-l mai intai si porniti din nou...");
inline const QString FolderNotWritable =
    QStringLiteral("Nu se poate scrie in folderul culegerii:\n%1\nProgramul nu poate porni...");
// %1: the backup files not copied ("caps.stn, problems.stn").
inline const QString BackupFailed = QStringLiteral(
    "Copia de siguranta nu a putut fi facuta pentru: %1! Copiile vechi din folderul -backup- "
    "au ramas neschimbate. Verificati spatiul liber si dreptul de scriere...");
// %1: the index of the problem.
inline const QString PictureMissing =
    QStringLiteral("Problema cu indexul: %1 nu se mai afla in folderul -probleme-");
// %1: the number of problems, with a blank before it when not negative.
inline const QString IntegrityOk =
    QStringLiteral("Test de integritate reusit!... Culrgerea are un numar de: %1 probleme...");
// %1: the chapter names, joined by ", ".
inline const QString UnknownChapters =
    QStringLiteral("Exista probleme puse in capitole care nu exista in fisierul Caps.stn: %1");
inline const QString IntegrityMismatch =
    QStringLiteral("Exista nepotriviri in baza de date!... Va rugam sa verificati...");
// %1: the folder of the help's pages.
inline const QString HelpMissing = QStringLiteral(
    "Ajutorul nu poate fi deschis: pe acest calculator nu exista un program pentru fisierul "
    "help.chm, iar paginile ajutorului lipsesc din folderul:\n%1");
} // namespace shellmsg

// The message for an application folder `folder` that could not be filled
// from `source`; it says why the program works there when that is because
// its own folder `programFolder` (the source itself) cannot be written.
QString folderNotFilledMessage(const QString &folder, const QString &source,
                               const QString &programFolder);
// The question for a folder locked on another computer, named `computer`
// ("" when the lock names none) at `takenAt`: open it here all the same?
QString lockedElsewhereQuestion(const QString &computer, const QDateTime &takenAt);
// The message for a data file that stops the start-up.
QString startupFailureMessage(const StoreResult &result);
// The message for the data files ("Caps.stn") not opened again after a backup.
QString reopenFailureMessage(const QStringList &fileNames);
// The question at an exit whose folder `computer` has taken over.
QString lockLostAtExitQuestion(const QString &computer);
// The message for a data file that the exit could not save.
QString saveFailureMessage(const StoreResult &result);

} // namespace culegere
