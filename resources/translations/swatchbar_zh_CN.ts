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
</context>
<context>
    <name>PaletteWindow</name>
    <message>
        <source>Viewing: </source>
        <translation>查看：</translation>
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
        <source>Command click on a color to copy it without switching focus to Swatchbar</source>
        <translation>按住 Command 键点击颜色即可复制，焦点不会切换到 Swatchbar</translation>
    </message>
    <message>
        <source>Default color palettes from your own palettes folder</source>
        <translation>默认调色板来自您自己的调色板文件夹</translation>
    </message>
    <message>
        <source>Options</source>
        <translation>选项</translation>
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
</TS>
