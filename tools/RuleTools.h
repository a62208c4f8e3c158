#pragma once
// Binds the main window's command of the rule editor: the rule list window (actToolAction, kept
// while the main window lives).

class TWindowServices;

namespace RuleTools {

void Bind(TWindowServices &window);

}  // namespace RuleTools
