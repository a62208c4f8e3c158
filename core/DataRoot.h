#pragma once
// The program folder (data root) and its seeding.
//
// The program folder holds what the program ships (def/ with the seeds of every user file,
// resource/ with pictures, config/ with the board types), zevovuv.ini and the profiles under
// users/. It is $VARNELO_HOME when set, else the XDG data folder (~/.local/share/varnelo).
// At start the shipped folders are copied into it, file by file, only where a file is missing:
// nothing the user has is ever overwritten.

#include <QString>

namespace DataRoot {

// The program folder, with a trailing "/".
QString AppDir();

// The folder holding the shipped def/, resource/ and config/, with a trailing "/".
QString ShipDir();

// Copies every file of shipDir's def/, resource/ and config/ that appDir lacks. Returns the
// number of files copied; a file that cannot be copied is skipped (reported to the debug output).
int Seed(const QString &shipDir = ShipDir(), const QString &appDir = AppDir());

// Copies source to target when target does not exist, atomically, never overwriting.
// True when target exists afterwards.
bool CopyIfMissing(const QString &source, const QString &target);

}  // namespace DataRoot
