#pragma once
// TResIDCommands: the menu of a poster ID (ResIDPopup), opened by a click on an ID link of a thread
// tab. Its five commands act on the responses of the current thread tab whose ID is the clicked
// one (TTavuBrowser::ClickedID): a tab of them alone, erasing them, and three rules of one day on
// the ID (notice, bold, hide) added to the response rules of ngres.txt.

#include <QObject>
#include <QString>

class QMenu;
class TRes;
class TTavuBrowser;
class TWindowServices;

class TResIDCommands : public QObject {
    Q_OBJECT
public:
    TResIDCommands(TWindowServices &services, QObject *parent = nullptr);

    QMenu *ResIDPopup = nullptr;

    // "この ID のレスのみを抽出"
    void ExtractIDClick();
    // "この ID のレスを消去": the number of responses newly erased.
    int EraseIDClick();
    // The rules of one day on the ID: notice (TTavuAction::POPUP), bold (RESMARK) and hide (ABONE,
    // which also erases the ID's responses).
    void AddIDRuleClick(int action);

private:
    TWindowServices &services;

    // The current thread tab and its clicked ID; nullptr when the tab shows no thread or no ID
    // was clicked.
    TTavuBrowser *IDTab(QString &id) const;
};
