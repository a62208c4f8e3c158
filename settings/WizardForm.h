#pragma once
// The pieces the registration wizards share: the frame of pages over a row of buttons, and the
// category box filled from a site's boards.

#include <initializer_list>

class QComboBox;
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
// Offers each category the site's boards use once and leaves the text empty; no site, no items.
void FillCategories(QComboBox *combo, const TSite *site);

}  // namespace WizardForm
