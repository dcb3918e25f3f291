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
</context>
<context>
    <name>PaletteWindow</name>
    <message>
        <source>Viewing: </source>
        <translation>表示中: </translation>
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
        <source>Command click on a color to copy it without switching focus to Swatchbar</source>
        <translation>Command キーを押しながら色をクリックすると、Swatchbar にフォーカスを移さずにコピーします</translation>
    </message>
    <message>
        <source>Default color palettes from your own palettes folder</source>
        <translation>既定のカラーパレットは自分のパレットフォルダーから</translation>
    </message>
    <message>
        <source>Options</source>
        <translation>オプション</translation>
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
</TS>
