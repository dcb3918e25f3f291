<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="de_DE">
<context>
    <name>AppDelegate</name>
    <message>
        <source>Preferences</source>
        <translation>Einstellungen</translation>
    </message>
    <message>
        <source>Quit</source>
        <translation>Beenden</translation>
    </message>
    <message>
        <source>Pick color</source>
        <translation>Farbe aufnehmen</translation>
    </message>
    <message>
        <source>No screen color picker is available.</source>
        <translation>Keine Bildschirm-Farbpipette verfügbar.</translation>
    </message>
</context>
<context>
    <name>CommandLine</name>
    <message>
        <source>Show this help and exit.</source>
        <translation>Diese Hilfe anzeigen und beenden.</translation>
    </message>
    <message>
        <source>Show the version and exit.</source>
        <translation>Version anzeigen und beenden.</translation>
    </message>
    <message>
        <source>Pick a color on screen with the running Swatchbar (started first when none runs) and add it to the &quot;Picked&quot; palette.</source>
        <translation>Mit dem laufenden Swatchbar (wird zuerst gestartet, falls keines läuft) eine Farbe auf dem Bildschirm aufnehmen und der Palette „Picked“ hinzufügen.</translation>
    </message>
    <message>
        <source>Import palette files (.gpl, .ase, .css, .txt, .json) given after the options into the palettes folder.</source>
        <translation>Die nach den Optionen angegebenen Palettendateien (.gpl, .ase, .css, .txt, .json) in den Palettenordner importieren.</translation>
    </message>
    <message>
        <source>Write the palette &lt;name&gt; to the file given after the options, in the format its extension names (.gpl, .ase, .css, .txt, .json).</source>
        <translation>Die Palette &lt;name&gt; in die nach den Optionen angegebene Datei schreiben, im Format, das ihre Endung nennt (.gpl, .ase, .css, .txt, .json).</translation>
    </message>
    <message>
        <source>Print every palette&apos;s name, one per line.</source>
        <translation>Die Namen aller Paletten ausgeben, einen pro Zeile.</translation>
    </message>
    <message>
        <source>Print each color of the palette &lt;name&gt; as its text in the palette&apos;s copy format, a tab and the color&apos;s name.</source>
        <translation>Jede Farbe der Palette &lt;name&gt; ausgeben: ihren Text im Kopierformat der Palette, einen Tabulator und den Namen der Farbe.</translation>
    </message>
    <message>
        <source>Color palettes in the system tray: click a swatch to copy its color as text.</source>
        <translation>Farbpaletten im Systembereich: Klicken Sie auf ein Farbfeld, um seine Farbe als Text zu kopieren.</translation>
    </message>
    <message>
        <source>Files for --import, or the one file for --export.</source>
        <translation>Dateien für --import oder die eine Datei für --export.</translation>
    </message>
    <message>
        <source>Use only one of --pick, --import, --export, --list and --print.</source>
        <translation>Verwenden Sie nur eine der Optionen --pick, --import, --export, --list und --print.</translation>
    </message>
    <message>
        <source>--import needs at least one file.</source>
        <translation>--import braucht mindestens eine Datei.</translation>
    </message>
    <message>
        <source>--export needs a palette name and one file.</source>
        <translation>--export braucht einen Palettennamen und eine Datei.</translation>
    </message>
    <message>
        <source>Unexpected argument: %1</source>
        <translation>Unerwartetes Argument: %1</translation>
    </message>
    <message>
        <source>&quot;%1&quot; is not valid text in the system&apos;s encoding.</source>
        <translation>„%1“ ist kein gültiger Text in der Zeichenkodierung des Systems.</translation>
    </message>
</context>
<context>
    <name>FormatEditor</name>
    <message>
        <source>Copy formats</source>
        <translation>Kopierformate</translation>
    </message>
    <message>
        <source>Template</source>
        <translation>Vorlage</translation>
    </message>
    <message>
        <source>Copies</source>
        <translation>Kopiert</translation>
    </message>
    <message>
        <source>Your formats</source>
        <translation>Ihre Formate</translation>
    </message>
    <message>
        <source>e.g. rgb(§r §g §b)</source>
        <translation>z. B. rgb(§r §g §b)</translation>
    </message>
    <message>
        <source>Preview</source>
        <translation>Vorschau</translation>
    </message>
    <message>
        <source>Add</source>
        <translation>Hinzufügen</translation>
    </message>
    <message>
        <source>Change</source>
        <translation>Ändern</translation>
    </message>
    <message>
        <source>Remove</source>
        <translation>Entfernen</translation>
    </message>
    <message>
        <source>Move up</source>
        <translation>Nach oben</translation>
    </message>
    <message>
        <source>Move down</source>
        <translation>Nach unten</translation>
    </message>
    <message>
        <source>Ready-made formats</source>
        <translation>Fertige Formate</translation>
    </message>
    <message>
        <source>Click to add</source>
        <translation>Zum Hinzufügen klicken</translation>
    </message>
    <message>
        <source>Your formats, after the built-in ones in &quot;Copy format&quot;:</source>
        <translation>Ihre Formate, nach den eingebauten unter „Kopierformat“:</translation>
    </message>
    <message>
        <source>Ready-made (click to add):</source>
        <translation>Fertige Formate (zum Hinzufügen klicken):</translation>
    </message>
    <message>
        <source>CSS rgb()</source>
        <translation>CSS rgb()</translation>
    </message>
    <message>
        <source>CSS hsl()</source>
        <translation>CSS hsl()</translation>
    </message>
    <message>
        <source>CSS oklch()</source>
        <translation>CSS oklch()</translation>
    </message>
    <message>
        <source>Android ARGB</source>
        <translation>Android ARGB</translation>
    </message>
    <message>
        <source>SwiftUI</source>
        <translation>SwiftUI</translation>
    </message>
    <message>
        <source>Qt</source>
        <translation>Qt</translation>
    </message>
    <message>
        <source>Floats</source>
        <translation>Gleitkommazahlen</translation>
    </message>
    <message>
        <source>Tokens: §r §g §b §a (0–255), §hex (RRGGBB), §hexA (RRGGBBAA), §r01 §g01 §b01 §a01 (exact fractions), §{h} §{s} §{l} (HSL: hue 0–359°, saturation and lightness in %), §{okl} §{okc} §{okh} (OKLCH: lightness and chroma with 3 decimals, hue in degrees with 1), §{r1} §{g1} §{b1} §{a1} (0–1 with 3 decimals), §{ahex} (alpha as two hex digits). Everything else is copied as written.</source>
        <translation>Platzhalter: §r §g §b §a (0–255), §hex (RRGGBB), §hexA (RRGGBBAA), §r01 §g01 §b01 §a01 (exakte Anteile), §{h} §{s} §{l} (HSL: Farbton 0–359°, Sättigung und Helligkeit in %), §{okl} §{okc} §{okh} (OKLCH: Helligkeit und Chroma mit 3 Nachkommastellen, Farbton in Grad mit 1), §{r1} §{g1} §{b1} §{a1} (0–1 mit 3 Nachkommastellen), §{ahex} (Alpha als zwei Hexziffern). Alles andere wird unverändert kopiert.</translation>
    </message>
</context>
<context>
    <name>MenuItemModifyView</name>
    <message>
        <source>Cancel</source>
        <translation>Abbrechen</translation>
    </message>
    <message>
        <source>Ok</source>
        <translation>OK</translation>
    </message>
    <message>
        <source>Name</source>
        <translation>Name</translation>
    </message>
    <message>
        <source>Another palette has this name</source>
        <translation>Eine andere Palette hat diesen Namen</translation>
    </message>
    <message>
        <source>A file with this name exists</source>
        <translation>Eine Datei mit diesem Namen existiert</translation>
    </message>
    <message>
        <source>Rename palette</source>
        <translation>Palette umbenennen</translation>
    </message>
    <message>
        <source>New palette</source>
        <translation>Neue Palette</translation>
    </message>
    <message>
        <source>Type a name</source>
        <translation>Geben Sie einen Namen ein</translation>
    </message>
</context>
<context>
    <name>MenuItemView</name>
    <message>
        <source>Preferences</source>
        <translation>Einstellungen</translation>
    </message>
    <message>
        <source>Quit</source>
        <translation>Beenden</translation>
    </message>
    <message>
        <source>Palettes</source>
        <translation>Paletten</translation>
    </message>
    <message>
        <source>New palette</source>
        <translation>Neue Palette</translation>
    </message>
    <message>
        <source>Rename</source>
        <translation>Umbenennen</translation>
    </message>
    <message>
        <source>Delete</source>
        <translation>Löschen</translation>
    </message>
    <message>
        <source>Hide options</source>
        <translation>Optionen ausblenden</translation>
    </message>
    <message>
        <source>Show options</source>
        <translation>Optionen anzeigen</translation>
    </message>
    <message>
        <source>Size</source>
        <translation>Größe</translation>
    </message>
    <message>
        <source>Spacing</source>
        <translation>Abstand</translation>
    </message>
    <message>
        <source>Radius</source>
        <translation>Radius</translation>
    </message>
    <message>
        <source>Column count</source>
        <translation>Spaltenanzahl</translation>
    </message>
    <message>
        <source>Grid options</source>
        <translation>Rasteroptionen</translation>
    </message>
    <message>
        <source>Import…</source>
        <translation>Importieren…</translation>
    </message>
    <message>
        <source>Add palettes from GIMP (.gpl), Adobe (.ase), CSS, text or Swatchbar (.json) files; dropping files here does the same</source>
        <translation>Paletten aus GIMP- (.gpl), Adobe- (.ase), CSS-, Text- oder Swatchbar-Dateien (.json) hinzufügen; Dateien hier ablegen bewirkt dasselbe</translation>
    </message>
    <message>
        <source>Delete palette</source>
        <translation>Palette löschen</translation>
    </message>
    <message>
        <source>Export…</source>
        <translation>Exportieren…</translation>
    </message>
    <message>
        <source>Import palettes</source>
        <translation>Paletten importieren</translation>
    </message>
    <message>
        <source>Palette files (*.gpl *.ase *.css *.txt *.json)</source>
        <translation>Palettendateien (*.gpl *.ase *.css *.txt *.json)</translation>
    </message>
    <message>
        <source>All files (*)</source>
        <translation>Alle Dateien (*)</translation>
    </message>
    <message>
        <source>Export “%1”</source>
        <translation>„%1“ exportieren</translation>
    </message>
    <message>
        <source>GIMP palette (*.gpl)</source>
        <translation>GIMP-Palette (*.gpl)</translation>
    </message>
    <message>
        <source>Adobe Swatch Exchange (*.ase)</source>
        <translation>Adobe Swatch Exchange (*.ase)</translation>
    </message>
    <message>
        <source>CSS custom properties (*.css)</source>
        <translation>Benutzerdefinierte CSS-Eigenschaften (*.css)</translation>
    </message>
    <message>
        <source>Plain text (*.txt)</source>
        <translation>Reiner Text (*.txt)</translation>
    </message>
    <message>
        <source>Swatchbar palette (*.json)</source>
        <translation>Swatchbar-Palette (*.json)</translation>
    </message>
    <message>
        <source>Find</source>
        <translation>Suchen</translation>
    </message>
    <message>
        <source>Import</source>
        <translation>Import</translation>
    </message>
    <message>
        <source>Colors in each palette</source>
        <translation>Farben in jeder Palette</translation>
    </message>
</context>
<context>
    <name>PaletteColorGridModel</name>
    <message>
        <source>Add color</source>
        <translation>Farbe hinzufügen</translation>
    </message>
</context>
<context>
    <name>PaletteColorGridView</name>
    <message>
        <source>Colors</source>
        <translation>Farben</translation>
    </message>
    <message>
        <source>Edit</source>
        <translation>Bearbeiten</translation>
    </message>
    <message>
        <source>Delete</source>
        <translation>Löschen</translation>
    </message>
    <message>
        <source>New color</source>
        <translation>Neue Farbe</translation>
    </message>
</context>
<context>
    <name>PaletteModifyColorView</name>
    <message>
        <source>Name</source>
        <translation>Name</translation>
    </message>
    <message>
        <source>Color</source>
        <translation>Farbe</translation>
    </message>
    <message>
        <source>Pick a color</source>
        <translation>Farbe wählen</translation>
    </message>
    <message>
        <source>Cancel</source>
        <translation>Abbrechen</translation>
    </message>
    <message>
        <source>Ok</source>
        <translation>OK</translation>
    </message>
    <message>
        <source>Color text</source>
        <translation>Farbtext</translation>
    </message>
    <message>
        <source>#RRGGBB, rgb(), hsl() or a color name</source>
        <translation>#RRGGBB, rgb(), hsl() oder ein Farbname</translation>
    </message>
    <message>
        <source>Not a color</source>
        <translation>Keine Farbe</translation>
    </message>
</context>
<context>
    <name>PaletteOptionsView</name>
    <message>
        <source>Size</source>
        <translation>Größe</translation>
    </message>
    <message>
        <source>Spacing</source>
        <translation>Abstand</translation>
    </message>
    <message>
        <source>Radius</source>
        <translation>Radius</translation>
    </message>
    <message>
        <source>Column count</source>
        <translation>Spaltenanzahl</translation>
    </message>
    <message>
        <source>View options</source>
        <translation>Ansichtsoptionen</translation>
    </message>
</context>
<context>
    <name>PaletteView</name>
    <message>
        <source>Copy format</source>
        <translation>Kopierformat</translation>
    </message>
    <message>
        <source>Hide options</source>
        <translation>Optionen ausblenden</translation>
    </message>
    <message>
        <source>Show options</source>
        <translation>Optionen anzeigen</translation>
    </message>
    <message>
        <source>Colors</source>
        <translation>Farben</translation>
    </message>
    <message>
        <source>Pick</source>
        <translation>Aufnehmen</translation>
    </message>
    <message>
        <source>Pick a color on screen and add it to this palette</source>
        <translation>Eine Farbe auf dem Bildschirm aufnehmen und dieser Palette hinzufügen</translation>
    </message>
    <message>
        <source>Edit formats…</source>
        <translation>Formate bearbeiten…</translation>
    </message>
    <message>
        <source>No screen color picker is available.</source>
        <translation>Keine Bildschirm-Farbpipette verfügbar.</translation>
    </message>
    <message>
        <source>Find</source>
        <translation>Suchen</translation>
    </message>
</context>
<context>
    <name>PaletteWindow</name>
    <message>
        <source>Viewing: </source>
        <translation>Ansicht: </translation>
    </message>
    <message>
        <source>Edit color</source>
        <translation>Farbe bearbeiten</translation>
    </message>
    <message>
        <source>Add color</source>
        <translation>Farbe hinzufügen</translation>
    </message>
    <message>
        <source>Delete color</source>
        <translation>Farbe löschen</translation>
    </message>
</context>
<context>
    <name>PickerOverlay</name>
    <message>
        <source>Pick color</source>
        <translation>Farbe aufnehmen</translation>
    </message>
</context>
<context>
    <name>PreferencesView</name>
    <message>
        <source>Swatchbar %1</source>
        <translation>Swatchbar %1</translation>
    </message>
    <message>
        <source>Start at login</source>
        <translation>Beim Anmelden starten</translation>
    </message>
    <message>
        <source>hide app in dock</source>
        <translation>App im Dock ausblenden</translation>
    </message>
    <message>
        <source>Open palettes folder</source>
        <translation>Palettenordner öffnen</translation>
    </message>
    <message>
        <source>Reload palettes</source>
        <translation>Paletten neu laden</translation>
    </message>
    <message>
        <source>Hints:</source>
        <translation>Tipps:</translation>
    </message>
    <message>
        <source>Options</source>
        <translation>Optionen</translation>
    </message>
    <message>
        <source>Click on a color to copy it without switching focus to Swatchbar</source>
        <translation>Ein Klick auf eine Farbe kopiert sie, ohne den Fokus zu Swatchbar zu wechseln</translation>
    </message>
    <message>
        <source>Click on a color to copy it</source>
        <translation>Ein Klick auf eine Farbe kopiert sie</translation>
    </message>
    <message>
        <source>No file viewer could show %1</source>
        <translation>Kein Dateimanager konnte %1 anzeigen</translation>
    </message>
</context>
<context>
    <name>PreferencesWindow</name>
    <message>
        <source>Preferences</source>
        <translation>Einstellungen</translation>
    </message>
</context>
<context>
    <name>TitleView</name>
    <message>
        <source>Swatchbar</source>
        <translation>Swatchbar</translation>
    </message>
</context>
<context>
    <name>UndoActions</name>
    <message>
        <source>Undo %1</source>
        <translation>Rückgängig: %1</translation>
    </message>
    <message>
        <source>Undo</source>
        <translation>Rückgängig</translation>
    </message>
    <message>
        <source>Redo %1</source>
        <translation>Wiederholen: %1</translation>
    </message>
    <message>
        <source>Redo</source>
        <translation>Wiederholen</translation>
    </message>
</context>
</TS>
