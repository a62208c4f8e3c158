#include "controls/RuleLists.h"

#include "controls/WindowLists.h"
#include "core/Exceptions.h"
#include "core/TavuActionList.h"
#include "services/EventLog.h"

TRuleLists::TRuleLists()
    : resRules(std::make_unique<TTavuActionList>()), threadRules(std::make_unique<TTavuActionList>())
{
}

TRuleLists::~TRuleLists() = default;

void TRuleLists::SaveResRules()
{
    try {
        resRules->SaveToFile(ResRulesFile());
    } catch (const EVarnelo &e) {
        EventLog::AddLog(e.Message);
    }
}

QString TRuleLists::ResRulesFile() const
{
    return TWindowLists::ResRulesFile();
}

QString TRuleLists::ThreadRulesFile() const
{
    return TWindowLists::ThreadRulesFile();
}

void TRuleLists::Release()
{
    resRules.reset();
    threadRules.reset();
}
