#pragma once
// TSkinDialog ("スキンの設定"): which skin renders which view. The default skin, the skins of the
// four special views (page "その他"), and per site and per board (page "板別"). Each "･･" or a
// board's "スキンの変更(&E)..." opens TSkinDialog2 for that section; removing an assignment
// erases its section from skin.ini at once.

#include <QDialog>
#include <QMap>

class QLineEdit;
class QListWidget;
class QTreeWidget;
class TSite;
class TSkinAssignments;

class TSkinDialog : public QDialog {
    Q_OBJECT
public:
    TSkinDialog(TSkinAssignments &skins, QWidget *parent = nullptr);

    QLineEdit *DefaultEdit;
    QMap<QString, QLineEdit *> SpecialEdits;   // by section
    QListWidget *SiteList;
    QLineEdit *SiteEdit;
    QTreeWidget *BoardList;   // "BBS", "カテゴリ", "板", "スキン"

    // Opens TSkinDialog2 for a section and shows the chosen skin's name in the text.
    void ChangeSkin(const QString &section, QLineEdit *edit);
    // The board row's skin ("スキンの変更(&E)...") and its removal ("設定の削除(&D)").
    void ChangeBoardSkin();
    void DeleteBoardSkin();
    // The Delete key in a special view's text or the site's text.
    void DeleteSection(const QString &section, QLineEdit *edit);

private:
    TSkinAssignments &skins;
    QList<TSite *> sites;

    QWidget *SkinRow(const QString &label, const QString &section, QLineEdit *&edit, bool deletable);
    void SiteListChange();
    TSite *CurrentSite() const;
    QString SiteSection() const;
    bool eventFilter(QObject *watched, QEvent *event) override;
};
