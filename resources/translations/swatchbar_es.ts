<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="es_ES">
<context>
    <name>AppDelegate</name>
    <message>
        <source>Preferences</source>
        <translation>Preferencias</translation>
    </message>
    <message>
        <source>Quit</source>
        <translation>Salir</translation>
    </message>
    <message>
        <source>Pick color</source>
        <translation>Capturar color</translation>
    </message>
    <message>
        <source>No screen color picker is available.</source>
        <translation>No hay ningún selector de color de pantalla disponible.</translation>
    </message>
</context>
<context>
    <name>CommandLine</name>
    <message>
        <source>Show this help and exit.</source>
        <translation>Mostrar esta ayuda y salir.</translation>
    </message>
    <message>
        <source>Show the version and exit.</source>
        <translation>Mostrar la versión y salir.</translation>
    </message>
    <message>
        <source>Pick a color on screen with the running Swatchbar (started first when none runs) and add it to the &quot;Picked&quot; palette.</source>
        <translation>Capturar un color de la pantalla con el Swatchbar en ejecución (que se inicia antes si no hay ninguno) y añadirlo a la paleta &quot;Picked&quot;.</translation>
    </message>
    <message>
        <source>Import palette files (.gpl, .ase, .css, .txt, .json) given after the options into the palettes folder.</source>
        <translation>Importar a la carpeta de paletas los archivos de paleta (.gpl, .ase, .css, .txt, .json) indicados tras las opciones.</translation>
    </message>
    <message>
        <source>Write the palette &lt;name&gt; to the file given after the options, in the format its extension names (.gpl, .ase, .css, .txt, .json).</source>
        <translation>Escribir la paleta &lt;name&gt; en el archivo indicado tras las opciones, en el formato que indica su extensión (.gpl, .ase, .css, .txt, .json).</translation>
    </message>
    <message>
        <source>Print every palette&apos;s name, one per line.</source>
        <translation>Mostrar el nombre de cada paleta, uno por línea.</translation>
    </message>
    <message>
        <source>Print each color of the palette &lt;name&gt; as its text in the palette&apos;s copy format, a tab and the color&apos;s name.</source>
        <translation>Mostrar cada color de la paleta &lt;name&gt;: su texto en el formato de copia de la paleta, un tabulador y el nombre del color.</translation>
    </message>
    <message>
        <source>Color palettes in the system tray: click a swatch to copy its color as text.</source>
        <translation>Paletas de colores en la bandeja del sistema: haz clic en una muestra para copiar su color como texto.</translation>
    </message>
    <message>
        <source>Files for --import, or the one file for --export.</source>
        <translation>Archivos para --import, o el único archivo para --export.</translation>
    </message>
    <message>
        <source>Use only one of --pick, --import, --export, --list and --print.</source>
        <translation>Usa solo una de las opciones --pick, --import, --export, --list y --print.</translation>
    </message>
    <message>
        <source>--import needs at least one file.</source>
        <translation>--import necesita al menos un archivo.</translation>
    </message>
    <message>
        <source>--export needs a palette name and one file.</source>
        <translation>--export necesita un nombre de paleta y un archivo.</translation>
    </message>
    <message>
        <source>Unexpected argument: %1</source>
        <translation>Argumento inesperado: %1</translation>
    </message>
    <message>
        <source>&quot;%1&quot; is not valid text in the system&apos;s encoding.</source>
        <translation>«%1» no es texto válido en la codificación del sistema.</translation>
    </message>
</context>
<context>
    <name>FormatEditor</name>
    <message>
        <source>Copy formats</source>
        <translation>Formatos de copia</translation>
    </message>
    <message>
        <source>Template</source>
        <translation>Plantilla</translation>
    </message>
    <message>
        <source>Copies</source>
        <translation>Copia</translation>
    </message>
    <message>
        <source>Your formats</source>
        <translation>Tus formatos</translation>
    </message>
    <message>
        <source>e.g. rgb(§r §g §b)</source>
        <translation>p. ej., rgb(§r §g §b)</translation>
    </message>
    <message>
        <source>Preview</source>
        <translation>Vista previa</translation>
    </message>
    <message>
        <source>Add</source>
        <translation>Añadir</translation>
    </message>
    <message>
        <source>Change</source>
        <translation>Cambiar</translation>
    </message>
    <message>
        <source>Remove</source>
        <translation>Quitar</translation>
    </message>
    <message>
        <source>Move up</source>
        <translation>Subir</translation>
    </message>
    <message>
        <source>Move down</source>
        <translation>Bajar</translation>
    </message>
    <message>
        <source>Ready-made formats</source>
        <translation>Formatos predefinidos</translation>
    </message>
    <message>
        <source>Click to add</source>
        <translation>Haz clic para añadir</translation>
    </message>
    <message>
        <source>Your formats, after the built-in ones in &quot;Copy format&quot;:</source>
        <translation>Tus formatos, tras los integrados en &quot;Formato de copia&quot;:</translation>
    </message>
    <message>
        <source>Ready-made (click to add):</source>
        <translation>Predefinidos (haz clic para añadir):</translation>
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
        <translation>Decimales</translation>
    </message>
    <message>
        <source>Tokens: §r §g §b §a (0–255), §hex (RRGGBB), §hexA (RRGGBBAA), §r01 §g01 §b01 §a01 (exact fractions), §{h} §{s} §{l} (HSL: hue 0–359°, saturation and lightness in %), §{okl} §{okc} §{okh} (OKLCH: lightness and chroma with 3 decimals, hue in degrees with 1), §{r1} §{g1} §{b1} §{a1} (0–1 with 3 decimals), §{ahex} (alpha as two hex digits). Everything else is copied as written.</source>
        <translation>Códigos: §r §g §b §a (0–255), §hex (RRGGBB), §hexA (RRGGBBAA), §r01 §g01 §b01 §a01 (fracciones exactas), §{h} §{s} §{l} (HSL: tono 0–359°, saturación y luminosidad en %), §{okl} §{okc} §{okh} (OKLCH: luminosidad y croma con 3 decimales, tono en grados con 1), §{r1} §{g1} §{b1} §{a1} (0–1 con 3 decimales), §{ahex} (alfa como dos dígitos hexadecimales). Todo lo demás se copia tal cual.</translation>
    </message>
</context>
<context>
    <name>MenuItemModifyView</name>
    <message>
        <source>Cancel</source>
        <translation>Cancelar</translation>
    </message>
    <message>
        <source>Ok</source>
        <translation>Aceptar</translation>
    </message>
    <message>
        <source>Name</source>
        <translation>Nombre</translation>
    </message>
    <message>
        <source>Another palette has this name</source>
        <translation>Otra paleta tiene este nombre</translation>
    </message>
    <message>
        <source>A file with this name exists</source>
        <translation>Ya existe un archivo con este nombre</translation>
    </message>
    <message>
        <source>Rename palette</source>
        <translation>Renombrar paleta</translation>
    </message>
    <message>
        <source>New palette</source>
        <translation>Nueva paleta</translation>
    </message>
    <message>
        <source>Type a name</source>
        <translation>Escribe un nombre</translation>
    </message>
</context>
<context>
    <name>MenuItemView</name>
    <message>
        <source>Preferences</source>
        <translation>Preferencias</translation>
    </message>
    <message>
        <source>Quit</source>
        <translation>Salir</translation>
    </message>
    <message>
        <source>Palettes</source>
        <translation>Paletas</translation>
    </message>
    <message>
        <source>New palette</source>
        <translation>Nueva paleta</translation>
    </message>
    <message>
        <source>Rename</source>
        <translation>Renombrar</translation>
    </message>
    <message>
        <source>Delete</source>
        <translation>Eliminar</translation>
    </message>
    <message>
        <source>Hide options</source>
        <translation>Ocultar opciones</translation>
    </message>
    <message>
        <source>Show options</source>
        <translation>Mostrar opciones</translation>
    </message>
    <message>
        <source>Size</source>
        <translation>Tamaño</translation>
    </message>
    <message>
        <source>Spacing</source>
        <translation>Espaciado</translation>
    </message>
    <message>
        <source>Radius</source>
        <translation>Radio</translation>
    </message>
    <message>
        <source>Column count</source>
        <translation>Número de columnas</translation>
    </message>
    <message>
        <source>Grid options</source>
        <translation>Opciones de cuadrícula</translation>
    </message>
    <message>
        <source>Import…</source>
        <translation>Importar…</translation>
    </message>
    <message>
        <source>Add palettes from GIMP (.gpl), Adobe (.ase), CSS, text or Swatchbar (.json) files; dropping files here does the same</source>
        <translation>Añadir paletas desde archivos de GIMP (.gpl), Adobe (.ase), CSS, texto o Swatchbar (.json); soltar archivos aquí hace lo mismo</translation>
    </message>
    <message>
        <source>Delete palette</source>
        <translation>Eliminar paleta</translation>
    </message>
    <message>
        <source>Export…</source>
        <translation>Exportar…</translation>
    </message>
    <message>
        <source>Import palettes</source>
        <translation>Importar paletas</translation>
    </message>
    <message>
        <source>Palette files (*.gpl *.ase *.css *.txt *.json)</source>
        <translation>Archivos de paleta (*.gpl *.ase *.css *.txt *.json)</translation>
    </message>
    <message>
        <source>All files (*)</source>
        <translation>Todos los archivos (*)</translation>
    </message>
    <message>
        <source>Export “%1”</source>
        <translation>Exportar “%1”</translation>
    </message>
    <message>
        <source>GIMP palette (*.gpl)</source>
        <translation>Paleta de GIMP (*.gpl)</translation>
    </message>
    <message>
        <source>Adobe Swatch Exchange (*.ase)</source>
        <translation>Adobe Swatch Exchange (*.ase)</translation>
    </message>
    <message>
        <source>CSS custom properties (*.css)</source>
        <translation>Propiedades personalizadas de CSS (*.css)</translation>
    </message>
    <message>
        <source>Plain text (*.txt)</source>
        <translation>Texto sin formato (*.txt)</translation>
    </message>
    <message>
        <source>Swatchbar palette (*.json)</source>
        <translation>Paleta de Swatchbar (*.json)</translation>
    </message>
    <message>
        <source>Find</source>
        <translation>Buscar</translation>
    </message>
    <message>
        <source>Import</source>
        <translation>Importación</translation>
    </message>
    <message>
        <source>Colors in each palette</source>
        <translation>Colores de cada paleta</translation>
    </message>
</context>
<context>
    <name>PaletteColorGridModel</name>
    <message>
        <source>Add color</source>
        <translation>Añadir color</translation>
    </message>
</context>
<context>
    <name>PaletteColorGridView</name>
    <message>
        <source>Colors</source>
        <translation>Colores</translation>
    </message>
    <message>
        <source>Edit</source>
        <translation>Editar</translation>
    </message>
    <message>
        <source>Delete</source>
        <translation>Eliminar</translation>
    </message>
    <message>
        <source>New color</source>
        <translation>Nuevo color</translation>
    </message>
</context>
<context>
    <name>PaletteModifyColorView</name>
    <message>
        <source>Name</source>
        <translation>Nombre</translation>
    </message>
    <message>
        <source>Color</source>
        <translation>Color</translation>
    </message>
    <message>
        <source>Pick a color</source>
        <translation>Elegir un color</translation>
    </message>
    <message>
        <source>Cancel</source>
        <translation>Cancelar</translation>
    </message>
    <message>
        <source>Ok</source>
        <translation>Aceptar</translation>
    </message>
    <message>
        <source>Color text</source>
        <translation>Texto del color</translation>
    </message>
    <message>
        <source>#RRGGBB, rgb(), hsl() or a color name</source>
        <translation>#RRGGBB, rgb(), hsl() o un nombre de color</translation>
    </message>
    <message>
        <source>Not a color</source>
        <translation>No es un color</translation>
    </message>
</context>
<context>
    <name>PaletteOptionsView</name>
    <message>
        <source>Size</source>
        <translation>Tamaño</translation>
    </message>
    <message>
        <source>Spacing</source>
        <translation>Espaciado</translation>
    </message>
    <message>
        <source>Radius</source>
        <translation>Radio</translation>
    </message>
    <message>
        <source>Column count</source>
        <translation>Número de columnas</translation>
    </message>
    <message>
        <source>View options</source>
        <translation>Opciones de vista</translation>
    </message>
</context>
<context>
    <name>PaletteView</name>
    <message>
        <source>Copy format</source>
        <translation>Formato de copia</translation>
    </message>
    <message>
        <source>Hide options</source>
        <translation>Ocultar opciones</translation>
    </message>
    <message>
        <source>Show options</source>
        <translation>Mostrar opciones</translation>
    </message>
    <message>
        <source>Colors</source>
        <translation>Colores</translation>
    </message>
    <message>
        <source>Pick</source>
        <translation>Capturar</translation>
    </message>
    <message>
        <source>Pick a color on screen and add it to this palette</source>
        <translation>Capturar un color de la pantalla y añadirlo a esta paleta</translation>
    </message>
    <message>
        <source>Edit formats…</source>
        <translation>Editar formatos…</translation>
    </message>
    <message>
        <source>No screen color picker is available.</source>
        <translation>No hay ningún selector de color de pantalla disponible.</translation>
    </message>
    <message>
        <source>Find</source>
        <translation>Buscar</translation>
    </message>
</context>
<context>
    <name>PaletteWindow</name>
    <message>
        <source>Viewing: </source>
        <translation>Viendo: </translation>
    </message>
    <message>
        <source>Edit color</source>
        <translation>Editar color</translation>
    </message>
    <message>
        <source>Add color</source>
        <translation>Añadir color</translation>
    </message>
    <message>
        <source>Delete color</source>
        <translation>Eliminar color</translation>
    </message>
</context>
<context>
    <name>PickerOverlay</name>
    <message>
        <source>Pick color</source>
        <translation>Capturar color</translation>
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
        <translation>Iniciar al iniciar sesión</translation>
    </message>
    <message>
        <source>hide app in dock</source>
        <translation>ocultar la app en el dock</translation>
    </message>
    <message>
        <source>Open palettes folder</source>
        <translation>Abrir carpeta de paletas</translation>
    </message>
    <message>
        <source>Reload palettes</source>
        <translation>Recargar paletas</translation>
    </message>
    <message>
        <source>Hints:</source>
        <translation>Consejos:</translation>
    </message>
    <message>
        <source>Options</source>
        <translation>Opciones</translation>
    </message>
    <message>
        <source>Click on a color to copy it without switching focus to Swatchbar</source>
        <translation>Haz clic en un color para copiarlo sin cambiar el foco a Swatchbar</translation>
    </message>
    <message>
        <source>Click on a color to copy it</source>
        <translation>Haz clic en un color para copiarlo</translation>
    </message>
    <message>
        <source>No file viewer could show %1</source>
        <translation>Ningún gestor de archivos pudo mostrar %1</translation>
    </message>
</context>
<context>
    <name>PreferencesWindow</name>
    <message>
        <source>Preferences</source>
        <translation>Preferencias</translation>
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
        <translation>Deshacer: %1</translation>
    </message>
    <message>
        <source>Undo</source>
        <translation>Deshacer</translation>
    </message>
    <message>
        <source>Redo %1</source>
        <translation>Rehacer: %1</translation>
    </message>
    <message>
        <source>Redo</source>
        <translation>Rehacer</translation>
    </message>
</context>
</TS>
