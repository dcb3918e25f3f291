<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="pt_BR">
<context>
    <name>AppDelegate</name>
    <message>
        <source>Preferences</source>
        <translation>Preferências</translation>
    </message>
    <message>
        <source>Quit</source>
        <translation>Sair</translation>
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
        <translation>OK</translation>
    </message>
    <message>
        <source>Name</source>
        <translation>Nome</translation>
    </message>
    <message>
        <source>Another palette has this name</source>
        <translation>Outra paleta tem este nome</translation>
    </message>
    <message>
        <source>A file with this name exists</source>
        <translation>Já existe um arquivo com este nome</translation>
    </message>
</context>
<context>
    <name>MenuItemView</name>
    <message>
        <source>Preferences</source>
        <translation>Preferências</translation>
    </message>
    <message>
        <source>Quit</source>
        <translation>Sair</translation>
    </message>
    <message>
        <source>Palettes</source>
        <translation>Paletas</translation>
    </message>
    <message>
        <source>New palette</source>
        <translation>Nova paleta</translation>
    </message>
    <message>
        <source>Rename</source>
        <translation>Renomear</translation>
    </message>
    <message>
        <source>Delete</source>
        <translation>Excluir</translation>
    </message>
    <message>
        <source>Hide options</source>
        <translation>Ocultar opções</translation>
    </message>
    <message>
        <source>Show options</source>
        <translation>Mostrar opções</translation>
    </message>
    <message>
        <source>Size</source>
        <translation>Tamanho</translation>
    </message>
    <message>
        <source>Spacing</source>
        <translation>Espaçamento</translation>
    </message>
    <message>
        <source>Radius</source>
        <translation>Raio</translation>
    </message>
    <message>
        <source>Column count</source>
        <translation>Número de colunas</translation>
    </message>
    <message>
        <source>Grid options</source>
        <translation>Opções da grade</translation>
    </message>
</context>
<context>
    <name>PaletteColorGridModel</name>
    <message>
        <source>Add color</source>
        <translation>Adicionar cor</translation>
    </message>
</context>
<context>
    <name>PaletteColorGridView</name>
    <message>
        <source>Colors</source>
        <translation>Cores</translation>
    </message>
    <message>
        <source>Edit</source>
        <translation>Editar</translation>
    </message>
    <message>
        <source>Delete</source>
        <translation>Excluir</translation>
    </message>
    <message>
        <source>New color</source>
        <translation>Nova cor</translation>
    </message>
</context>
<context>
    <name>PaletteModifyColorView</name>
    <message>
        <source>Name</source>
        <translation>Nome</translation>
    </message>
    <message>
        <source>Color</source>
        <translation>Cor</translation>
    </message>
    <message>
        <source>Pick a color</source>
        <translation>Escolher uma cor</translation>
    </message>
    <message>
        <source>Cancel</source>
        <translation>Cancelar</translation>
    </message>
    <message>
        <source>Ok</source>
        <translation>OK</translation>
    </message>
</context>
<context>
    <name>PaletteOptionsView</name>
    <message>
        <source>Size</source>
        <translation>Tamanho</translation>
    </message>
    <message>
        <source>Spacing</source>
        <translation>Espaçamento</translation>
    </message>
    <message>
        <source>Radius</source>
        <translation>Raio</translation>
    </message>
    <message>
        <source>Column count</source>
        <translation>Número de colunas</translation>
    </message>
    <message>
        <source>View options</source>
        <translation>Opções de exibição</translation>
    </message>
</context>
<context>
    <name>PaletteView</name>
    <message>
        <source>Copy format</source>
        <translation>Formato de cópia</translation>
    </message>
    <message>
        <source>Hide options</source>
        <translation>Ocultar opções</translation>
    </message>
    <message>
        <source>Show options</source>
        <translation>Mostrar opções</translation>
    </message>
    <message>
        <source>Colors</source>
        <translation>Cores</translation>
    </message>
</context>
<context>
    <name>PaletteWindow</name>
    <message>
        <source>Viewing: </source>
        <translation>Exibindo: </translation>
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
        <translation>Iniciar ao entrar na sessão</translation>
    </message>
    <message>
        <source>hide app in dock</source>
        <translation>ocultar o app no dock</translation>
    </message>
    <message>
        <source>Open palettes folder</source>
        <translation>Abrir pasta de paletas</translation>
    </message>
    <message>
        <source>Reload palettes</source>
        <translation>Recarregar paletas</translation>
    </message>
    <message>
        <source>Hints:</source>
        <translation>Dicas:</translation>
    </message>
    <message>
        <source>Command click on a color to copy it without switching focus to Swatchbar</source>
        <translation>Clique com Command em uma cor para copiá-la sem mudar o foco para o Swatchbar</translation>
    </message>
    <message>
        <source>Default color palettes from your own palettes folder</source>
        <translation>Paletas padrão da sua própria pasta de paletas</translation>
    </message>
    <message>
        <source>Options</source>
        <translation>Opções</translation>
    </message>
</context>
<context>
    <name>PreferencesWindow</name>
    <message>
        <source>Preferences</source>
        <translation>Preferências</translation>
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
