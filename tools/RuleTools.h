#pragma once
// Binds the main window's commands of the rule editor and of the filtering dialogs: the rule list
// window (actToolAction, kept while the main window lives) and the thread-list filter dialog.

class TVarneloWindow;

namespace RuleTools {

void Bind(TVarneloWindow &window);

}  // namespace RuleTools
