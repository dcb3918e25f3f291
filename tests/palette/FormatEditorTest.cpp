#include "StdoutCapture.h"
#include "TestSupport.h"

#include "settings/CopyFormats.h"
#include "settings/Settings.h"
#include "views/palette/FormatEditor.h"
#include "views/palette/PaletteColorGridView.h"
#include "views/palette/PaletteView.h"

#include <QApplication>
#include <QClipboard>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMimeData>
#include <QSettings>
#include <QTreeWidget>

namespace {

const Palette kPalette{QStringLiteral("Tools"),
                       {{QStringLiteral("Orange"), {1.0, 0.5, 0.0, 0.5}},
                        {QStringLiteral("Ink"), {0.2, 0.4, 0.6, std::nullopt}}}};

QStringList storedOnDisk() {
    Settings::sync();
    QSettings raw(Settings::fileName(), QSettings::IniFormat);
    return raw.value(QLatin1String(SettingsKeys::userFormats)).toStringList();
}

QStringList rows(const QTreeWidget *list, int column) {
    QStringList out;
    for (int i = 0; i < list->topLevelItemCount(); ++i)
        out << list->topLevelItem(i)->text(column);
    return out;
}

} // namespace

class FormatEditorTest : public QObject {
    Q_OBJECT

private slots:
    void init() { CopyFormats::setUserFormats({}); }

    // Add, change, reorder and remove, each stored at once and shown in an open picker.
    void editsAreStoredAtOnceAndPickersFollow() {
        PaletteView view(Binding<Palette>::constant(kPalette), 4, 50, 5, 0, ModifyType::None, -1,
                         {}, {}, false);
        view.show();
        FormatEditor editor(kPalette.palColors.first().colColor);

        // A ready-made template in one click, previewed on the first colour.
        QListWidget *ready = editor.readyList();
        QCOMPARE(ready->count(), 7);
        QListWidgetItem *android = ready->item(3);
        emit ready->itemClicked(android);
        QCOMPARE(storedOnDisk(), QStringList({"#§{ahex}§hex"}));
        QCOMPARE(rows(editor.list(), 1), QStringList({"#7FFF7F00"}));
        QCOMPARE(view.formatPicker()->count(), 9);
        QCOMPARE(view.formatPicker()->itemText(6), QStringLiteral("#{ahex}hex"));
        QCOMPARE(view.formatPicker()->itemText(8), QStringLiteral("Edit formats…"));

        // The field previews as it is typed.
        editor.field()->setText(QStringLiteral("hsl(§{h} §{s}% §{l}%)"));
        QCOMPARE(editor.preview()->text(), QStringLiteral("hsl(30 100% 50%)"));
        editor.addTemplate(editor.field()->text());
        editor.addTemplate(QStringLiteral("QColor(§r, §g, §b)"));
        QCOMPARE(rows(editor.list(), 1),
                 QStringList({"#7FFF7F00", "hsl(30 100% 50%)", "QColor(255, 127, 0)"}));

        editor.changeTemplate(1, QStringLiteral("§{okl}"));
        editor.moveTemplate(2, -2);
        QCOMPARE(storedOnDisk(), QStringList({"QColor(§r, §g, §b)", "#§{ahex}§hex", "§{okl}"}));
        editor.moveTemplate(0, -1); // nowhere to go
        editor.changeTemplate(5, QStringLiteral("x"));
        editor.changeTemplate(0, QString());
        QCOMPARE(CopyFormats::userFormats(),
                 QStringList({"QColor(§r, §g, §b)", "#§{ahex}§hex", "§{okl}"}));

        // The palette copies with the chosen user template.
        view.storeFormatIdx(8);
        QCOMPARE(view.selectedFormatIdxValue(), 8);
        QStringList lines = capturedLines([&] { view.grid()->copyColor(1); });
        QCOMPARE(lines, QStringList({"Copied: 0.499"}));

        // Removing it: the stored index stays past the end; the last entry shows and copies.
        editor.removeTemplate(2);
        QCOMPARE(view.selectedFormatIdxValue(), 7);
        QCOMPARE(view.formatPicker()->currentText(), QStringLiteral("#{ahex}hex"));
        QCOMPARE(Settings::integer(SettingsKeys::formatIdxKey(kPalette.palName)), 8);
        lines = capturedLines([&] { view.grid()->copyColor(0); });
        QCOMPARE(lines, QStringList({"Copied: #7FFF7F00"}));
    }

    void editEntryOpensTheEditorAndKeepsTheFormat() {
        PaletteView view(Binding<Palette>::constant(kPalette), 4, 50, 5, 0, ModifyType::None, -1,
                         {}, {}, false);
        view.show();
        view.storeFormatIdx(3);
        QComboBox *picker = view.formatPicker();
        const int edit = picker->count() - 1;
        picker->setCurrentIndex(edit);
        emit picker->activated(edit);
        QCOMPARE(view.selectedFormatIdxValue(), 3);
        QCOMPARE(picker->currentIndex(), 3);
        FormatEditor *editor = nullptr;
        for (QWidget *w : QApplication::topLevelWidgets())
            if (auto *e = qobject_cast<FormatEditor *>(w); e && e->isVisible())
                editor = e;
        QVERIFY(editor);
        QVERIFY(FormatEditor::helpText().contains(QStringLiteral("§{okh}")));
        QVERIFY(FormatEditor::helpText().contains(QStringLiteral("§{ahex}")));
        editor->close();
    }

    // A drag carries the copy text and the colour; it copies nothing.
    void dragCarriesTextAndColour() {
        PaletteView view(Binding<Palette>::constant(kPalette), 4, 50, 5, 0, ModifyType::None, -1,
                         {}, {}, false);
        view.show();
        view.storeFormatIdx(5);
        QGuiApplication::clipboard()->setText(QStringLiteral("before"));
        std::unique_ptr<QMimeData> data(view.grid()->dragData(0));
        QVERIFY(data);
        QCOMPARE(data->text(), QStringLiteral("#FF7F007F"));
        QVERIFY(data->hasFormat(QStringLiteral("application/x-color")));
        const QColor color = qvariant_cast<QColor>(data->colorData());
        QCOMPARE(color.red(), 255);
        QCOMPARE(color.green(), 128);
        QCOMPARE(color.alpha(), 128);
        QVERIFY(!view.grid()->dragData(2)); // the add cell
        QVERIFY(!view.grid()->dragData(-1));
        QCOMPARE(QGuiApplication::clipboard()->text(), QStringLiteral("before"));
    }
};

SWATCHBAR_TEST_GUI_MAIN(FormatEditorTest)
#include "FormatEditorTest.moc"
