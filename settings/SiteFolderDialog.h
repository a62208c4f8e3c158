#pragma once
// What the dialogs that put threads into a folder of a site (favorites, local folders) share: the
// tree of the site's folders, the title box of the threads, and the OK and キャンセル buttons.

#include <QString>

class QBoxLayout;
class QDialog;
class QHBoxLayout;
class QPushButton;
class QTreeWidget;
class TSite;
class TThreadItemList;

namespace SiteFolderDialog {

// Fills the tree with the site's categories and boards, all expanded; empty without a site.
void FillSiteFolderTree(QTreeWidget *tree, TSite *site);
// The first thread's title, followed by "..." when there are more; empty for no thread.
QString ThreadsTitle(const TThreadItemList &items);
// Adds a row with "OK" and "キャンセル" at its right to the layout; キャンセル rejects the dialog.
// Returns the row, for buttons the dialog puts at its left.
QHBoxLayout *AddOkCancelRow(QDialog *dialog, QBoxLayout *layout, QPushButton *&ok, QPushButton *&cancel);

}  // namespace SiteFolderDialog
