#pragma once
// The pages of the memo window, without the window.
//
// TMemoData is one page: its text lives in the profile's memo/<ID>.txt (Shift_JIS, CR LF).
// TMemoBook is the set of pages in tab order, kept in memo/memo.ini: [MEMO] COUNT and, per page n,
// MEMOn (name), IDn (file base name), TOPINDEXn, SELSTARTn, SELLENn; [LIST] USED is the highest page
// number handed out, so numbers are never reused. Every file is written atomically.

#include "core/IniFile.h"
#include "core/TextList.h"

#include <QList>
#include <QString>
#include <memory>
#include <vector>

class TMemoData {
public:
    TMemoData(QString folder, QString id, QString name) : ID(std::move(id)), Name(std::move(name)), folder(std::move(folder)) {}

    int TopIndex = 0;
    QString ID;       // "mem" and five digits
    QString Name;
    TTextList Lines;
    int SelStart = 0;
    int SelLen = 0;

    QString FileName() const { return folder + ID + QStringLiteral(".txt"); }
    void Save() const;        // raises EFileError
    void DeleteFile() const;

private:
    QString folder;
};

class TMemoBook {
public:
    // profileDir and appDir end with "/"; the default pages come from appDir + "def/memo/".
    TMemoBook(const QString &profileDir, const QString &appDir);

    // Reads memo.ini and every page; a profile without pages gets the page "メモその１".
    // A memo.ini that cannot be read is left as it is; one without its page list, or with a page
    // whose ID is missing or another page's, is kept as memo.ini.damaged (such pages get new
    // numbers of their own). Either is told in OpenMessage.
    void Open();
    const QString &OpenMessage() const { return openMessage; }
    // Writes the [MEMO] section in tab order (the pages' own text is saved by the caller).
    void Close();

    int Count() const { return int(pages.size()); }
    TMemoData *Page(int index) const { return pages.at(index).get(); }
    // A new empty page at the end, with the next unused number whose file does not exist
    // (memo.ini is written at once; raises EFileError when it cannot be).
    TMemoData *AddPage(const QString &name);
    // Deletes the page's file and the page.
    void DeletePage(int index);

    QString Folder() const { return folder; }
    QString IniFileName() const { return folder + QStringLiteral("memo.ini"); }

private:
    QString folder;
    QString defaults;
    TIniFile ini;
    std::vector<std::unique_ptr<TMemoData>> pages;
    QString openMessage;

    void KeepDamagedIni();
    bool HasPage(const QString &id) const;
    static bool IsUsableID(const QString &id);
    void GiveOwnFiles(const QList<int> &unnamed);
    QString NextID();
    void WriteIndex();
};
