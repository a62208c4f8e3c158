#pragma once
// TRuleLists: the main window's two rule lists, the response rules (ngres.txt) and the thread rules
// (ngthread.txt), with their files in the profile. It is what the units ask for as the rules
// (TRuleServices, controls/WindowServices.h): the start-up reads the lists, the rule editor and
// the poster-ID menu change them, the shutdown writes them, and the window frees them when it goes.

#include "controls/WindowServices.h"

#include <memory>

class TRuleLists : public TRuleServices {
public:
    TRuleLists();
    ~TRuleLists() override;

    TTavuActionList *ResRules() const override { return resRules.get(); }
    TTavuActionList *ThreadRules() const override { return threadRules.get(); }
    // Writes the response rules to ngres.txt (a failure is reported in the log pane).
    void SaveResRules() override;
    QString ResRulesFile() const override;
    QString ThreadRulesFile() const override;
    // Frees both lists (the window is going); the units are handed nullptr afterwards.
    void Release();

private:
    std::unique_ptr<TTavuActionList> resRules;
    std::unique_ptr<TTavuActionList> threadRules;
};
