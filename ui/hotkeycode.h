// Turns a stored hot-key code into the modifiers and virtual key that RegisterHotKey takes.
//
// The code is what the settings dialog's hot-key control delivers: only its low 16 bits count,
// the virtual key in the low byte and the control's modifier flags in the high byte. The two sets
// of flags are numbered differently (the control's Alt is RegisterHotKey's Shift), which is the
// whole reason for this translation. Pure and free of platform headers, so it can be checked on
// its own.
#pragma once

// The hot-key control's flags in the high byte (HOTKEYF_SHIFT, _CONTROL, _ALT, _EXT).
enum HotKeyFlag : unsigned {
    HotKeyFlagShift = 0x01,
    HotKeyFlagControl = 0x02,
    HotKeyFlagAlt = 0x04,
    HotKeyFlagExtended = 0x08,
};

// RegisterHotKey's modifiers (MOD_ALT, MOD_CONTROL, MOD_SHIFT); MOD_WIN is never asked for.
enum HotKeyMod : unsigned { HotKeyModAlt = 0x01, HotKeyModControl = 0x02, HotKeyModShift = 0x04 };

// The part of a stored code that means anything; the rest is ignored.
constexpr unsigned HotKeyCodeBits = 0xFFFF;

struct HotKeyCombination {
    unsigned modifiers;  // RegisterHotKey's MOD_* flags
    unsigned virtualKey; // the low byte of the code
};

// True when the code asks for no hot key at all: its low 16 bits are 0, whatever lies above.
constexpr bool IsNoHotKey(int code) {
    return (static_cast<unsigned>(code) & HotKeyCodeBits) == 0;
}

// The combination a code stands for. Only Shift, Ctrl and Alt become modifiers. The extended-key
// flag is no modifier at all: the control sets it for the arrows, Insert, Delete, Home, End, Page
// Up and Down and the keypad's "/" and Enter, and passed on it would be RegisterHotKey's MOD_WIN
// (the bit of the same value), so a chosen Ctrl+Alt+Left would never fire. The stored code keeps
// the flag, which the control needs to show the key by its right name.
constexpr HotKeyCombination HotKeyModifiers(int code) {
    unsigned bits = static_cast<unsigned>(code) & HotKeyCodeBits;
    unsigned flags = bits >> 8;
    unsigned modifiers = 0;
    if (flags & HotKeyFlagAlt) {
        modifiers |= HotKeyModAlt;
    }
    if (flags & HotKeyFlagControl) {
        modifiers |= HotKeyModControl;
    }
    if (flags & HotKeyFlagShift) {
        modifiers |= HotKeyModShift;
    }
    return {modifiers, bits & 0xFFu};
}
