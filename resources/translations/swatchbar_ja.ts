<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="ja_JP">
<context>
    <name>AppDelegate</name>
    <message>
        <source>Preferences</source>
        <translation>設定</translation>
    </message>
    <message>
        <source>Quit</source>
        <translation>終了</translation>
    </message>
    <message>
        <source>Pick color</source>
        <translation>色を取得</translation>
    </message>
    <message>
        <source>No screen color picker is available.</source>
        <translation>画面の色を取得するツールがありません。</translation>
    </message>
</context>
<context>
    <name>CommandLine</name>
    <message>
        <source>Show this help and exit.</source>
        <translation>このヘルプを表示して終了します。</translation>
    </message>
    <message>
        <source>Show the version and exit.</source>
        <translation>バージョンを表示して終了します。</translation>
    </message>
    <message>
        <source>Pick a color on screen with the running Swatchbar (started first when none runs) and add it to the &quot;Picked&quot; palette.</source>
        <translation>実行中の Swatchbar（なければ先に起動）で画面上の色を取得し、「Picked」パレットに追加します。</translation>
    </message>
    <message>
        <source>Import palette files (.gpl, .ase, .css, .txt, .json) given after the options into the palettes folder.</source>
        <translation>オプションの後に指定したパレットファイル（.gpl、.ase、.css、.txt、.json）をパレットフォルダーにインポートします。</translation>
    </message>
    <message>
        <source>Write the palette &lt;name&gt; to the file given after the options, in the format its extension names (.gpl, .ase, .css, .txt, .json).</source>
        <translation>パレット &lt;name&gt; を、オプションの後に指定したファイルに、その拡張子が示す形式（.gpl、.ase、.css、.txt、.json）で書き出します。</translation>
    </message>
    <message>
        <source>Print every palette&apos;s name, one per line.</source>
        <translation>すべてのパレットの名前を 1 行に 1 つずつ出力します。</translation>
    </message>
    <message>
        <source>Print each color of the palette &lt;name&gt; as its text in the palette&apos;s copy format, a tab and the color&apos;s name.</source>
        <translation>パレット &lt;name&gt; の各色を、パレットのコピー形式のテキスト、タブ、色の名前の順に出力します。</translation>
    </message>
    <message>
        <source>Color palettes in the system tray: click a swatch to copy its color as text.</source>
        <translation>システムトレイのカラーパレット: 色見本をクリックすると、その色をテキストとしてコピーします。</translation>
    </message>
    <message>
        <source>Files for --import, or the one file for --export.</source>
        <translation>--import 用のファイル、または --export 用の 1 つのファイル。</translation>
    </message>
    <message>
        <source>Use only one of --pick, --import, --export, --list and --print.</source>
        <translation>--pick、--import、--export、--list、--print のうち 1 つだけを指定してください。</translation>
    </message>
    <message>
        <source>--import needs at least one file.</source>
        <translation>--import には 1 つ以上のファイルが必要です。</translation>
    </message>
    <message>
        <source>--export needs a palette name and one file.</source>
        <translation>--export にはパレット名と 1 つのファイルが必要です。</translation>
    </message>
    <message>
        <source>Unexpected argument: %1</source>
        <translation>予期しない引数: %1</translation>
    </message>
    <message>
        <source>&quot;%1&quot; is not valid text in the system&apos;s encoding.</source>
        <translation>「%1」はシステムの文字コードで有効なテキストではありません。</translation>
    </message>
</context>
<context>
    <name>FormatEditor</name>
    <message>
        <source>Copy formats</source>
        <translation>コピー形式</translation>
    </message>
    <message>
        <source>Template</source>
        <translation>テンプレート</translation>
    </message>
    <message>
        <source>Copies</source>
        <translation>コピー結果</translation>
    </message>
    <message>
        <source>Your formats</source>
        <translation>自分の形式</translation>
    </message>
    <message>
        <source>e.g. rgb(§r §g §b)</source>
        <translation>例: rgb(§r §g §b)</translation>
    </message>
    <message>
        <source>Preview</source>
        <translation>プレビュー</translation>
    </message>
    <message>
        <source>Add</source>
        <translation>追加</translation>
    </message>
    <message>
        <source>Change</source>
        <translation>変更</translation>
    </message>
    <message>
        <source>Remove</source>
        <translation>削除</translation>
    </message>
    <message>
        <source>Move up</source>
        <translation>上へ</translation>
    </message>
    <message>
        <source>Move down</source>
        <translation>下へ</translation>
    </message>
    <message>
        <source>Ready-made formats</source>
        <translation>用意された形式</translation>
    </message>
    <message>
        <source>Click to add</source>
        <translation>クリックして追加</translation>
    </message>
    <message>
        <source>Your formats, after the built-in ones in &quot;Copy format&quot;:</source>
        <translation>自分の形式（「コピー形式」で組み込みの形式の後に表示）:</translation>
    </message>
    <message>
        <source>Ready-made (click to add):</source>
        <translation>用意された形式（クリックして追加）:</translation>
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
        <translation>小数</translation>
    </message>
    <message>
        <source>Tokens: §r §g §b §a (0–255), §hex (RRGGBB), §hexA (RRGGBBAA), §r01 §g01 §b01 §a01 (exact fractions), §{h} §{s} §{l} (HSL: hue 0–359°, saturation and lightness in %), §{okl} §{okc} §{okh} (OKLCH: lightness and chroma with 3 decimals, hue in degrees with 1), §{r1} §{g1} §{b1} §{a1} (0–1 with 3 decimals), §{ahex} (alpha as two hex digits). Everything else is copied as written.</source>
        <translation>トークン: §r §g §b §a（0–255）、§hex（RRGGBB）、§hexA（RRGGBBAA）、§r01 §g01 §b01 §a01（正確な比率）、§{h} §{s} §{l}（HSL: 色相 0–359°、彩度と輝度は %）、§{okl} §{okc} §{okh}（OKLCH: 明度とクロマは小数 3 桁、色相は度単位で小数 1 桁）、§{r1} §{g1} §{b1} §{a1}（0–1、小数 3 桁）、§{ahex}（アルファを 16 進 2 桁で）。それ以外の文字はそのままコピーされます。</translation>
    </message>
</context>
<context>
    <name>MenuItemModifyView</name>
    <message>
        <source>Cancel</source>
        <translation>キャンセル</translation>
    </message>
    <message>
        <source>Ok</source>
        <translation>OK</translation>
    </message>
    <message>
        <source>Name</source>
        <translation>名前</translation>
    </message>
    <message>
        <source>Another palette has this name</source>
        <translation>同じ名前のパレットがあります</translation>
    </message>
    <message>
        <source>A file with this name exists</source>
        <translation>この名前のファイルがあります</translation>
    </message>
    <message>
        <source>Rename palette</source>
        <translation>パレットの名前を変更</translation>
    </message>
    <message>
        <source>New palette</source>
        <translation>新しいパレット</translation>
    </message>
    <message>
        <source>Type a name</source>
        <translation>名前を入力してください</translation>
    </message>
</context>
<context>
    <name>MenuItemView</name>
    <message>
        <source>Preferences</source>
        <translation>設定</translation>
    </message>
    <message>
        <source>Quit</source>
        <translation>終了</translation>
    </message>
    <message>
        <source>Palettes</source>
        <translation>パレット</translation>
    </message>
    <message>
        <source>New palette</source>
        <translation>新しいパレット</translation>
    </message>
    <message>
        <source>Rename</source>
        <translation>名前を変更</translation>
    </message>
    <message>
        <source>Delete</source>
        <translation>削除</translation>
    </message>
    <message>
        <source>Hide options</source>
        <translation>オプションを隠す</translation>
    </message>
    <message>
        <source>Show options</source>
        <translation>オプションを表示</translation>
    </message>
    <message>
        <source>Size</source>
        <translation>サイズ</translation>
    </message>
    <message>
        <source>Spacing</source>
        <translation>間隔</translation>
    </message>
    <message>
        <source>Radius</source>
        <translation>角の半径</translation>
    </message>
    <message>
        <source>Column count</source>
        <translation>列数</translation>
    </message>
    <message>
        <source>Grid options</source>
        <translation>グリッドのオプション</translation>
    </message>
    <message>
        <source>Import…</source>
        <translation>インポート…</translation>
    </message>
    <message>
        <source>Add palettes from GIMP (.gpl), Adobe (.ase), CSS, text or Swatchbar (.json) files; dropping files here does the same</source>
        <translation>GIMP（.gpl）、Adobe（.ase）、CSS、テキスト、Swatchbar（.json）のファイルからパレットを追加します。ここにファイルをドロップしても同じです</translation>
    </message>
    <message>
        <source>Delete palette</source>
        <translation>パレットを削除</translation>
    </message>
    <message>
        <source>Export…</source>
        <translation>エクスポート…</translation>
    </message>
    <message>
        <source>Import palettes</source>
        <translation>パレットをインポート</translation>
    </message>
    <message>
        <source>Palette files (*.gpl *.ase *.css *.txt *.json)</source>
        <translation>パレットファイル (*.gpl *.ase *.css *.txt *.json)</translation>
    </message>
    <message>
        <source>All files (*)</source>
        <translation>すべてのファイル (*)</translation>
    </message>
    <message>
        <source>Export “%1”</source>
        <translation>「%1」をエクスポート</translation>
    </message>
    <message>
        <source>GIMP palette (*.gpl)</source>
        <translation>GIMP パレット (*.gpl)</translation>
    </message>
    <message>
        <source>Adobe Swatch Exchange (*.ase)</source>
        <translation>Adobe Swatch Exchange (*.ase)</translation>
    </message>
    <message>
        <source>CSS custom properties (*.css)</source>
        <translation>CSS カスタムプロパティ (*.css)</translation>
    </message>
    <message>
        <source>Plain text (*.txt)</source>
        <translation>プレーンテキスト (*.txt)</translation>
    </message>
    <message>
        <source>Swatchbar palette (*.json)</source>
        <translation>Swatchbar パレット (*.json)</translation>
    </message>
    <message>
        <source>Find</source>
        <translation>検索</translation>
    </message>
    <message>
        <source>Import</source>
        <translation>インポート</translation>
    </message>
    <message>
        <source>Colors in each palette</source>
        <translation>各パレットの色</translation>
    </message>
</context>
<context>
    <name>PaletteColorGridModel</name>
    <message>
        <source>Add color</source>
        <translation>色を追加</translation>
    </message>
</context>
<context>
    <name>PaletteColorGridView</name>
    <message>
        <source>Colors</source>
        <translation>色</translation>
    </message>
    <message>
        <source>Edit</source>
        <translation>編集</translation>
    </message>
    <message>
        <source>Delete</source>
        <translation>削除</translation>
    </message>
    <message>
        <source>New color</source>
        <translation>新しい色</translation>
    </message>
</context>
<context>
    <name>PaletteModifyColorView</name>
    <message>
        <source>Name</source>
        <translation>名前</translation>
    </message>
    <message>
        <source>Color</source>
        <translation>色</translation>
    </message>
    <message>
        <source>Pick a color</source>
        <translation>色を選択</translation>
    </message>
    <message>
        <source>Cancel</source>
        <translation>キャンセル</translation>
    </message>
    <message>
        <source>Ok</source>
        <translation>OK</translation>
    </message>
    <message>
        <source>Color text</source>
        <translation>色のテキスト</translation>
    </message>
    <message>
        <source>#RRGGBB, rgb(), hsl() or a color name</source>
        <translation>#RRGGBB、rgb()、hsl() または色の名前</translation>
    </message>
    <message>
        <source>Not a color</source>
        <translation>色ではありません</translation>
    </message>
</context>
<context>
    <name>PaletteOptionsView</name>
    <message>
        <source>Size</source>
        <translation>サイズ</translation>
    </message>
    <message>
        <source>Spacing</source>
        <translation>間隔</translation>
    </message>
    <message>
        <source>Radius</source>
        <translation>角の半径</translation>
    </message>
    <message>
        <source>Column count</source>
        <translation>列数</translation>
    </message>
    <message>
        <source>View options</source>
        <translation>表示オプション</translation>
    </message>
</context>
<context>
    <name>PaletteView</name>
    <message>
        <source>Copy format</source>
        <translation>コピー形式</translation>
    </message>
    <message>
        <source>Hide options</source>
        <translation>オプションを隠す</translation>
    </message>
    <message>
        <source>Show options</source>
        <translation>オプションを表示</translation>
    </message>
    <message>
        <source>Colors</source>
        <translation>色</translation>
    </message>
    <message>
        <source>Pick</source>
        <translation>取得</translation>
    </message>
    <message>
        <source>Pick a color on screen and add it to this palette</source>
        <translation>画面上の色を取得してこのパレットに追加</translation>
    </message>
    <message>
        <source>Edit formats…</source>
        <translation>形式を編集…</translation>
    </message>
    <message>
        <source>No screen color picker is available.</source>
        <translation>画面の色を取得するツールがありません。</translation>
    </message>
    <message>
        <source>Find</source>
        <translation>検索</translation>
    </message>
</context>
<context>
    <name>PaletteWindow</name>
    <message>
        <source>Viewing: </source>
        <translation>表示中: </translation>
    </message>
    <message>
        <source>Edit color</source>
        <translation>色を編集</translation>
    </message>
    <message>
        <source>Add color</source>
        <translation>色を追加</translation>
    </message>
    <message>
        <source>Delete color</source>
        <translation>色を削除</translation>
    </message>
</context>
<context>
    <name>PickerOverlay</name>
    <message>
        <source>Pick color</source>
        <translation>色を取得</translation>
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
        <translation>ログイン時に起動</translation>
    </message>
    <message>
        <source>hide app in dock</source>
        <translation>Dock にアプリを表示しない</translation>
    </message>
    <message>
        <source>Open palettes folder</source>
        <translation>パレットフォルダーを開く</translation>
    </message>
    <message>
        <source>Reload palettes</source>
        <translation>パレットを再読み込み</translation>
    </message>
    <message>
        <source>Hints:</source>
        <translation>ヒント:</translation>
    </message>
    <message>
        <source>Options</source>
        <translation>オプション</translation>
    </message>
    <message>
        <source>Click on a color to copy it without switching focus to Swatchbar</source>
        <translation>色をクリックすると、Swatchbar にフォーカスを移さずにコピーします</translation>
    </message>
    <message>
        <source>Click on a color to copy it</source>
        <translation>色をクリックするとコピーします</translation>
    </message>
    <message>
        <source>No file viewer could show %1</source>
        <translation>%1 を表示できるファイルビューアーがありません</translation>
    </message>
</context>
<context>
    <name>PreferencesWindow</name>
    <message>
        <source>Preferences</source>
        <translation>設定</translation>
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
        <translation>元に戻す: %1</translation>
    </message>
    <message>
        <source>Undo</source>
        <translation>元に戻す</translation>
    </message>
    <message>
        <source>Redo %1</source>
        <translation>やり直す: %1</translation>
    </message>
    <message>
        <source>Redo</source>
        <translation>やり直す</translation>
    </message>
</context>
</TS>
