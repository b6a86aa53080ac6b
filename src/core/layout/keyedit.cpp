#include "keyedit.h"

#include "keytexts.h"

KeyEdit KeyEditOf(const s_key &key)
{
    KeyEdit edit;
    edit.name = QStringLiteral("Key:  VK_") + key.vk_name;
    for (ShiftState state : AllShiftStates) {
        const int i = int(state) - 1;
        edit.codes[i] = CodeOf(key, state);
        edit.chars[i] = CharOf(key, state);
    }
    edit.caps = CapsSet(key);
    return edit;
}

void StoreKeyEdit(const KeyEdit &edit, s_key &key)
{
    key.caps = edit.caps ? QStringLiteral("1") : QStringLiteral("0");
    for (ShiftState state : AllShiftStates) {
        const int i = int(state) - 1;
        CharOf(key, state) = TrimKeyText(edit.chars[i]);
        CodeOf(key, state) = TrimKeyText(edit.codes[i]);
    }
}
