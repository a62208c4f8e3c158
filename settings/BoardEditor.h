#pragma once
// TBoardEditor ("板を編集"): edits or adds one board of a site: its name, path or URL, category and
// character set. On OK it checks the fields and settles the board's id and host path; the caller
// builds or changes the TBoard and writes board.dat.
//
// What OK settles depends on the site: a new favorites folder gets the next "fav%.5d" id and the
// path "<favorites>" (its folder file is written with the name); a new local folder gets the next
// "local%.5d" id and the typed folder as its path; a board of a normal or user site takes id and
// path from its URL, refused when another board of the site has that id; any other board keeps its
// own id and path.

#include <QDialog>

class QButtonGroup;
class QComboBox;
class QGroupBox;
class QLabel;
class QLineEdit;
class QPushButton;
class TBoard;
class THeaderFrame;
class TSite;

class TBoardEditor : public QDialog {
    Q_OBJECT
public:
    explicit TBoardEditor(QWidget *parent = nullptr);

    // Binds the site; fills the categories with the site's category names in board order.
    void SetSite(TSite *site);
    // True when an existing board is changed (EditedBoard), false when a board is added.
    bool EditMode = false;
    const TBoard *EditedBoard = nullptr;

    void SetBoardName(const QString &name);
    void SetURL(const QString &url);
    void SetCategoryName(const QString &category);
    // 0 "SJIS", 1 "EUC", 2 "UTF-8"; any other value leaves the choice as it is.
    void SetCharSet(int charSet);
    QString GetBoardName() const;
    QString GetURL() const;
    QString GetCategoryName() const;
    int GetCharSet() const;
    // Settled by OK.
    QString GetBoardID() const { return boardId; }
    QString GetBoardPath() const { return boardPath; }

    // OK: checks the fields, settles id and path and closes with OK; stays open on an error.
    void Button2Click();
    // Chooses the local folder.
    void Button1Click();

    THeaderFrame *HeaderFrame = nullptr;
    QLineEdit *Edit1 = nullptr;       // "板名："
    QLabel *Label2 = nullptr;         // "パス(URL)："
    QLineEdit *Edit2 = nullptr;
    QComboBox *ComboBox1 = nullptr;   // "カテゴリ："
    QGroupBox *grpCharSet = nullptr;  // "文字コード"
    QButtonGroup *CharSetButtons = nullptr;
    QPushButton *Button1 = nullptr;   // "参照(&B)..."
    QPushButton *Button2 = nullptr;   // "&OK"
    QPushButton *Button3 = nullptr;   // "キャンセル(&C)"

private:
    TSite *site = nullptr;
    QString boardId;
    QString boardPath;

    bool FieldsComplete();
    bool Refuse(const QString &text, QWidget *focus);
    bool SettleNewFavoritesFolder();
    bool SettleNewLocalFolder();
    bool SettleFromUrl();
};
