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
    <message>
        <source>Pick color</source>
        <translation>Capturar cor</translation>
    </message>
    <message>
        <source>No screen color picker is available.</source>
        <translation>Nenhum seletor de cor de tela está disponível.</translation>
    </message>
</context>
<context>
    <name>CommandLine</name>
    <message>
        <source>Show this help and exit.</source>
        <translation>Mostrar esta ajuda e sair.</translation>
    </message>
    <message>
        <source>Show the version and exit.</source>
        <translation>Mostrar a versão e sair.</translation>
    </message>
    <message>
        <source>Pick a color on screen with the running Swatchbar (started first when none runs) and add it to the &quot;Picked&quot; palette.</source>
        <translation>Capturar uma cor na tela com o Swatchbar em execução (iniciado antes, se nenhum estiver rodando) e adicioná-la à paleta &quot;Picked&quot;.</translation>
    </message>
    <message>
        <source>Import palette files (.gpl, .ase, .css, .txt, .json) given after the options into the palettes folder.</source>
        <translation>Importar para a pasta de paletas os arquivos de paleta (.gpl, .ase, .css, .txt, .json) indicados após as opções.</translation>
    </message>
    <message>
        <source>Write the palette &lt;name&gt; to the file given after the options, in the format its extension names (.gpl, .ase, .css, .txt, .json).</source>
        <translation>Gravar a paleta &lt;name&gt; no arquivo indicado após as opções, no formato indicado pela extensão dele (.gpl, .ase, .css, .txt, .json).</translation>
    </message>
    <message>
        <source>Print every palette&apos;s name, one per line.</source>
        <translation>Mostrar o nome de cada paleta, um por linha.</translation>
    </message>
    <message>
        <source>Print each color of the palette &lt;name&gt; as its text in the palette&apos;s copy format, a tab and the color&apos;s name.</source>
        <translation>Mostrar cada cor da paleta &lt;name&gt;: o texto dela no formato de cópia da paleta, uma tabulação e o nome da cor.</translation>
    </message>
    <message>
        <source>Color palettes in the system tray: click a swatch to copy its color as text.</source>
        <translation>Paletas de cores na bandeja do sistema: clique em uma amostra para copiar a cor dela como texto.</translation>
    </message>
    <message>
        <source>Files for --import, or the one file for --export.</source>
        <translation>Arquivos para --import ou o único arquivo para --export.</translation>
    </message>
    <message>
        <source>Use only one of --pick, --import, --export, --list and --print.</source>
        <translation>Use apenas uma das opções --pick, --import, --export, --list e --print.</translation>
    </message>
    <message>
        <source>--import needs at least one file.</source>
        <translation>--import precisa de pelo menos um arquivo.</translation>
    </message>
    <message>
        <source>--export needs a palette name and one file.</source>
        <translation>--export precisa de um nome de paleta e um arquivo.</translation>
    </message>
    <message>
        <source>Unexpected argument: %1</source>
        <translation>Argumento inesperado: %1</translation>
    </message>
    <message>
        <source>&quot;%1&quot; is not valid text in the system&apos;s encoding.</source>
        <translation>“%1” não é um texto válido na codificação do sistema.</translation>
    </message>
</context>
<context>
    <name>FormatEditor</name>
    <message>
        <source>Copy formats</source>
        <translation>Formatos de cópia</translation>
    </message>
    <message>
        <source>Template</source>
        <translation>Modelo</translation>
    </message>
    <message>
        <source>Copies</source>
        <translation>Copia</translation>
    </message>
    <message>
        <source>Your formats</source>
        <translation>Seus formatos</translation>
    </message>
    <message>
        <source>e.g. rgb(§r §g §b)</source>
        <translation>ex.: rgb(§r §g §b)</translation>
    </message>
    <message>
        <source>Preview</source>
        <translation>Pré-visualização</translation>
    </message>
    <message>
        <source>Add</source>
        <translation>Adicionar</translation>
    </message>
    <message>
        <source>Change</source>
        <translation>Alterar</translation>
    </message>
    <message>
        <source>Remove</source>
        <translation>Remover</translation>
    </message>
    <message>
        <source>Move up</source>
        <translation>Mover para cima</translation>
    </message>
    <message>
        <source>Move down</source>
        <translation>Mover para baixo</translation>
    </message>
    <message>
        <source>Ready-made formats</source>
        <translation>Formatos prontos</translation>
    </message>
    <message>
        <source>Click to add</source>
        <translation>Clique para adicionar</translation>
    </message>
    <message>
        <source>Your formats, after the built-in ones in &quot;Copy format&quot;:</source>
        <translation>Seus formatos, depois dos integrados em &quot;Formato de cópia&quot;:</translation>
    </message>
    <message>
        <source>Ready-made (click to add):</source>
        <translation>Prontos (clique para adicionar):</translation>
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
        <translation>Decimais</translation>
    </message>
    <message>
        <source>Tokens: §r §g §b §a (0–255), §hex (RRGGBB), §hexA (RRGGBBAA), §r01 §g01 §b01 §a01 (exact fractions), §{h} §{s} §{l} (HSL: hue 0–359°, saturation and lightness in %), §{okl} §{okc} §{okh} (OKLCH: lightness and chroma with 3 decimals, hue in degrees with 1), §{r1} §{g1} §{b1} §{a1} (0–1 with 3 decimals), §{ahex} (alpha as two hex digits). Everything else is copied as written.</source>
        <translation>Códigos: §r §g §b §a (0–255), §hex (RRGGBB), §hexA (RRGGBBAA), §r01 §g01 §b01 §a01 (frações exatas), §{h} §{s} §{l} (HSL: matiz 0–359°, saturação e luminosidade em %), §{okl} §{okc} §{okh} (OKLCH: luminosidade e croma com 3 casas decimais, matiz em graus com 1), §{r1} §{g1} §{b1} §{a1} (0–1 com 3 casas decimais), §{ahex} (alfa como dois dígitos hexadecimais). Todo o resto é copiado como está.</translation>
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
    <message>
        <source>Rename palette</source>
        <translation>Renomear paleta</translation>
    </message>
    <message>
        <source>New palette</source>
        <translation>Nova paleta</translation>
    </message>
    <message>
        <source>Type a name</source>
        <translation>Digite um nome</translation>
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
    <message>
        <source>Import…</source>
        <translation>Importar…</translation>
    </message>
    <message>
        <source>Add palettes from GIMP (.gpl), Adobe (.ase), CSS, text or Swatchbar (.json) files; dropping files here does the same</source>
        <translation>Adicionar paletas de arquivos do GIMP (.gpl), Adobe (.ase), CSS, texto ou Swatchbar (.json); soltar arquivos aqui faz o mesmo</translation>
    </message>
    <message>
        <source>Delete palette</source>
        <translation>Excluir paleta</translation>
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
        <translation>Arquivos de paleta (*.gpl *.ase *.css *.txt *.json)</translation>
    </message>
    <message>
        <source>All files (*)</source>
        <translation>Todos os arquivos (*)</translation>
    </message>
    <message>
        <source>Export “%1”</source>
        <translation>Exportar “%1”</translation>
    </message>
    <message>
        <source>GIMP palette (*.gpl)</source>
        <translation>Paleta do GIMP (*.gpl)</translation>
    </message>
    <message>
        <source>Adobe Swatch Exchange (*.ase)</source>
        <translation>Adobe Swatch Exchange (*.ase)</translation>
    </message>
    <message>
        <source>CSS custom properties (*.css)</source>
        <translation>Propriedades personalizadas CSS (*.css)</translation>
    </message>
    <message>
        <source>Plain text (*.txt)</source>
        <translation>Texto simples (*.txt)</translation>
    </message>
    <message>
        <source>Swatchbar palette (*.json)</source>
        <translation>Paleta do Swatchbar (*.json)</translation>
    </message>
    <message>
        <source>Find</source>
        <translation>Buscar</translation>
    </message>
    <message>
        <source>Import</source>
        <translation>Importação</translation>
    </message>
    <message>
        <source>Colors in each palette</source>
        <translation>Cores de cada paleta</translation>
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
    <message>
        <source>Color text</source>
        <translation>Texto da cor</translation>
    </message>
    <message>
        <source>#RRGGBB, rgb(), hsl() or a color name</source>
        <translation>#RRGGBB, rgb(), hsl() ou um nome de cor</translation>
    </message>
    <message>
        <source>Not a color</source>
        <translation>Não é uma cor</translation>
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
    <message>
        <source>Pick</source>
        <translation>Capturar</translation>
    </message>
    <message>
        <source>Pick a color on screen and add it to this palette</source>
        <translation>Capturar uma cor na tela e adicioná-la a esta paleta</translation>
    </message>
    <message>
        <source>Edit formats…</source>
        <translation>Editar formatos…</translation>
    </message>
    <message>
        <source>No screen color picker is available.</source>
        <translation>Nenhum seletor de cor de tela está disponível.</translation>
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
        <translation>Exibindo: </translation>
    </message>
    <message>
        <source>Edit color</source>
        <translation>Editar cor</translation>
    </message>
    <message>
        <source>Add color</source>
        <translation>Adicionar cor</translation>
    </message>
    <message>
        <source>Delete color</source>
        <translation>Excluir cor</translation>
    </message>
</context>
<context>
    <name>PickerOverlay</name>
    <message>
        <source>Pick color</source>
        <translation>Capturar cor</translation>
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
        <source>Options</source>
        <translation>Opções</translation>
    </message>
    <message>
        <source>Click on a color to copy it without switching focus to Swatchbar</source>
        <translation>Clique em uma cor para copiá-la sem mudar o foco para o Swatchbar</translation>
    </message>
    <message>
        <source>Click on a color to copy it</source>
        <translation>Clique em uma cor para copiá-la</translation>
    </message>
    <message>
        <source>No file viewer could show %1</source>
        <translation>Nenhum gerenciador de arquivos conseguiu mostrar %1</translation>
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
<context>
    <name>UndoActions</name>
    <message>
        <source>Undo %1</source>
        <translation>Desfazer: %1</translation>
    </message>
    <message>
        <source>Undo</source>
        <translation>Desfazer</translation>
    </message>
    <message>
        <source>Redo %1</source>
        <translation>Refazer: %1</translation>
    </message>
    <message>
        <source>Redo</source>
        <translation>Refazer</translation>
    </message>
</context>
</TS>
