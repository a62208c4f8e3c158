#pragma once
// The control kinds of the option pages and the binding of each control to its setting.
//
// TColorSwatch: a colour swatch with a "･･" button that opens the colour dialog preset to the
// swatch's colour; confirming it sets the swatch.
//
// TOptionBindings: every control of the option pages that shows one setting of the configuration
// is registered once with the setting it shows; LoadAll fills the controls from the settings when
// the dialog opens and StoreAll writes them back on OK.
//   check box        checked <=> the boolean setting (or its inverse)
//   radio group      the checked button's id is the setting minus an offset; a setting no button
//                    has checks none, and with none checked the setting is left as it is
//   list             the item index is the setting
//   spin edit        the setting, within the edit's range
//   text             the setting's text
//   colour swatch    the setting's colour
//   font list        the configured name is selected when it is in the list; a name that is not
//                    (a font not installed here) is kept as it is unless another entry is chosen

#include "core/Colors.h"

#include <QFrame>
#include <QString>
#include <functional>
#include <vector>

class QAbstractButton;
class QButtonGroup;
class QCheckBox;
class QComboBox;
class QLineEdit;
class QSpinBox;
class QToolButton;

class TColorSwatch : public QWidget {
    Q_OBJECT
public:
    explicit TColorSwatch(QWidget *parent = nullptr);
    TColor Color() const { return color; }
    void SetColor(TColor value);
    // Opens the colour dialog (through Dialogs::ExecDialog); a confirmed choice sets the swatch.
    void Choose();

    QFrame *Swatch = nullptr;
    QToolButton *ChooseButton = nullptr;   // "･･"

signals:
    void ColorChanged();

private:
    TColor color = clWindow;
};

// The screen's font names, for the font lists of the pages.
void FillFontList(QComboBox *list);
// Makes the name the list's font name and shows its entry, or, for a font that is not installed,
// the entry of the font used in its place; false in that case. The name stays the list's font
// name until another entry is chosen.
bool SelectFont(QComboBox *list, const QString &name);
QString FontNameOf(const QComboBox *list);
// Checks the button of the id in the group, or none when no button has it.
void CheckRadio(QButtonGroup *group, int id);

class TOptionBindings {
public:
    // A control that needs its own handling: load runs when the dialog opens, store on OK.
    void Add(std::function<void()> load, std::function<void()> store);

    void Check(QCheckBox *box, bool &setting, bool inverted = false);
    // checked <=> the setting equals checkedValue; OK stores checkedValue or uncheckedValue.
    void CheckValue(QCheckBox *box, int &setting, int checkedValue, int uncheckedValue);
    void Radio(QButtonGroup *group, int &setting, int offset = 0);
    void List(QComboBox *list, int &setting);
    void Spin(QSpinBox *spin, int &setting);
    void Text(QLineEdit *edit, QString &setting);
    void Color(TColorSwatch *swatch, TColor &setting);
    // emptyName: the entry shown while the setting is empty.
    void Font(QComboBox *list, QString &setting, const QString &emptyName = QString());

    void LoadAll() const;
    void StoreAll() const;

private:
    struct TBinding {
        std::function<void()> Load;
        std::function<void()> Store;
    };
    std::vector<TBinding> bindings;
};
