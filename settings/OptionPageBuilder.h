#pragma once
// TPageBuilder: lays out the controls of an option page top-down and registers each with the
// setting it shows (TOptionBindings). A labelled control sits in a row widget with its label, so
// that an enabling rule can switch both with control->parentWidget().

#include "core/Colors.h"

#include <QString>
#include <QStringList>

class QButtonGroup;
class QCheckBox;
class QComboBox;
class QGroupBox;
class QLabel;
class QLayout;
class QLineEdit;
class QPushButton;
class QSpinBox;
class QVBoxLayout;
class QWidget;
class TColorSwatch;
class TOptionBindings;

class TPageBuilder {
public:
    TPageBuilder(QWidget *parent, TOptionBindings &bindings);

    QWidget *Parent() const { return parent; }
    // A group box added to this page; the builder fills it.
    TPageBuilder Group(const QString &title);
    // The same place, but the controls it makes are bound to no setting (the caller handles them;
    // the settings passed are not used).
    TPageBuilder Unbound() const;

    QCheckBox *Check(const QString &caption, bool &setting, bool inverted = false);
    QCheckBox *CheckValue(const QString &caption, int &setting, int checkedValue, int uncheckedValue);
    // A group box titled caption with one radio button per item (ids 0, 1, ...).
    QButtonGroup *Radio(const QString &caption, const QStringList &items, int &setting, int offset = 0);
    QComboBox *List(const QString &caption, const QStringList &items, int &setting);
    QSpinBox *Spin(const QString &caption, int minimum, int maximum, int &setting);
    QLineEdit *Text(const QString &caption, QString &setting);
    TColorSwatch *Color(const QString &caption, TColor &setting);
    QComboBox *Font(const QString &caption, QString &setting, const QString &emptyName = QString());
    QPushButton *Button(const QString &caption);
    QLabel *Label(const QString &text);
    // A row of the caption's label and the control (the control is reparented into the row).
    QWidget *Row(const QString &caption, QWidget *control);
    void Add(QWidget *widget);
    void AddLayout(QLayout *layout);
    void Stretch();

private:
    TPageBuilder(QWidget *parent, QVBoxLayout *layout, TOptionBindings *bindings);

    QWidget *parent;
    QVBoxLayout *layout;
    TOptionBindings *bindings;
};
