#pragma once

#include "model/ColorEdit.h"
#include "model/ColorValue.h"
#include "model/ModifyType.h"
#include "model/Palette.h"
#include "store/Manager.h"
#include "views/blocks/Binding.h"

#include <QPointer>
#include <QWidget>
#include <functional>
#include <optional>

#include <QColorDialog>
class QBoxLayout;
class QLineEdit;
class QToolButton;

// The small form that changes or adds one colour: a name, a colour well and Cancel / Ok. It
// keeps no copy of its own; typing and picking go straight to the section's working values and
// only "Ok" touches the palette.
class PaletteModifyColorView : public QWidget {
    Q_OBJECT
public:
    // Makes a colour edit and saves it; the palette window's goes through the store's
    // change check.
    using Editor = std::function<Manager::EditResult(const ColorEdit &)>;
    // Applies an edit to the bound palette and saves it as it then stands.
    static Editor bindingEditor(Binding<Palette> palette);

    PaletteModifyColorView(Binding<Palette> palette, Binding<ModifyType> modifyType,
                           Binding<int> modifyColorIdx, Binding<QString> modifyColorName,
                           Binding<ColorValue> modifyColorColor, Editor edit = {},
                           QWidget *parent = nullptr);

    // The colour as it was when the edit began: "Ok" changes that colour wherever it is now,
    // and nothing when it is gone.
    void setOriginal(const PaletteColor &color) { m_original = color; }

    void applyColorChange();
    void cancelColorChange();

    // Shows the working values again after they changed elsewhere.
    void refresh();
    void focusName();

    QLineEdit *nameField() const { return m_name; }
    QToolButton *colorWell() const { return m_well; }
    // The colour as text: "#RRGGBB", or "#RRGGBBAA" when not opaque; takes any colour text.
    QLineEdit *colorTextField() const { return m_text; }
    bool isColorTextValid() const { return m_textValid; }
    static QString colorText(const ColorValue &color);
    QToolButton *cancelButton() const { return m_cancel; }
    QToolButton *okButton() const { return m_ok; }
    // The open colour picker, if any.
    QColorDialog *colorDialog() const { return m_dialog; }
    // The window around the picker: it scrolls when the screen is too small for the picker.
    QWidget *colorDialogWindow() const { return m_dialogWindow; }
    void openColorDialog();
    // Lays the editor out for a cell narrower than its usual width: rows stack, and the
    // editor grows taller instead of wider.
    void setNarrow(bool narrow);
    // The width the editor needs with its rows side by side.
    int wideWidth() const;

protected:
    void keyPressEvent(QKeyEvent *event) override;

private:
    void pickColor(const QColor &color);
    void closeColorDialog();
    void placeColorDialog();
    void showWell();
    void colorTextEdited(const QString &text);
    void showColorText(const ColorValue &color);
    void setColorTextValid(bool valid);

    Binding<Palette> palette;
    Binding<ModifyType> modifyType;
    Binding<int> modifyColorIdx;
    Binding<QString> modifyColorName;
    Binding<ColorValue> modifyColorColor;
    Editor m_edit;
    std::optional<PaletteColor> m_original;

    QLineEdit *m_name;
    QToolButton *m_well;
    QLineEdit *m_text;
    // The colour the text field shows, and the one it showed before the user typed: typing
    // that colour's text back keeps it bit for bit.
    ColorValue m_textColor;
    ColorValue m_untouchedColor;
    bool m_textValid = true;
    QToolButton *m_cancel;
    QToolButton *m_ok;
    QPointer<QColorDialog> m_dialog;
    QPointer<QWidget> m_dialogWindow;
    QBoxLayout *m_colorRow = nullptr;
    QBoxLayout *m_buttonRow = nullptr;
};
