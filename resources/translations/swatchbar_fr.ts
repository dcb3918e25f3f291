<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="fr_FR">
<context>
    <name>AppDelegate</name>
    <message>
        <source>Preferences</source>
        <translation>Préférences</translation>
    </message>
    <message>
        <source>Quit</source>
        <translation>Quitter</translation>
    </message>
    <message>
        <source>Pick color</source>
        <translation>Prélever une couleur</translation>
    </message>
    <message>
        <source>No screen color picker is available.</source>
        <translation>Aucune pipette d’écran n’est disponible.</translation>
    </message>
</context>
<context>
    <name>CommandLine</name>
    <message>
        <source>Show this help and exit.</source>
        <translation>Afficher cette aide et quitter.</translation>
    </message>
    <message>
        <source>Show the version and exit.</source>
        <translation>Afficher la version et quitter.</translation>
    </message>
    <message>
        <source>Pick a color on screen with the running Swatchbar (started first when none runs) and add it to the &quot;Picked&quot; palette.</source>
        <translation>Prélever une couleur à l’écran avec Swatchbar en cours d’exécution (lancé d’abord s’il ne l’est pas) et l’ajouter à la palette « Picked ».</translation>
    </message>
    <message>
        <source>Import palette files (.gpl, .ase, .css, .txt, .json) given after the options into the palettes folder.</source>
        <translation>Importer dans le dossier des palettes les fichiers de palette (.gpl, .ase, .css, .txt, .json) donnés après les options.</translation>
    </message>
    <message>
        <source>Write the palette &lt;name&gt; to the file given after the options, in the format its extension names (.gpl, .ase, .css, .txt, .json).</source>
        <translation>Écrire la palette &lt;name&gt; dans le fichier donné après les options, au format indiqué par son extension (.gpl, .ase, .css, .txt, .json).</translation>
    </message>
    <message>
        <source>Print every palette&apos;s name, one per line.</source>
        <translation>Afficher le nom de chaque palette, un par ligne.</translation>
    </message>
    <message>
        <source>Print each color of the palette &lt;name&gt; as its text in the palette&apos;s copy format, a tab and the color&apos;s name.</source>
        <translation>Afficher chaque couleur de la palette &lt;name&gt; : son texte dans le format de copie de la palette, une tabulation et le nom de la couleur.</translation>
    </message>
    <message>
        <source>Color palettes in the system tray: click a swatch to copy its color as text.</source>
        <translation>Des palettes de couleurs dans la zone de notification : cliquez sur un échantillon pour copier sa couleur sous forme de texte.</translation>
    </message>
    <message>
        <source>Files for --import, or the one file for --export.</source>
        <translation>Fichiers pour --import, ou le fichier unique pour --export.</translation>
    </message>
    <message>
        <source>Use only one of --pick, --import, --export, --list and --print.</source>
        <translation>N’utilisez qu’une seule option parmi --pick, --import, --export, --list et --print.</translation>
    </message>
    <message>
        <source>--import needs at least one file.</source>
        <translation>--import demande au moins un fichier.</translation>
    </message>
    <message>
        <source>--export needs a palette name and one file.</source>
        <translation>--export demande un nom de palette et un fichier.</translation>
    </message>
    <message>
        <source>Unexpected argument: %1</source>
        <translation>Argument inattendu : %1</translation>
    </message>
    <message>
        <source>&quot;%1&quot; is not valid text in the system&apos;s encoding.</source>
        <translation>« %1 » n’est pas un texte valide dans l’encodage du système.</translation>
    </message>
</context>
<context>
    <name>FormatEditor</name>
    <message>
        <source>Copy formats</source>
        <translation>Formats de copie</translation>
    </message>
    <message>
        <source>Template</source>
        <translation>Modèle</translation>
    </message>
    <message>
        <source>Copies</source>
        <translation>Copie</translation>
    </message>
    <message>
        <source>Your formats</source>
        <translation>Vos formats</translation>
    </message>
    <message>
        <source>e.g. rgb(§r §g §b)</source>
        <translation>p. ex. rgb(§r §g §b)</translation>
    </message>
    <message>
        <source>Preview</source>
        <translation>Aperçu</translation>
    </message>
    <message>
        <source>Add</source>
        <translation>Ajouter</translation>
    </message>
    <message>
        <source>Change</source>
        <translation>Modifier</translation>
    </message>
    <message>
        <source>Remove</source>
        <translation>Retirer</translation>
    </message>
    <message>
        <source>Move up</source>
        <translation>Monter</translation>
    </message>
    <message>
        <source>Move down</source>
        <translation>Descendre</translation>
    </message>
    <message>
        <source>Ready-made formats</source>
        <translation>Formats prêts à l’emploi</translation>
    </message>
    <message>
        <source>Click to add</source>
        <translation>Cliquer pour ajouter</translation>
    </message>
    <message>
        <source>Your formats, after the built-in ones in &quot;Copy format&quot;:</source>
        <translation>Vos formats, après ceux intégrés dans « Format de copie » :</translation>
    </message>
    <message>
        <source>Ready-made (click to add):</source>
        <translation>Prêts à l’emploi (cliquer pour ajouter) :</translation>
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
        <translation>Nombres décimaux</translation>
    </message>
    <message>
        <source>Tokens: §r §g §b §a (0–255), §hex (RRGGBB), §hexA (RRGGBBAA), §r01 §g01 §b01 §a01 (exact fractions), §{h} §{s} §{l} (HSL: hue 0–359°, saturation and lightness in %), §{okl} §{okc} §{okh} (OKLCH: lightness and chroma with 3 decimals, hue in degrees with 1), §{r1} §{g1} §{b1} §{a1} (0–1 with 3 decimals), §{ahex} (alpha as two hex digits). Everything else is copied as written.</source>
        <translation>Codes : §r §g §b §a (0–255), §hex (RRGGBB), §hexA (RRGGBBAA), §r01 §g01 §b01 §a01 (fractions exactes), §{h} §{s} §{l} (HSL : teinte 0–359°, saturation et luminosité en %), §{okl} §{okc} §{okh} (OKLCH : luminosité et chroma à 3 décimales, teinte en degrés à 1 décimale), §{r1} §{g1} §{b1} §{a1} (0–1 à 3 décimales), §{ahex} (alpha en deux chiffres hexadécimaux). Tout le reste est copié tel quel.</translation>
    </message>
</context>
<context>
    <name>MenuItemModifyView</name>
    <message>
        <source>Cancel</source>
        <translation>Annuler</translation>
    </message>
    <message>
        <source>Ok</source>
        <translation>OK</translation>
    </message>
    <message>
        <source>Name</source>
        <translation>Nom</translation>
    </message>
    <message>
        <source>Another palette has this name</source>
        <translation>Une autre palette porte ce nom</translation>
    </message>
    <message>
        <source>A file with this name exists</source>
        <translation>Un fichier de ce nom existe</translation>
    </message>
    <message>
        <source>Rename palette</source>
        <translation>Renommer la palette</translation>
    </message>
    <message>
        <source>New palette</source>
        <translation>Nouvelle palette</translation>
    </message>
    <message>
        <source>Type a name</source>
        <translation>Saisissez un nom</translation>
    </message>
</context>
<context>
    <name>MenuItemView</name>
    <message>
        <source>Preferences</source>
        <translation>Préférences</translation>
    </message>
    <message>
        <source>Quit</source>
        <translation>Quitter</translation>
    </message>
    <message>
        <source>Palettes</source>
        <translation>Palettes</translation>
    </message>
    <message>
        <source>New palette</source>
        <translation>Nouvelle palette</translation>
    </message>
    <message>
        <source>Rename</source>
        <translation>Renommer</translation>
    </message>
    <message>
        <source>Delete</source>
        <translation>Supprimer</translation>
    </message>
    <message>
        <source>Hide options</source>
        <translation>Masquer les options</translation>
    </message>
    <message>
        <source>Show options</source>
        <translation>Afficher les options</translation>
    </message>
    <message>
        <source>Size</source>
        <translation>Taille</translation>
    </message>
    <message>
        <source>Spacing</source>
        <translation>Espacement</translation>
    </message>
    <message>
        <source>Radius</source>
        <translation>Rayon</translation>
    </message>
    <message>
        <source>Column count</source>
        <translation>Nombre de colonnes</translation>
    </message>
    <message>
        <source>Grid options</source>
        <translation>Options de la grille</translation>
    </message>
    <message>
        <source>Import…</source>
        <translation>Importer…</translation>
    </message>
    <message>
        <source>Add palettes from GIMP (.gpl), Adobe (.ase), CSS, text or Swatchbar (.json) files; dropping files here does the same</source>
        <translation>Ajouter des palettes depuis des fichiers GIMP (.gpl), Adobe (.ase), CSS, texte ou Swatchbar (.json) ; déposer des fichiers ici fait de même</translation>
    </message>
    <message>
        <source>Delete palette</source>
        <translation>Supprimer la palette</translation>
    </message>
    <message>
        <source>Export…</source>
        <translation>Exporter…</translation>
    </message>
    <message>
        <source>Import palettes</source>
        <translation>Importer des palettes</translation>
    </message>
    <message>
        <source>Palette files (*.gpl *.ase *.css *.txt *.json)</source>
        <translation>Fichiers de palette (*.gpl *.ase *.css *.txt *.json)</translation>
    </message>
    <message>
        <source>All files (*)</source>
        <translation>Tous les fichiers (*)</translation>
    </message>
    <message>
        <source>Export “%1”</source>
        <translation>Exporter « %1 »</translation>
    </message>
    <message>
        <source>GIMP palette (*.gpl)</source>
        <translation>Palette GIMP (*.gpl)</translation>
    </message>
    <message>
        <source>Adobe Swatch Exchange (*.ase)</source>
        <translation>Adobe Swatch Exchange (*.ase)</translation>
    </message>
    <message>
        <source>CSS custom properties (*.css)</source>
        <translation>Propriétés personnalisées CSS (*.css)</translation>
    </message>
    <message>
        <source>Plain text (*.txt)</source>
        <translation>Texte brut (*.txt)</translation>
    </message>
    <message>
        <source>Swatchbar palette (*.json)</source>
        <translation>Palette Swatchbar (*.json)</translation>
    </message>
    <message>
        <source>Find</source>
        <translation>Rechercher</translation>
    </message>
    <message>
        <source>Import</source>
        <translation>Importation</translation>
    </message>
    <message>
        <source>Colors in each palette</source>
        <translation>Couleurs de chaque palette</translation>
    </message>
</context>
<context>
    <name>PaletteColorGridModel</name>
    <message>
        <source>Add color</source>
        <translation>Ajouter une couleur</translation>
    </message>
</context>
<context>
    <name>PaletteColorGridView</name>
    <message>
        <source>Colors</source>
        <translation>Couleurs</translation>
    </message>
    <message>
        <source>Edit</source>
        <translation>Modifier</translation>
    </message>
    <message>
        <source>Delete</source>
        <translation>Supprimer</translation>
    </message>
    <message>
        <source>New color</source>
        <translation>Nouvelle couleur</translation>
    </message>
</context>
<context>
    <name>PaletteModifyColorView</name>
    <message>
        <source>Name</source>
        <translation>Nom</translation>
    </message>
    <message>
        <source>Color</source>
        <translation>Couleur</translation>
    </message>
    <message>
        <source>Pick a color</source>
        <translation>Choisir une couleur</translation>
    </message>
    <message>
        <source>Cancel</source>
        <translation>Annuler</translation>
    </message>
    <message>
        <source>Ok</source>
        <translation>OK</translation>
    </message>
    <message>
        <source>Color text</source>
        <translation>Texte de la couleur</translation>
    </message>
    <message>
        <source>#RRGGBB, rgb(), hsl() or a color name</source>
        <translation>#RRGGBB, rgb(), hsl() ou un nom de couleur</translation>
    </message>
    <message>
        <source>Not a color</source>
        <translation>Pas une couleur</translation>
    </message>
</context>
<context>
    <name>PaletteOptionsView</name>
    <message>
        <source>Size</source>
        <translation>Taille</translation>
    </message>
    <message>
        <source>Spacing</source>
        <translation>Espacement</translation>
    </message>
    <message>
        <source>Radius</source>
        <translation>Rayon</translation>
    </message>
    <message>
        <source>Column count</source>
        <translation>Nombre de colonnes</translation>
    </message>
    <message>
        <source>View options</source>
        <translation>Options d’affichage</translation>
    </message>
</context>
<context>
    <name>PaletteView</name>
    <message>
        <source>Copy format</source>
        <translation>Format de copie</translation>
    </message>
    <message>
        <source>Hide options</source>
        <translation>Masquer les options</translation>
    </message>
    <message>
        <source>Show options</source>
        <translation>Afficher les options</translation>
    </message>
    <message>
        <source>Colors</source>
        <translation>Couleurs</translation>
    </message>
    <message>
        <source>Pick</source>
        <translation>Prélever</translation>
    </message>
    <message>
        <source>Pick a color on screen and add it to this palette</source>
        <translation>Prélever une couleur à l’écran et l’ajouter à cette palette</translation>
    </message>
    <message>
        <source>Edit formats…</source>
        <translation>Modifier les formats…</translation>
    </message>
    <message>
        <source>No screen color picker is available.</source>
        <translation>Aucune pipette d’écran n’est disponible.</translation>
    </message>
    <message>
        <source>Find</source>
        <translation>Rechercher</translation>
    </message>
</context>
<context>
    <name>PaletteWindow</name>
    <message>
        <source>Viewing: </source>
        <translation>Affichage : </translation>
    </message>
    <message>
        <source>Edit color</source>
        <translation>Modifier la couleur</translation>
    </message>
    <message>
        <source>Add color</source>
        <translation>Ajouter une couleur</translation>
    </message>
    <message>
        <source>Delete color</source>
        <translation>Supprimer la couleur</translation>
    </message>
</context>
<context>
    <name>PickerOverlay</name>
    <message>
        <source>Pick color</source>
        <translation>Prélever une couleur</translation>
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
        <translation>Lancer à l’ouverture de session</translation>
    </message>
    <message>
        <source>hide app in dock</source>
        <translation>masquer l’app dans le dock</translation>
    </message>
    <message>
        <source>Open palettes folder</source>
        <translation>Ouvrir le dossier des palettes</translation>
    </message>
    <message>
        <source>Reload palettes</source>
        <translation>Recharger les palettes</translation>
    </message>
    <message>
        <source>Hints:</source>
        <translation>Astuces :</translation>
    </message>
    <message>
        <source>Options</source>
        <translation>Options</translation>
    </message>
    <message>
        <source>Click on a color to copy it without switching focus to Swatchbar</source>
        <translation>Cliquez sur une couleur pour la copier sans donner le focus à Swatchbar</translation>
    </message>
    <message>
        <source>Click on a color to copy it</source>
        <translation>Cliquez sur une couleur pour la copier</translation>
    </message>
    <message>
        <source>No file viewer could show %1</source>
        <translation>Aucun gestionnaire de fichiers n’a pu afficher %1</translation>
    </message>
</context>
<context>
    <name>PreferencesWindow</name>
    <message>
        <source>Preferences</source>
        <translation>Préférences</translation>
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
        <translation>Annuler : %1</translation>
    </message>
    <message>
        <source>Undo</source>
        <translation>Annuler</translation>
    </message>
    <message>
        <source>Redo %1</source>
        <translation>Rétablir : %1</translation>
    </message>
    <message>
        <source>Redo</source>
        <translation>Rétablir</translation>
    </message>
</context>
</TS>
