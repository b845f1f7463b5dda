#pragma once
// " Dieses Programm auf der Festplatte einrichten.": makes a directory the
// program's home (the current one, or another that is created and gets the
// program's files), writes pavuto.cmd, pavutoPfadAnpassen.cmd and the
// built-in pavuto.config there, puts a shortcut on the desktop and, when it
// was made, starts the program again from its new home.

namespace pavuto {

struct Program;

// The dialogue. False when a failure ended it and the browser is to show
// the list again (the options menu is left); true otherwise.
bool Install(Program& p);

// "Einstellungen laden" and "l": while pavuto.config is missing the program
// is installed first; then a configuration section is chosen.
void InstallThenChooseConfiguration(Program& p);

}  // namespace pavuto
