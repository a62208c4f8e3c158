#pragma once
// The pieces the registration wizards share: the frame of pages over a row of buttons, and the
// category box filled from a site's boards.

#include <initializer_list>

class QComboBox;
class QString;
class QDialog;
class QPushButton;
class QStackedWidget;
class QWidget;
class TSite;

namespace WizardForm {

// Lays the dialog out: the pages above a row of the buttons, pushed to the right.
void LayOut(QDialog *dialog, QWidget *pages, std::initializer_list<QPushButton *> buttons);
// "< 前へ" is enabled exactly while a page after the first is shown.
void EnableBackAfterFirstPage(QPushButton *back, QStackedWidget *pages);
// Offers each category the site's boards use once and shows the first; no site, no items.
void FillCategories(QComboBox *combo, const TSite *site);
// A field the page needs: when it is not filled the user is told what is missing and the field takes
// the focus. Returns filled.
bool Require(QWidget *field, bool filled, const QString &missing);

}  // namespace WizardForm
