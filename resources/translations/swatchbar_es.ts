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
</context>
<context>
    <name>PaletteWindow</name>
    <message>
        <source>Viewing: </source>
        <translation>Viendo: </translation>
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
        <source>Command click on a color to copy it without switching focus to Swatchbar</source>
        <translation>Haz clic con Comando en un color para copiarlo sin cambiar el foco a Swatchbar</translation>
    </message>
    <message>
        <source>Default color palettes from your own palettes folder</source>
        <translation>Paletas predeterminadas de tu propia carpeta de paletas</translation>
    </message>
    <message>
        <source>Options</source>
        <translation>Opciones</translation>
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
</TS>
