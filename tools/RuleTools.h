#pragma once
// Binds the main window's command of the rule editor: the rule list window (actToolAction, kept
// while the main window lives).

class TRuleServices;
class TTabServices;
class TWindowFrameServices;

namespace RuleTools {

void Bind(TWindowFrameServices &frame, TTabServices &tabs, TRuleServices &rules);

}  // namespace RuleTools
