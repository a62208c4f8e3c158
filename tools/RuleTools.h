#pragma once
// Binds the main window's command of the rule editor: the rule list window (actToolAction, kept
// while the main window lives).

class TVarneloWindow;

namespace RuleTools {

void Bind(TVarneloWindow &window);

}  // namespace RuleTools
