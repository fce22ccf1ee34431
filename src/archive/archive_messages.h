#pragma once

#include "archive/result_archive.h"

#include <QString>

// What is told of the results archive.
namespace culegere::archivemsg {

// %1: why.
inline const QString NotWritten = QStringLiteral(
    "Arhiva rezultatelor nu a putut fi scrisa: %1\nRezultatul testului a fost salvat in "
    "Users.stn. Programul va incerca din nou la urmatorul rezultat...");
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
inline const QString NotRenamed =
    QStringLiteral("fisierul este deteriorat si nu a putut fi redenumit");
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

// Why, in words, for `result`.
QString reason(const ArchiveResult &result);

} // namespace culegere::archivemsg
