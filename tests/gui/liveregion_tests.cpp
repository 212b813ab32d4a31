// The real tolvex.exe end to end, as assistive technology meets it: the live-region events that
// announce the input line's result, seen through a WinEvent hook in this process, and the names
// of the line and of its result region as the platform's accessibility layer reports them. Which
// text is announced is checked in process (announce_tests.cpp).
#include <gtest/gtest.h>

#include <windows.h>

#include <oleacc.h>

#include <string>
#include <vector>

#include "tests/support/driver.h"

using namespace gui;

namespace {

struct WinEvent {
    HWND window;
    LONG object;
    LONG child;
};
// The live-region events this thread's hook has received, in order.
std::vector<WinEvent> LiveRegionEvents;

void CALLBACK RecordWinEvent(HWINEVENTHOOK, DWORD event, HWND window, LONG object, LONG child,
                             DWORD, DWORD) {
    if (event == EVENT_OBJECT_LIVEREGIONCHANGED) {
        LiveRegionEvents.push_back({window, object, child});
    }
}

class LiveRegion : public ::testing::Test {
  protected:
    void SetUp() override {
        ASSERT_TRUE(StartTolvex(FreshDirectory(TestName()), &tolvex));
        LiveRegionEvents.clear();
        // Out of context: the events come to this thread's message queue, handled while it waits.
        hook =
            SetWinEventHook(EVENT_OBJECT_LIVEREGIONCHANGED, EVENT_OBJECT_LIVEREGIONCHANGED, nullptr,
                            RecordWinEvent, tolvex.process.dwProcessId, 0, WINEVENT_OUTOFCONTEXT);
        ASSERT_NE(hook, nullptr);
    }
    void TearDown() override {
        UnhookWinEvent(hook);
        SendCommand(tolvex, 113); // IDM_EXIT
        EXPECT_TRUE(Ends(&tolvex));
    }

    // Keys given while the program cannot take them reach it as one batch: each restarts the
    // pause, and a timer message is only made when no posted message waits, so none of them can
    // be followed by the pause's end, however slowly either process runs.
    void PostBatch(const std::string& keys, bool enter) {
        ASSERT_NE(SuspendThread(tolvex.process.hThread), static_cast<DWORD>(-1));
        for (char key : keys) {
            PostChar(tolvex, static_cast<unsigned char>(key));
        }
        if (enter) {
            PostKey(tolvex, VK_RETURN);
        }
        ASSERT_NE(ResumeThread(tolvex.process.hThread), static_cast<DWORD>(-1));
    }
    size_t EventsNow() {
        PumpMessages();
        return LiveRegionEvents.size();
    }
    bool EventsReach(size_t count) {
        return WaitUntil([&] { return EventsNow() >= count; });
    }
    // The static control of no size that announces the result: directly in front of the label
    // that stands in front of the combo box.
    HWND Region() { return GetWindow(GetWindow(tolvex.combo, GW_HWNDPREV), GW_HWNDPREV); }
    // Every event so far came from the result region's own element, which now holds text.
    void ExpectAllFromTheRegion(const char* text) {
        EXPECT_EQ(WindowText(Region()), text);
        for (const WinEvent& event : LiveRegionEvents) {
            EXPECT_EQ(event.window, Region());
            EXPECT_EQ(event.object, OBJID_CLIENT);
            EXPECT_EQ(event.child, CHILDID_SELF);
        }
    }

    Tolvex tolvex;
    HWINEVENTHOOK hook = nullptr;
};

TEST_F(LiveRegion, FastKeysAreNotAnnouncedTheResultIsOnceTypingPausesAndAgainAtEnter) {
    PostBatch("12*3=", false);
    ASSERT_TRUE(WaitUntil([&] { return WindowText(tolvex.combo) == "12*3=36"; }));
    // One announcement for the keys once they pause, none while they come. An event the program
    // raised while it handled the keys was queued here before it answered the question that found
    // the result, so it is counted by now however slowly either side runs; counting before the
    // pause instead would race with it on a slow machine.
    ASSERT_TRUE(EventsReach(1)) << "no announcement once typing paused";
    EXPECT_EQ(EventsNow(), 1u) << "keys that came fast were announced one by one";

    // Enter tells the same result again: the user asked for it.
    PostKey(tolvex, VK_RETURN);
    ASSERT_TRUE(EventsReach(2)) << "no announcement at Enter";
    EXPECT_EQ(ListItems(tolvex.combo), std::vector<std::string>{"12*3=36"});
    ExpectAllFromTheRegion("36");
}

TEST_F(LiveRegion, EnterAnnouncesALineWithoutEqualsOnceItHasItsResult) {
    // A line without "=" has nothing to announce at a pause; Enter completes and announces it.
    PostBatch("6*7", true);
    ASSERT_TRUE(EventsReach(1));
    EXPECT_EQ(WindowText(tolvex.combo), "6*7=42");
    ExpectAllFromTheRegion("42");
}

// The name a screen reader gives the line, through the platform's accessibility layer in this
// process, as a reader asks for it.
// IAccessible's interface id, as documented (MinGW's import library offers another value).
constexpr IID AccessibleInterface = {
    0x618736e0, 0x3c3d, 0x11cf, {0x81, 0x0c, 0x00, 0xaa, 0x00, 0x38, 0x9b, 0x71}};

// The name the platform's accessibility layer gives a control of another process, as a screen
// reader asks for it; empty when it has none.
std::wstring AccessibleName(HWND window) {
    IAccessible* object = nullptr;
    if (FAILED(AccessibleObjectFromWindow(window, static_cast<DWORD>(OBJID_CLIENT),
                                          AccessibleInterface,
                                          reinterpret_cast<void**>(&object)))) {
        return L"(no object)";
    }
    VARIANT self = {};
    self.vt = VT_I4;
    self.lVal = CHILDID_SELF;
    BSTR name = nullptr;
    std::wstring text = object->get_accName(self, &name) == S_OK && name ? name : L"";
    SysFreeString(name);
    object->Release();
    return text;
}

TEST_F(LiveRegion, TheLineIsNamedByALabelInFrontOfIt) {
    // A static control directly in front of the combo box in the window order, as a dialog's
    // label stands in front of its field, holding the line's Japanese name.
    HWND label = GetWindow(tolvex.combo, GW_HWNDPREV);
    ASSERT_NE(label, nullptr);
    char className[32] = "";
    GetClassNameA(label, className, sizeof className);
    EXPECT_STRCASEEQ(className, "Static");
    wchar_t text[32] = L"";
    SendMessageW(label, WM_GETTEXT, 32, reinterpret_cast<LPARAM>(text));
    EXPECT_STREQ(text, L"計算式");
    RECT area = WindowRect(label);
    EXPECT_TRUE(IsRectEmpty(&area)) << "the label is never seen";

    // What the platform's accessibility layer makes of the edit field: Windows names it from the
    // label in front of its combo box, or from the name given through the property service;
    // Wine's layer looks for a label among the field's own siblings only, and its property
    // service keeps no names. Either way the field is never named after the line's text.
    ASSERT_TRUE(SUCCEEDED(CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED)));
    PostBatch("1+1=", false);
    ASSERT_TRUE(WaitUntil([&] { return WindowText(tolvex.combo) == "1+1=2"; }));
    std::wstring name = AccessibleName(tolvex.edit);
    EXPECT_TRUE(name == L"計算式" || name.empty());
    // The region's name is what a reader says at its change: the result, never the line's name.
    ASSERT_TRUE(EventsReach(1));
    EXPECT_EQ(AccessibleName(Region()), L"2");
    CoUninitialize();
}

} // namespace
