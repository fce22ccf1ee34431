#pragma once

#include "state/folder_messages.h"

#include <QString>

// What the print dialog says to the user.
namespace culegere::printmsg {

inline const QString NoPrinter = QStringLiteral("Nu ati ales imprimanta!....");
inline const QString NoCopies =
    QStringLiteral("Nu ati definit numarul exemplarelor de tiparit!....");
inline const QString NothingToPrint = QStringLiteral("Nu avem nimic de tiparit!...");
inline const QString NoFileName = QStringLiteral("Nu ati definit numele fisierului!...");
inline const QString BadCopies =
    QStringLiteral("Numarul exemplarelor trebuie sa fie un numar intreg intre 1 si 999!...");
inline const QString BadFileName = QStringLiteral(
    "Numele fisierului nu poate contine caracterele \\ / : * ? \" < > | si nici \"..\"!...");
inline const QString BadMargins = QStringLiteral(
    "Marginile trebuie sa fie numere de centimetri, nu negative, care lasa loc pe pagina "
    "pentru antet si probleme!...");
// %1: the file's path.
inline const QString FileNotWritten = QStringLiteral("Fisierul %1 nu a putut fi scris!...");
// %1: the sheet's file, %2: its key's file; neither replaced the old pair.
inline const QString PairNotWritten = QStringLiteral(
    "Foaia %1 si baremul ei %2 nu au putut fi scrise impreuna; fisierele vechi au ramas "
    "neschimbate!...");
// %1: the sheet's file, %2: the key of an earlier sheet of that name.
inline const QString SheetWrittenOldKeyRemoved = QStringLiteral(
    "Foaia a fost scrisa in %1. Baremul %2, facut pentru foaia veche cu acest nume, a fost "
    "sters.");
inline const QString KeyName = QStringLiteral(
    "Numele fisierului nu se poate termina cu \"-barem\": asa se numeste baremul unei "
    "foi!...");
// %1: the problem's place in the test (1 to 9), %2: its picture's file.
inline const QString PictureUnreadable = QStringLiteral(
    "Imaginea problemei %1 a testului (%2) nu poate fi citita: foaia nu a fost facuta!...");
// %1: the problem's place in the sheet, %2: its picture's file, %3: the version.
inline const QString PictureUnreadableInVersion =
    QStringLiteral("Imaginea problemei %1 din varianta %3 a testului (%2) nu poate fi citita: "
                   "foaia nu a fost facuta!...");
// %1: the versions asked for.
inline const QString TooFewForVersions = QStringLiteral(
    "Colectia nu are destule probleme pentru %1 variante fara probleme comune: nu s-a tiparit "
    "nimic!...");
// %1: the versions asked for, %2: the chapter that holds too few problems.
inline const QString ChapterTooSmallForVersions = QStringLiteral(
    "Capitolul %2 nu are destule probleme pentru %1 variante fara probleme comune: nu s-a "
    "tiparit nimic!...");
inline const QString FewerCopiesThanVersions = QStringLiteral(
    "Pentru %1 variante sunt necesare cel putin %1 exemplare, cate unul de fiecare!...");
// %1: the files of the versions; none replaced the old ones.
inline const QString SetNotWritten = QStringLiteral(
    "Fisierele variantelor (%1) nu au putut fi scrise impreuna; fisierele vechi au ramas "
    "neschimbate!...");
// %1: the printer's name.
inline const QString PrinterFailed = QStringLiteral("Imprimanta %1 nu a putut tipari testul!...");
// The folder is another computer's now. %1: that computer's name.
inline QString SheetNotWrittenLockLost(const QString &computer)
{
    return QStringLiteral("Testul nu a fost scris in folderul teste. ") +
           foldermsg::lockLost(computer);
}

} // namespace culegere::printmsg
