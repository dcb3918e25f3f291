#include "TestSupport.h"

#include "PopoverFixture.h"
#include "StdoutCapture.h"
#include "core/SafeFile.h"
#include "views/popover/MenuItemModifyView.h"
#include "views/popover/PaletteGridView.h"

#include <QDir>
#include <QFileInfo>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

using namespace popover;

namespace {
const SerializableColor orange{1, 0.5, 0, std::nullopt};
const SerializableColor teal{0, 0.5, 0.5, 0.25};

// Writes the files and loads them the way start-up does; returns the view.
std::unique_ptr<MenuItemView> viewWith(const QList<Palette> &palettes) {
    for (const Palette &p : palettes)
        writePaletteFile(p);
    auto view = makeView();
    capturedLines([] { Manager::loadAllPalettes(); });
    view->show();
    return view;
}

int indexOf(const MenuItemView &view, const QString &name) {
    return static_cast<int>(names(view.palettesOO()).indexOf(name));
}

void typeName(MenuItemView &view, const QString &text) {
    QLineEdit *field = view.modifyView()->nameField();
    field->selectAll();
    QTest::keyClick(field, Qt::Key_Backspace);
    // insert() goes the way of a paste, so control characters get in as well.
    field->insert(text);
}
} // namespace

class MenuItemModifyViewTest : public QObject {
    Q_OBJECT
private slots:
    void init() { resetStore(); }

    void addWritesTheFileAndAppends();
    void renameReplacesFileAndKeyAndMovesLast();
    void renameToItsOwnNameIsAllowed();
    void renameThatCannotBeWrittenKeepsEverything();
    void cancelOnlyCloses();
    void takenOrImpossibleNamesCannotBeConfirmed();
    void staleIndexDoesNothing();
    void noModeOnlyReportsTheError();
    void keysConfirmAndCancel();
};

void MenuItemModifyViewTest::addWritesTheFileAndAppends() {
    auto view = viewWith({palette("A", {orange})});
    view->addPalette();
    MenuItemModifyView *editor = view->modifyView();
    QVERIFY(editor->okButton()->isEnabled());
    const QStringList lines = capturedLines([&] { editor->okButton()->click(); });
    QCOMPARE(lines, QStringList{"Added pal: New palette"});
    QCOMPARE(fileBytes("New palette"), QByteArray(R"({"palName":"New palette","palColors":[]})"));
    QCOMPARE(names(view->palettesOO()), (QStringList{"A", "New palette"}));
    QCOMPARE(view->gridView()->itemCount(), 3);
    // No position key on this path; the next load writes one.
    QVERIFY(!Settings::contains(SettingsKeys::paletteIndexKey("New palette")));
    QCOMPARE(view->modifyType.get(), ModifyType::None);
    QVERIFY(editor->isHidden());
    QCOMPARE(view->newPaletteName.get(), QString("New palette"));

    // An empty name is refused: it would be a hidden ".json" file with no caption.
    view->addPalette();
    typeName(*view, "");
    QVERIFY(!editor->okButton()->isEnabled());
    QVERIFY(!editor->hintLabel()->isHidden());
    QVERIFY(capturedLines([&] { editor->ok(); }).isEmpty());
    QVERIFY(!QFile::exists(palettePath("")));
    QCOMPARE(view->palettesOO()->count(), 2);
    // A rename to nothing is refused the same way.
    view->renamePalette(0);
    typeName(*view, "");
    QVERIFY(!editor->okButton()->isEnabled());
}

void MenuItemModifyViewTest::renameReplacesFileAndKeyAndMovesLast() {
    auto view = viewWith({palette("Warm", {orange, teal}), palette("Cool"), palette("Mild")});
    const int warm = indexOf(*view, "Warm");
    QVERIFY(Settings::contains(SettingsKeys::paletteIndexKey("Warm")));

    view->renamePalette(warm);
    QCOMPARE(view->modifyView()->nameField()->text(), QString("Warm"));
    typeName(*view, "Hot");
    QCOMPARE(view->newPaletteName.get(), QString("Hot"));
    const QStringList lines = capturedLines([&] { view->modifyView()->okButton()->click(); });
    QCOMPARE(lines.first(), QString("Changed pal: Hot"));
    QVERIFY(!lines.join('\n').contains("Failed"));

    QVERIFY(!QFile::exists(palettePath("Warm")));
    QCOMPARE(fileBytes("Hot"), *PaletteCodec::encode(palette("Hot", {orange, teal})));
    QVERIFY(!Settings::contains(SettingsKeys::paletteIndexKey("Warm")));
    QCOMPARE(Settings::integer(SettingsKeys::paletteIndexKey("Hot")), 2);
    const QStringList after = names(view->palettesOO());
    QCOMPARE(after.size(), 3);
    QCOMPARE(after.count("Hot"), 1);
    QCOMPARE(after.last(), QString("Hot"));
    QCOMPARE(view->palettesOO()->palettes().last().palColors,
             palette("Hot", {orange, teal}).palColors);
    QCOMPARE(view->modifyType.get(), ModifyType::None);
}

void MenuItemModifyViewTest::renameToItsOwnNameIsAllowed() {
    auto view = viewWith({palette("Warm", {orange}), palette("Cool")});
    const int warm = indexOf(*view, "Warm");
    view->renamePalette(warm);
    QVERIFY(view->modifyView()->okButton()->isEnabled());
    QVERIFY(view->modifyView()->hintLabel()->isHidden());
    const QStringList lines = capturedLines([&] { view->modifyView()->ok(); });
    // The reload runs as for any rename; the renamed palette is counted once, last.
    QCOMPARE(lines,
             (QStringList{"Changed pal: Warm", "Successfully loaded all(1) color palettes!"}));
    QCOMPARE(fileBytes("Warm"), *PaletteCodec::encode(palette("Warm", {orange})));
    QCOMPARE(names(view->palettesOO()), (QStringList{"Cool", "Warm"}));
    QCOMPARE(Settings::integer(SettingsKeys::paletteIndexKey("Cool")), 0);
    QCOMPARE(Settings::integer(SettingsKeys::paletteIndexKey("Warm")), 1);
}

void MenuItemModifyViewTest::renameThatCannotBeWrittenKeepsEverything() {
    auto view = viewWith({palette("Warm", {orange}), palette("Cool")});
    const QStringList before = names(view->palettesOO());
    const QByteArray warmBytes = fileBytes("Warm");
    view->renamePalette(indexOf(*view, "Warm"));
    // The disk fills up: the new file cannot be written.
    const QString hot("Hot");
    typeName(*view, hot);
    QVERIFY(view->modifyView()->okButton()->isEnabled());
    SafeFile::setWriteFunction([](int, const void *, size_t) -> ssize_t {
        errno = ENOSPC;
        return -1;
    });
    const QStringList lines = capturedLines([&] { view->modifyView()->ok(); });
    QCOMPARE(lines.first(), "Changed pal: " + hot);
    QCOMPARE(lines.at(1), QString("Failed to save file Hot.json : No space left on device"));
    QCOMPARE(lines.last(), QString("Failed to write file Hot.json : pal Warm keeps its name"));
    QVERIFY(!QFile::exists(palettePath(hot)));
    QCOMPARE(fileBytes("Warm"), warmBytes);
    QVERIFY(Settings::contains(SettingsKeys::paletteIndexKey("Warm")));
    QCOMPARE(names(view->palettesOO()), before);
    QCOMPARE(view->modifyType.get(), ModifyType::None);

    // Adding under such a name says so and adds nothing.
    view->addPalette();
    typeName(*view, hot);
    const QStringList added = capturedLines([&] { view->modifyView()->ok(); });
    SafeFile::setWriteFunction(nullptr);
    QCOMPARE(added.first(), "Added pal: " + hot);
    QCOMPARE(added.last(), QString("Failed to write file Hot.json : pal not added"));
    QCOMPARE(names(view->palettesOO()), before);
    QVERIFY(QDir(QFileInfo(palettePath(hot)).path())
                .entryList(QDir::Files | QDir::Hidden)
                .filter("Hot")
                .isEmpty());
}

void MenuItemModifyViewTest::cancelOnlyCloses() {
    auto view = viewWith({palette("Warm"), palette("Cool")});
    view->addPalette();
    typeName(*view, "Typed");
    const QStringList lines = capturedLines([&] { view->modifyView()->cancelButton()->click(); });
    QVERIFY(lines.isEmpty());
    QCOMPARE(view->modifyType.get(), ModifyType::None);
    QCOMPARE(view->newPaletteName.get(), QString("Typed"));
    QVERIFY(!QFile::exists(palettePath("Typed")));
    QCOMPARE(view->palettesOO()->count(), 2);

    view->addPalette();
    QCOMPARE(view->modifyView()->nameField()->text(), QString("New palette"));
    view->modifyView()->cancel();
    const int cool = indexOf(*view, "Cool");
    view->renamePalette(cool);
    QCOMPARE(view->modifyView()->nameField()->text(), QString("Cool"));
    QCOMPARE(view->modifyColorIdx.get(), cool);
}

void MenuItemModifyViewTest::takenOrImpossibleNamesCannotBeConfirmed() {
    auto view = viewWith({palette("Warm", {orange}), palette("Cool")});
    // A file the load could not read still belongs to the user.
    QFile broken(palettePath("Broken"));
    QVERIFY(broken.open(QIODevice::WriteOnly));
    broken.write("{not json");
    broken.close();

    MenuItemModifyView *editor = view->modifyView();
    view->addPalette();
    const struct {
        QString name;
        bool allowed;
    } cases[] = {{"Cool", false},
                 {"Warm", false},
                 {"a/b", false},
                 {"..", false},
                 {"my.json", false},
                 {"report.json-2024", false},
                 {QString(251, QLatin1Char('h')), false},
                 {QString(250, QLatin1Char('h')), true},
                 {"Broken", false},
                 {"Fresh", true},
                 {"tab\there", true},
                 {"back\\slash", true},
                 {"", false},
                 {"cool", true}};
    for (const auto &c : cases) {
        typeName(*view, c.name);
        QCOMPARE(view->newPaletteName.get(), c.name);
        QVERIFY2(editor->okButton()->isEnabled() == c.allowed, qPrintable(c.name));
        QVERIFY2(editor->hintLabel()->isHidden() == c.allowed, qPrintable(c.name));
        QVERIFY2(editor->hintLabel()->text().isEmpty() == c.allowed, qPrintable(c.name));
    }
    typeName(*view, "Cool");
    // Neither Return nor a direct call gets past the check.
    const QStringList lines = capturedLines([&] {
        QTest::keyClick(editor->nameField(), Qt::Key_Return);
        editor->ok();
    });
    QVERIFY(lines.isEmpty());
    QCOMPARE(view->modifyType.get(), ModifyType::Add);
    QCOMPARE(view->palettesOO()->count(), 2);

    // Renaming Warm: its own name is fine, Cool's is not.
    view->renamePalette(indexOf(*view, "Warm"));
    QVERIFY(editor->okButton()->isEnabled());
    typeName(*view, "Cool");
    QVERIFY(!editor->okButton()->isEnabled());
    QCOMPARE(capturedLines([&] { editor->ok(); }), QStringList());
    QVERIFY(QFile::exists(palettePath("Warm")));
    QCOMPARE(fileBytes("Cool"), *PaletteCodec::encode(palette("Cool")));

    // The check follows the collection: once Cool is gone the name is free.
    capturedLines([&] { Manager::deletePalette("Cool"); });
    view->renamePalette(indexOf(*view, "Warm"));
    typeName(*view, "Cool");
    QVERIFY(editor->okButton()->isEnabled());
}

void MenuItemModifyViewTest::staleIndexDoesNothing() {
    auto view = viewWith({palette("Warm"), palette("Cool")});
    // The editor is asked to rename an index that names no palette.
    MenuItemModifyView editor(view->newPaletteName.binding(), view->modifyType.binding(),
                              view->modifyColorIdx.binding(), view->palettesOO());
    view->newPaletteName.set("Hot");
    view->modifyColorIdx.set(5);
    view->modifyType.set(ModifyType::Edit);
    editor.refresh();
    const QStringList lines = capturedLines([&] { editor.ok(); });
    QVERIFY(lines.isEmpty());
    QCOMPARE(view->modifyType.get(), ModifyType::None);
    QVERIFY(!QFile::exists(palettePath("Hot")));
    QCOMPARE(view->palettesOO()->count(), 2);
    QVERIFY(QFile::exists(palettePath("Warm")));
}

void MenuItemModifyViewTest::noModeOnlyReportsTheError() {
    auto view = viewWith({palette("Warm")});
    view->newPaletteName.set("Hot");
    const QStringList lines = capturedLines([&] { view->modifyView()->ok(); });
    QCOMPARE(lines, QStringList{"ERROR: Invalid pal modifyType!"});
    QCOMPARE(view->modifyType.get(), ModifyType::None);
    QCOMPARE(names(view->palettesOO()), QStringList{"Warm"});
    QVERIFY(!QFile::exists(palettePath("Hot")));
}

void MenuItemModifyViewTest::keysConfirmAndCancel() {
    auto view = viewWith({palette("Warm")});
    view->addPalette();
    QLineEdit *field = view->modifyView()->nameField();
    QTest::keyClick(field, Qt::Key_Escape);
    QCOMPARE(view->modifyType.get(), ModifyType::None);
    QCOMPARE(view->palettesOO()->count(), 1);

    view->addPalette();
    typeName(*view, "Typed");
    const QStringList lines = capturedLines([&] { QTest::keyClick(field, Qt::Key_Return); });
    QCOMPARE(lines, QStringList{"Added pal: Typed"});
    QCOMPARE(names(view->palettesOO()), (QStringList{"Warm", "Typed"}));
}

SWATCHBAR_TEST_GUI_MAIN(MenuItemModifyViewTest)
#include "MenuItemModifyViewTest.moc"
