#pragma once

// The editing mode of a panel: no editor, changing the item at the edited index, or adding one.
enum class ModifyType { None, Edit, Add };
