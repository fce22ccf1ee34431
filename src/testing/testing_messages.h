#pragma once

#include "state/folder_messages.h"

#include <QString>

// What the test screens say to the user.
namespace culegere::testmsg {

inline const QString ChapterNotDefined = QStringLiteral("Nu ati definit corect capitolul!");
inline const QString WholeCollectionSet = QStringLiteral(
    "Ati ales test din toata culegerea! Apasati Ok pentru revenire in ecranul de testare...");
inline const QString TotalNotNine = QStringLiteral(
    "Testul dumneavoastra nu este setat corect - numarul total de probleme trebuie sa fie 9");
inline const QString TestSet = QStringLiteral("Testul a fost setat cu succes! Have fun!!!");
inline const QString NotAllAnswered = QStringLiteral("Nu ati rezolvat tot testul");
inline const QString AskName = QStringLiteral("Introduceti numele (nu mai mult de 30 caractere)");
inline const QString TooFewProblems = QStringLiteral(
    "Culegerea nu are destule probleme pentru un test! Sunt necesare cel putin 9 probleme "
    "in afara capitolelor rezervate (Benzi de completare)...");
// %1: the chapter's name.
inline const QString ChapterTooSmall = QStringLiteral(
    "Capitolul %1 are acum mai putine probleme decat cere testul! Definiti testul din nou...");
inline const QString NotDefined = QStringLiteral(
    "Testul nu este definit corect! Apasati \"Defineste Test\" si definiti-l din nou...");
// %1: the data file's name.
inline const QString ResultNotSaved = QStringLiteral(
    "Rezultatul nu a putut fi salvat in fisierul %1! Nota ramane afisata. Verificati spatiul "
    "liber si dreptul de scriere, apoi apasati din nou \"Corecteaza test\"...");
using foldermsg::lockLost;
// %1: the computer that holds the folder now.
inline QString ResultNotSavedLockLost(const QString &computer)
{
    return QStringLiteral("Rezultatul nu a fost salvat. ") + lockLost(computer);
}
// %1: the data file's name.
inline const QString ResultStoredNotReopened = QStringLiteral(
    "Rezultatul a fost salvat in fisierul %1, dar fisierul nu a mai putut fi deschis dupa "
    "scriere! Programul va incerca din nou la urmatorul rezultat. Verificati dreptul de "
    "scriere in folderul culegerii...");

// Asked with Da/Nu before "Reset" gives up a result that could not be written.
inline const QString ResultWillBeLost = QStringLiteral(
    "Rezultatul acestui test nu a fost salvat si se va pierde! Incheiati testul fara "
    "rezultat?");

} // namespace culegere::testmsg
