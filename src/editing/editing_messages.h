#pragma once

#include <QString>

// What the chapters screen and the problem editor say to the user.
namespace culegere::editmsg {

inline const QString NoCategoryName = QStringLiteral("Nu ati definit numele Categoriei...");
inline const QString CategoryExists = QStringLiteral("Categoria aceasta exista deja!");
inline const QString TooManyCategories =
    QStringLiteral("Culegerea are deja 49 de capitole/categorii! Nu se mai pot adauga altele...");
inline const QString CategoryHasProblems = QStringLiteral(
    "Nu puteti sterge un capitol/categorie din care n-ati sters toate problemele!...");
inline const QString NoTitleSelected = QStringLiteral("Nu ati selectat nici un titlu...");
inline const QString NoNewName = QStringLiteral("Nu ati dat definit noul nume");

inline const QString AskIndex = QStringLiteral("Introduceti un index de problema");
inline const QString NoSuchProblem = QStringLiteral("Nu exista aceasta problema");
inline const QString PictureMissing = QStringLiteral(
    "Imaginea acestei probleme lipseste din folderul -probleme-! Puteti schimba capitolul si "
    "varianta corecta, sau puteti sterge problema...");
inline const QString Incomplete = QStringLiteral("Nu ati setat complet problema");
inline const QString CatalogueFull =
    QStringLiteral("Culegerea are deja 6999 de probleme! Nu se mai pot adauga altele...");
inline const QString Saved = QStringLiteral("Problema a fost setata cu succes....");
inline const QString NothingToDelete = QStringLiteral("Nu aveti nimic de sters");
inline const QString Deleted = QStringLiteral("Problema a fost stearsa cu succes!");
inline const QString CountPrefix = QStringLiteral("Numar total probleme:  ");

} // namespace culegere::editmsg
