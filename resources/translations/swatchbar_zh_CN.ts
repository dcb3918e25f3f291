<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="zh_CN">
<context>
    <name>AppDelegate</name>
    <message>
        <source>Preferences</source>
        <translation>首选项</translation>
    </message>
    <message>
        <source>Quit</source>
        <translation>退出</translation>
    </message>
    <message>
        <source>Pick color</source>
        <translation>拾取颜色</translation>
    </message>
    <message>
        <source>No screen color picker is available.</source>
        <translation>没有可用的屏幕取色工具。</translation>
    </message>
</context>
<context>
    <name>CommandLine</name>
    <message>
        <source>Show this help and exit.</source>
        <translation>显示此帮助并退出。</translation>
    </message>
    <message>
        <source>Show the version and exit.</source>
        <translation>显示版本并退出。</translation>
    </message>
    <message>
        <source>Pick a color on screen with the running Swatchbar (started first when none runs) and add it to the &quot;Picked&quot; palette.</source>
        <translation>用正在运行的 Swatchbar（若未运行则先启动）拾取屏幕上的颜色，并添加到“Picked”调色板。</translation>
    </message>
    <message>
        <source>Import palette files (.gpl, .ase, .css, .txt, .json) given after the options into the palettes folder.</source>
        <translation>将选项后给出的调色板文件（.gpl、.ase、.css、.txt、.json）导入调色板文件夹。</translation>
    </message>
    <message>
        <source>Write the palette &lt;name&gt; to the file given after the options, in the format its extension names (.gpl, .ase, .css, .txt, .json).</source>
        <translation>将调色板 &lt;name&gt; 写入选项后给出的文件，格式由其扩展名决定（.gpl、.ase、.css、.txt、.json）。</translation>
    </message>
    <message>
        <source>Print every palette&apos;s name, one per line.</source>
        <translation>输出所有调色板的名称，每行一个。</translation>
    </message>
    <message>
        <source>Print each color of the palette &lt;name&gt; as its text in the palette&apos;s copy format, a tab and the color&apos;s name.</source>
        <translation>输出调色板 &lt;name&gt; 中的每种颜色：按调色板复制格式生成的文本、一个制表符和颜色名称。</translation>
    </message>
    <message>
        <source>Color palettes in the system tray: click a swatch to copy its color as text.</source>
        <translation>系统托盘中的调色板：点击色块即可将其颜色复制为文本。</translation>
    </message>
    <message>
        <source>Files for --import, or the one file for --export.</source>
        <translation>--import 的文件，或 --export 的单个文件。</translation>
    </message>
    <message>
        <source>Use only one of --pick, --import, --export, --list and --print.</source>
        <translation>--pick、--import、--export、--list 和 --print 只能使用其中一个。</translation>
    </message>
    <message>
        <source>--import needs at least one file.</source>
        <translation>--import 至少需要一个文件。</translation>
    </message>
    <message>
        <source>--export needs a palette name and one file.</source>
        <translation>--export 需要一个调色板名称和一个文件。</translation>
    </message>
    <message>
        <source>Unexpected argument: %1</source>
        <translation>意外的参数：%1</translation>
    </message>
    <message>
        <source>&quot;%1&quot; is not valid text in the system&apos;s encoding.</source>
        <translation>“%1”不是系统编码中的有效文本。</translation>
    </message>
</context>
<context>
    <name>FormatEditor</name>
    <message>
        <source>Copy formats</source>
        <translation>复制格式</translation>
    </message>
    <message>
        <source>Template</source>
        <translation>模板</translation>
    </message>
    <message>
        <source>Copies</source>
        <translation>复制结果</translation>
    </message>
    <message>
        <source>Your formats</source>
        <translation>您的格式</translation>
    </message>
    <message>
        <source>e.g. rgb(§r §g §b)</source>
        <translation>例如：rgb(§r §g §b)</translation>
    </message>
    <message>
        <source>Preview</source>
        <translation>预览</translation>
    </message>
    <message>
        <source>Add</source>
        <translation>添加</translation>
    </message>
    <message>
        <source>Change</source>
        <translation>更改</translation>
    </message>
    <message>
        <source>Remove</source>
        <translation>移除</translation>
    </message>
    <message>
        <source>Move up</source>
        <translation>上移</translation>
    </message>
    <message>
        <source>Move down</source>
        <translation>下移</translation>
    </message>
    <message>
        <source>Ready-made formats</source>
        <translation>现成格式</translation>
    </message>
    <message>
        <source>Click to add</source>
        <translation>点击添加</translation>
    </message>
    <message>
        <source>Your formats, after the built-in ones in &quot;Copy format&quot;:</source>
        <translation>您的格式（在“复制格式”中排在内置格式之后）：</translation>
    </message>
    <message>
        <source>Ready-made (click to add):</source>
        <translation>现成格式（点击添加）：</translation>
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
        <translation>浮点数</translation>
    </message>
    <message>
        <source>Tokens: §r §g §b §a (0–255), §hex (RRGGBB), §hexA (RRGGBBAA), §r01 §g01 §b01 §a01 (exact fractions), §{h} §{s} §{l} (HSL: hue 0–359°, saturation and lightness in %), §{okl} §{okc} §{okh} (OKLCH: lightness and chroma with 3 decimals, hue in degrees with 1), §{r1} §{g1} §{b1} §{a1} (0–1 with 3 decimals), §{ahex} (alpha as two hex digits). Everything else is copied as written.</source>
        <translation>标记：§r §g §b §a（0–255）、§hex（RRGGBB）、§hexA（RRGGBBAA）、§r01 §g01 §b01 §a01（精确比例）、§{h} §{s} §{l}（HSL：色相 0–359°，饱和度和亮度以 % 表示）、§{okl} §{okc} §{okh}（OKLCH：亮度和色度保留 3 位小数，色相以度为单位保留 1 位小数）、§{r1} §{g1} §{b1} §{a1}（0–1，保留 3 位小数）、§{ahex}（以两位十六进制数字表示 alpha）。其他内容按原样复制。</translation>
    </message>
</context>
<context>
    <name>MenuItemModifyView</name>
    <message>
        <source>Cancel</source>
        <translation>取消</translation>
    </message>
    <message>
        <source>Ok</source>
        <translation>确定</translation>
    </message>
    <message>
        <source>Name</source>
        <translation>名称</translation>
    </message>
    <message>
        <source>Another palette has this name</source>
        <translation>已有同名的调色板</translation>
    </message>
    <message>
        <source>A file with this name exists</source>
        <translation>已存在同名文件</translation>
    </message>
    <message>
        <source>Rename palette</source>
        <translation>重命名调色板</translation>
    </message>
    <message>
        <source>New palette</source>
        <translation>新建调色板</translation>
    </message>
    <message>
        <source>Type a name</source>
        <translation>请输入名称</translation>
    </message>
</context>
<context>
    <name>MenuItemView</name>
    <message>
        <source>Preferences</source>
        <translation>首选项</translation>
    </message>
    <message>
        <source>Quit</source>
        <translation>退出</translation>
    </message>
    <message>
        <source>Palettes</source>
        <translation>调色板</translation>
    </message>
    <message>
        <source>New palette</source>
        <translation>新建调色板</translation>
    </message>
    <message>
        <source>Rename</source>
        <translation>重命名</translation>
    </message>
    <message>
        <source>Delete</source>
        <translation>删除</translation>
    </message>
    <message>
        <source>Hide options</source>
        <translation>隐藏选项</translation>
    </message>
    <message>
        <source>Show options</source>
        <translation>显示选项</translation>
    </message>
    <message>
        <source>Size</source>
        <translation>大小</translation>
    </message>
    <message>
        <source>Spacing</source>
        <translation>间距</translation>
    </message>
    <message>
        <source>Radius</source>
        <translation>圆角半径</translation>
    </message>
    <message>
        <source>Column count</source>
        <translation>列数</translation>
    </message>
    <message>
        <source>Grid options</source>
        <translation>网格选项</translation>
    </message>
    <message>
        <source>Import…</source>
        <translation>导入…</translation>
    </message>
    <message>
        <source>Add palettes from GIMP (.gpl), Adobe (.ase), CSS, text or Swatchbar (.json) files; dropping files here does the same</source>
        <translation>从 GIMP (.gpl)、Adobe (.ase)、CSS、文本或 Swatchbar (.json) 文件添加调色板；将文件拖放到此处效果相同</translation>
    </message>
    <message>
        <source>Delete palette</source>
        <translation>删除调色板</translation>
    </message>
    <message>
        <source>Export…</source>
        <translation>导出…</translation>
    </message>
    <message>
        <source>Import palettes</source>
        <translation>导入调色板</translation>
    </message>
    <message>
        <source>Palette files (*.gpl *.ase *.css *.txt *.json)</source>
        <translation>调色板文件 (*.gpl *.ase *.css *.txt *.json)</translation>
    </message>
    <message>
        <source>All files (*)</source>
        <translation>所有文件 (*)</translation>
    </message>
    <message>
        <source>Export “%1”</source>
        <translation>导出“%1”</translation>
    </message>
    <message>
        <source>GIMP palette (*.gpl)</source>
        <translation>GIMP 调色板 (*.gpl)</translation>
    </message>
    <message>
        <source>Adobe Swatch Exchange (*.ase)</source>
        <translation>Adobe Swatch Exchange (*.ase)</translation>
    </message>
    <message>
        <source>CSS custom properties (*.css)</source>
        <translation>CSS 自定义属性 (*.css)</translation>
    </message>
    <message>
        <source>Plain text (*.txt)</source>
        <translation>纯文本 (*.txt)</translation>
    </message>
    <message>
        <source>Swatchbar palette (*.json)</source>
        <translation>Swatchbar 调色板 (*.json)</translation>
    </message>
    <message>
        <source>Find</source>
        <translation>查找</translation>
    </message>
    <message>
        <source>Import</source>
        <translation>导入</translation>
    </message>
    <message>
        <source>Colors in each palette</source>
        <translation>每个调色板中的颜色</translation>
    </message>
</context>
<context>
    <name>PaletteColorGridModel</name>
    <message>
        <source>Add color</source>
        <translation>添加颜色</translation>
    </message>
</context>
<context>
    <name>PaletteColorGridView</name>
    <message>
        <source>Colors</source>
        <translation>颜色</translation>
    </message>
    <message>
        <source>Edit</source>
        <translation>编辑</translation>
    </message>
    <message>
        <source>Delete</source>
        <translation>删除</translation>
    </message>
    <message>
        <source>New color</source>
        <translation>新颜色</translation>
    </message>
</context>
<context>
    <name>PaletteModifyColorView</name>
    <message>
        <source>Name</source>
        <translation>名称</translation>
    </message>
    <message>
        <source>Color</source>
        <translation>颜色</translation>
    </message>
    <message>
        <source>Pick a color</source>
        <translation>选择颜色</translation>
    </message>
    <message>
        <source>Cancel</source>
        <translation>取消</translation>
    </message>
    <message>
        <source>Ok</source>
        <translation>确定</translation>
    </message>
    <message>
        <source>Color text</source>
        <translation>颜色文本</translation>
    </message>
    <message>
        <source>#RRGGBB, rgb(), hsl() or a color name</source>
        <translation>#RRGGBB、rgb()、hsl() 或颜色名称</translation>
    </message>
    <message>
        <source>Not a color</source>
        <translation>不是颜色</translation>
    </message>
</context>
<context>
    <name>PaletteOptionsView</name>
    <message>
        <source>Size</source>
        <translation>大小</translation>
    </message>
    <message>
        <source>Spacing</source>
        <translation>间距</translation>
    </message>
    <message>
        <source>Radius</source>
        <translation>圆角半径</translation>
    </message>
    <message>
        <source>Column count</source>
        <translation>列数</translation>
    </message>
    <message>
        <source>View options</source>
        <translation>视图选项</translation>
    </message>
</context>
<context>
    <name>PaletteView</name>
    <message>
        <source>Copy format</source>
        <translation>复制格式</translation>
    </message>
    <message>
        <source>Hide options</source>
        <translation>隐藏选项</translation>
    </message>
    <message>
        <source>Show options</source>
        <translation>显示选项</translation>
    </message>
    <message>
        <source>Colors</source>
        <translation>颜色</translation>
    </message>
    <message>
        <source>Pick</source>
        <translation>拾取</translation>
    </message>
    <message>
        <source>Pick a color on screen and add it to this palette</source>
        <translation>拾取屏幕上的颜色并添加到此调色板</translation>
    </message>
    <message>
        <source>Edit formats…</source>
        <translation>编辑格式…</translation>
    </message>
    <message>
        <source>No screen color picker is available.</source>
        <translation>没有可用的屏幕取色工具。</translation>
    </message>
    <message>
        <source>Find</source>
        <translation>查找</translation>
    </message>
</context>
<context>
    <name>PaletteWindow</name>
    <message>
        <source>Viewing: </source>
        <translation>查看：</translation>
    </message>
    <message>
        <source>Edit color</source>
        <translation>编辑颜色</translation>
    </message>
    <message>
        <source>Add color</source>
        <translation>添加颜色</translation>
    </message>
    <message>
        <source>Delete color</source>
        <translation>删除颜色</translation>
    </message>
</context>
<context>
    <name>PickerOverlay</name>
    <message>
        <source>Pick color</source>
        <translation>拾取颜色</translation>
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
        <translation>登录时启动</translation>
    </message>
    <message>
        <source>hide app in dock</source>
        <translation>在程序坞中隐藏应用</translation>
    </message>
    <message>
        <source>Open palettes folder</source>
        <translation>打开调色板文件夹</translation>
    </message>
    <message>
        <source>Reload palettes</source>
        <translation>重新加载调色板</translation>
    </message>
    <message>
        <source>Hints:</source>
        <translation>提示：</translation>
    </message>
    <message>
        <source>Options</source>
        <translation>选项</translation>
    </message>
    <message>
        <source>Click on a color to copy it without switching focus to Swatchbar</source>
        <translation>点击颜色即可复制，焦点不会切换到 Swatchbar</translation>
    </message>
    <message>
        <source>Click on a color to copy it</source>
        <translation>点击颜色即可复制</translation>
    </message>
    <message>
        <source>No file viewer could show %1</source>
        <translation>没有文件管理器能够显示 %1</translation>
    </message>
</context>
<context>
    <name>PreferencesWindow</name>
    <message>
        <source>Preferences</source>
        <translation>首选项</translation>
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
        <translation>撤销：%1</translation>
    </message>
    <message>
        <source>Undo</source>
        <translation>撤销</translation>
    </message>
    <message>
        <source>Redo %1</source>
        <translation>重做：%1</translation>
    </message>
    <message>
        <source>Redo</source>
        <translation>重做</translation>
    </message>
</context>
</TS>
