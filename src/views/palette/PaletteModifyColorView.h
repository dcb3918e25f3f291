#pragma once

#include "model/ColorValue.h"
#include "model/ModifyType.h"
#include "model/Palette.h"
#include "views/blocks/Binding.h"

#include <QPointer>
#include <QWidget>
#include <functional>

#include <QColorDialog>
class QLineEdit;
class QToolButton;

// The small form that changes or adds one colour: a name, a colour well and Cancel / Ok. It
// keeps no copy of its own; typing and picking go straight to the section's working values and
// only "Ok" touches the palette.
class PaletteModifyColorView : public QWidget {
    Q_OBJECT
public:
    using Saver = std::function<void(const Palette &)>;

    PaletteModifyColorView(Binding<Palette> palette, Binding<ModifyType> modifyType,
                           Binding<int> modifyColorIdx, Binding<QString> modifyColorName,
                           Binding<ColorValue> modifyColorColor, Saver save = {},
                           QWidget *parent = nullptr);

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
    void openColorDialog();

protected:
    void keyPressEvent(QKeyEvent *event) override;

private:
    void pickColor(const QColor &color);
    void showWell();
    void colorTextEdited(const QString &text);
    void showColorText(const ColorValue &color);
    void setColorTextValid(bool valid);
    void placeColorDialog();

    Binding<Palette> palette;
    Binding<ModifyType> modifyType;
    Binding<int> modifyColorIdx;
    Binding<QString> modifyColorName;
    Binding<ColorValue> modifyColorColor;
    Saver m_save;

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
};
