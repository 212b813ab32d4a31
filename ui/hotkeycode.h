// Turns a stored hot-key code into the modifiers and virtual key that RegisterHotKey takes.
//
// The code is what the settings dialog's hot-key control delivers: only its low 16 bits count,
// the virtual key in the low byte and the control's modifier flags in the high byte. The two sets
// of flags are numbered differently (the control's Alt is RegisterHotKey's Shift), which is the
// whole reason for this translation. Pure and free of platform headers, so it can be checked on
// its own.
#pragma once

// The hot-key control's flags in the high byte (HOTKEYF_SHIFT, _CONTROL, _ALT, _EXT).
constexpr unsigned HotKeyFlagShift = 0x01;
constexpr unsigned HotKeyFlagControl = 0x02;
constexpr unsigned HotKeyFlagAlt = 0x04;
constexpr unsigned HotKeyFlagExtended = 0x08;

// RegisterHotKey's modifiers (MOD_ALT, MOD_CONTROL, MOD_SHIFT, MOD_WIN).
constexpr unsigned HotKeyModAlt = 0x01;
constexpr unsigned HotKeyModControl = 0x02;
constexpr unsigned HotKeyModShift = 0x04;
constexpr unsigned HotKeyModWin = 0x08;

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

// The combination a code stands for. High-byte flags other than the four above are dropped. The
// extended-key flag comes out as MOD_WIN: that is how RegisterHotKey reads the bit of the same
// value, and the settings dialog has always offered it so.
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
    if (flags & HotKeyFlagExtended) {
        modifiers |= HotKeyModWin;
    }
    return {modifiers, bits & 0xFFu};
}
