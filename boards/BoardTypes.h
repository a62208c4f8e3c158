#pragma once
// The handlers of the board types. Install registers the factory with the registry (before its
// CreateBBSList), which then makes each type through the maker of its id; a built-in type without a
// maker stays a plain TBBS holding its bbs.ini, and a type the user defines (config/bbslist.ini)
// is read through its board scripts (TRuroScript). Other board modules add their makers with AddMaker.

#include <QString>

#include <functional>

class TBBS;
class TTavuEnviron;

namespace BoardTypes {

using Maker = std::function<TBBS *(const QString &id, const QString &folder)>;

// Adds or replaces the maker of a type id (compared ignoring case).
void AddMaker(const QString &id, Maker maker);
// The handler of a type id; nullptr for a built-in type that no maker knows.
TBBS *Make(const QString &id, const QString &folder);
void Install(TTavuEnviron *environ);

}  // namespace BoardTypes
