#pragma once

#include "archive/result_archive.h"

#include <QString>

// What is told of the results archive.
namespace culegere::archivemsg {

// %1: why.
inline const QString NotWritten = QStringLiteral(
    "Arhiva rezultatelor nu a putut fi scrisa: %1\nRezultatul testului este salvat in "
    "Users.stn si va fi adaugat in arhiva la urmatorul test corectat sau cand deschideti "
    "arhiva...");
// %1: why.
inline const QString NotOpened = QStringLiteral("Arhiva rezultatelor nu a putut fi deschisa: %1");
// %1: the name the damaged file was given.
inline const QString SetAside = QStringLiteral(
    "Arhiva rezultatelor era deteriorata! A fost pastrata sub numele %1 si a fost inceputa o "
    "arhiva noua...");
inline const QString NoDriver =
    QStringLiteral("lipseste driverul SQLite al programului (pachetul libqt6sql6-sqlite)");
inline const QString TooNew =
    QStringLiteral("a fost facuta de o versiune mai noua a programului si a ramas neschimbata");
inline const QString NotRenamed = QStringLiteral(
    "fisierul este deteriorat si nu a putut fi redenumit. Verificati dreptul de scriere in "
    "folderul culegerii.");
// %1: the number of tests.
inline const QString CheckOk =
    QStringLiteral("Arhiva rezultatelor este in regula: %1 teste arhivate.");
inline const QString CheckUnreadable = QStringLiteral(
    "Arhiva rezultatelor nu a putut fi citita: discul nu raspunde. Verificati discul sau "
    "stick-ul culegerii...");
inline const QString CheckAbsent =
    QStringLiteral("Arhiva rezultatelor nu exista inca: nu a fost arhivat niciun test.");
// %1: why.
inline const QString CheckFailed = QStringLiteral("Arhiva rezultatelor este deteriorata: %1");

// A read that did not go through to its end. %1: why.
inline const QString NotRead = QStringLiteral(
    "Arhiva rezultatelor nu a putut fi citita pana la capat, de aceea nu este aratata: %1\n"
    "Deschideti arhiva din nou dupa ce ati verificat discul.");

// Why, in words, for `result`.
QString reason(const ArchiveResult &result);

// The results archive's failures: what happened and what to do, in words;
// the database's own words only as a last line.
// %1: why.
inline const QString NotCaughtUp = QStringLiteral(
    "Rezultatele din Users.stn care lipsesc din arhiva nu au putut fi adaugate in ea: %1\n"
    "Arhiva este aratata asa cum este; rezultatele vor fi adaugate la urmatorul test corectat...");
inline const QString ReadOnly = QStringLiteral(
    "fisierul arhivei sau folderul culegerii nu poate fi scris. Verificati ca stick-ul nu este "
    "protejat la scriere si ca aveti drept de scriere in folderul culegerii.");
inline const QString DiskFull =
    QStringLiteral("discul este plin. Faceti loc pe disc, apoi continuati.");
inline const QString DiskError = QStringLiteral(
    "discul nu a putut fi citit sau scris. Verificati discul sau stick-ul culegerii.");
inline const QString CannotOpenFile = QStringLiteral(
    "fisierul arhivei nu poate fi deschis. Verificati ca discul sau stick-ul culegerii este "
    "conectat.");
inline const QString InUse =
    QStringLiteral("arhiva este folosita chiar acum de alt program. Inchideti celalalt program.");
inline const QString DamagedFile = QStringLiteral(
    "o parte din fisier nu mai poate fi citita. Pastrati fisierul Arhiva.sqlite si copia lui "
    "din folderul -backup-.");
inline const QString Unexpected = QStringLiteral("baza de date a raspuns cu o eroare neasteptata.");
// %1: the database's own words.
inline const QString Details = QStringLiteral("Detalii: %1");
// `text` with the reason for %1 and the database's words as a last line.
QString failure(const QString &text, const ArchiveResult &result);
inline const QString BackupDamaged = QStringLiteral(
    "Arhiva rezultatelor (Arhiva.sqlite) este deteriorata, de aceea nu a fost copiata. Copia "
    "ei anterioara, backup/arhiva.sqlite, a ramas neschimbata: pastrati-o...");
// %1: why.
inline const QString BackupNotCopied = QStringLiteral(
    "Arhiva rezultatelor nu a putut fi copiata in folderul -backup-: %1\nCopia ei anterioara, "
    "backup/arhiva.sqlite, a ramas neschimbata...");
inline const QString BackupNotPlaced = QStringLiteral(
    "folderul -backup- nu poate fi scris. Verificati spatiul liber si dreptul de scriere.");

} // namespace culegere::archivemsg
