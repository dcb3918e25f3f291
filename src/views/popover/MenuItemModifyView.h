#pragma once

#include "model/ModifyType.h"
#include "views/blocks/Binding.h"

#include <QString>
#include <QWidget>
#include <optional>

class PalettesOO;
class QLabel;
class QLineEdit;
class QPushButton;
struct Palette;

// The small form in a grid cell that names a new palette or gives one a new name. Its state
// lives in the popover root view and is reached through bindings.
class MenuItemModifyView : public QWidget {
    Q_OBJECT
public:
    MenuItemModifyView(Binding<QString> newPaletteName, Binding<ModifyType> modifyType,
                       Binding<int> modifyColorIdx, PalettesOO *palettes,
                       QWidget *parent = nullptr);

    QLineEdit *nameField() const { return m_nameField; }
    QPushButton *cancelButton() const { return m_cancelButton; }
    QPushButton *okButton() const { return m_okButton; }
    QLabel *hintLabel() const { return m_hint; }

    // Re-reads the bound values; the owner calls it after changing them.
    void refresh();
    // The owner has just shown the editor: looks the palettes folder up once for the file
    // check and gives the name field the focus with its text selected, ready to be typed over.
    void opened();
    // Why the typed name cannot be confirmed; empty when it can.
    QString refusalReason() const;

    // The two changes the editor makes, also used to undo and redo them. False when nothing
    // changed (the reason is logged).
    static bool renamePalette(PalettesOO *palettes, int index, const QString &name);
    static bool addPalette(PalettesOO *palettes, const Palette &palette);

public slots:
    void ok();
    void cancel();

protected:
    void keyPressEvent(QKeyEvent *event) override;

private:
    void validate();
    bool fileExists(const QString &name) const;

    Binding<QString> m_newPaletteName;
    Binding<ModifyType> m_modifyType;
    Binding<int> m_modifyColorIdx;
    PalettesOO *m_palettes;
    // Palettes folder as found when the editor opened, for the "file exists" check.
    std::optional<QString> m_folder;

    QLineEdit *m_nameField;
    QLabel *m_hint;
    QPushButton *m_cancelButton;
    QPushButton *m_okButton;
};
