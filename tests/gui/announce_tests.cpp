// The input line's announcements in process: which text a listener is told, when the live-region
// event is raised and by which element (through this executable's import of NotifyWinEvent),
// and what the line asks of
// the accessibility property service, faked through the import of CoCreateInstance, also when the
// service is missing or refuses.
#include <gtest/gtest.h>

#include <windows.h>

#include <oleacc.h>

#include <string>
#include <vector>

#include "ui/announce.h"
#include "tests/support/driver.h"
#include "tests/support/import_patch.h"

namespace {

TEST(AnnouncedResult, IsWhatStandsBehindTheFirstEqualsOfAnEvaluatedLine) {
    const struct {
        const char* line;
        const char* announced;
    } cases[] = {
        {"12*3=36", "36"},  {"1+=?", "?"}, // the error mark of a line that does not evaluate
        {"255=xFF", "xFF"},                // the notation letter is part of what is shown
        {"5=b101", "b101"}, {"12*3=", ""}, // no result shown yet
        {"12*3", ""},                      // not evaluated: no "="
        {"=5", ""},                        // not evaluated: "=" first
        {"", ""},
    };
    for (const auto& c : cases) {
        EXPECT_STREQ(AnnouncedResult(c.line), c.announced) << c.line;
    }
}

struct WinEvent {
    DWORD event;
    HWND window;
    LONG object;
    LONG child;
};
std::vector<WinEvent> Raised;
decltype(&NotifyWinEvent) RealNotifyWinEvent;
void WINAPI RecordingNotifyWinEvent(DWORD event, HWND window, LONG object, LONG child) {
    Raised.push_back({event, window, object, child});
}

// A stand-in for the property service: it keeps what it is given and answers every call with
// Answer.
struct FakePropServices : IAccPropServices {
    HRESULT Answer = S_OK;
    LONG References = 1;
    std::vector<GUID> Properties;
    LONG LiveSetting = -1;
    std::wstring Name;
    // The element each property went to, in the order given; null for another than the window's
    // own.
    std::vector<HWND> Windows;
    std::vector<GUID> Cleared;
    std::vector<HWND> ClearedWindows;

    HRESULT WINAPI QueryInterface(REFIID, void** object) override {
        *object = nullptr;
        return E_NOINTERFACE;
    }
    ULONG WINAPI AddRef() override { return ++References; }
    ULONG WINAPI Release() override { return --References; }
    HRESULT WINAPI SetPropValue(const BYTE*, DWORD, MSAAPROPID, VARIANT) override {
        return E_NOTIMPL;
    }
    HRESULT WINAPI SetPropServer(const BYTE*, DWORD, const MSAAPROPID*, int, IAccPropServer*,
                                 AnnoScope) override {
        return E_NOTIMPL;
    }
    HRESULT WINAPI ClearProps(const BYTE*, DWORD, const MSAAPROPID*, int) override {
        return E_NOTIMPL;
    }
    static HWND Element(HWND window, DWORD object, DWORD child) {
        return object == static_cast<DWORD>(OBJID_CLIENT) && child == CHILDID_SELF ? window
                                                                                   : nullptr;
    }
    HRESULT WINAPI SetHwndProp(HWND window, DWORD object, DWORD child, MSAAPROPID property,
                               VARIANT value) override {
        Windows.push_back(Element(window, object, child));
        Properties.push_back(property);
        LiveSetting = value.vt == VT_I4 ? value.lVal : -2;
        return Answer;
    }
    HRESULT WINAPI SetHwndPropStr(HWND window, DWORD object, DWORD child, MSAAPROPID property,
                                  LPCWSTR text) override {
        Windows.push_back(Element(window, object, child));
        Properties.push_back(property);
        Name = text;
        return Answer;
    }
    HRESULT WINAPI SetHwndPropServer(HWND, DWORD, DWORD, const MSAAPROPID*, int, IAccPropServer*,
                                     AnnoScope) override {
        return E_NOTIMPL;
    }
    HRESULT WINAPI ClearHwndProps(HWND window, DWORD object, DWORD child,
                                  const MSAAPROPID* properties, int count) override {
        Cleared.insert(Cleared.end(), properties, properties + count);
        ClearedWindows.insert(ClearedWindows.end(), count, Element(window, object, child));
        return Answer;
    }
    HRESULT WINAPI ComposeHwndIdentityString(HWND, DWORD, DWORD, BYTE**, DWORD*) override {
        return E_NOTIMPL;
    }
    HRESULT WINAPI DecomposeHwndIdentityString(const BYTE*, DWORD, HWND*, DWORD*, DWORD*) override {
        return E_NOTIMPL;
    }
    HRESULT WINAPI SetHmenuProp(HMENU, DWORD, MSAAPROPID, VARIANT) override { return E_NOTIMPL; }
    HRESULT WINAPI SetHmenuPropStr(HMENU, DWORD, MSAAPROPID, LPCWSTR) override { return E_NOTIMPL; }
    HRESULT WINAPI SetHmenuPropServer(HMENU, DWORD, const MSAAPROPID*, int, IAccPropServer*,
                                      AnnoScope) override {
        return E_NOTIMPL;
    }
    HRESULT WINAPI ClearHmenuProps(HMENU, DWORD, const MSAAPROPID*, int) override {
        return E_NOTIMPL;
    }
    HRESULT WINAPI ComposeHmenuIdentityString(HMENU, DWORD, BYTE**, DWORD*) override {
        return E_NOTIMPL;
    }
    HRESULT WINAPI DecomposeHmenuIdentityString(const BYTE*, DWORD, HMENU*, DWORD*) override {
        return E_NOTIMPL;
    }
};

// The identity written as the documentation writes it; all zeros when the text is malformed.
GUID Documented(const wchar_t* text) {
    GUID id = {};
    if (FAILED(IIDFromString(text, &id))) {
        id = GUID{};
    }
    return id;
}

// The documented identities the line must use, read from their documented form rather than
// copied from the program's own declarations.
const CLSID AccPropServicesClass = Documented(L"{b5f8350b-0548-48b1-a6ee-88bd00b4a5e7}");
const GUID LiveSettingProperty = Documented(L"{c12bcd8e-2a8e-4950-8ae7-3625111d58eb}");
const GUID NameProperty = Documented(L"{608d3df8-8128-4aa7-a428-f55e49267291}");

FakePropServices* Service; // null: the class is not registered
HRESULT ComStart = S_OK;   // what CoInitializeEx answers
int ComStarts, ComEnds;

decltype(&CoCreateInstance) RealCoCreateInstance;
HRESULT WINAPI FakeCoCreateInstance(REFCLSID classId, IUnknown*, DWORD, REFIID, void** object) {
    *object = nullptr;
    if (Service == nullptr || classId != AccPropServicesClass) {
        return REGDB_E_CLASSNOTREG;
    }
    Service->AddRef();
    *object = static_cast<IAccPropServices*>(Service);
    return S_OK;
}
decltype(&CoInitializeEx) RealCoInitializeEx;
HRESULT WINAPI FakeCoInitializeEx(void*, DWORD) {
    ++ComStarts;
    return ComStart;
}
decltype(&CoUninitialize) RealCoUninitialize;
void WINAPI FakeCoUninitialize() {
    ++ComEnds;
}

class LiveLine : public ::testing::Test {
  protected:
    static void SetUpTestSuite() {
        gui::Hook("USER32.dll", "NotifyWinEvent", &RecordingNotifyWinEvent, &RealNotifyWinEvent);
        gui::Hook("ole32.dll", "CoCreateInstance", &FakeCoCreateInstance, &RealCoCreateInstance);
        gui::Hook("ole32.dll", "CoInitializeEx", &FakeCoInitializeEx, &RealCoInitializeEx);
        gui::Hook("ole32.dll", "CoUninitialize", &FakeCoUninitialize, &RealCoUninitialize);
    }
    static void TearDownTestSuite() {
        gui::Unhook("USER32.dll", "NotifyWinEvent", RealNotifyWinEvent);
        gui::Unhook("ole32.dll", "CoCreateInstance", RealCoCreateInstance);
        gui::Unhook("ole32.dll", "CoInitializeEx", RealCoInitializeEx);
        gui::Unhook("ole32.dll", "CoUninitialize", RealCoUninitialize);
    }
    void SetUp() override {
        window = CreateWindowExA(0, "STATIC", "", WS_POPUP, 0, 0, 200, 20, nullptr, nullptr,
                                 GetModuleHandleA(nullptr), nullptr);
        ASSERT_NE(window, nullptr);
        CreateLineLabels(window);
        ASSERT_NE(ResultRegion, nullptr);
        edit = CreateWindowExA(0, "EDIT", "", WS_CHILD, 0, 0, 200, 20, window, nullptr,
                               GetModuleHandleA(nullptr), nullptr);
        ASSERT_NE(edit, nullptr);
        Raised.clear();
        Service = nullptr;
        ComStart = S_OK;
        ComStarts = ComEnds = 0;
        // Whatever an earlier case left as the settled line is forgotten.
        Show("(none)");
        AnnounceNow(edit);
        Raised.clear();
    }
    void TearDown() override { DestroyWindow(window); }

    void Show(const char* line) { SetWindowTextA(edit, line); }
    // The events raised so far all came from the result region's own element, and it holds text.
    void ExpectAllFromTheRegion(const char* text) {
        EXPECT_EQ(gui::WindowText(ResultRegion), text);
        for (const WinEvent& e : Raised) {
            EXPECT_EQ(e.event, static_cast<DWORD>(EVENT_OBJECT_LIVEREGIONCHANGED));
            EXPECT_EQ(e.window, ResultRegion);
            EXPECT_EQ(e.object, OBJID_CLIENT);
            EXPECT_EQ(e.child, CHILDID_SELF);
        }
    }

    HWND window = nullptr;
    HWND edit = nullptr;
};

TEST_F(LiveLine, APauseAnnouncesALineWithAResultUnlessItStandsAsAtTheLastPause) {
    const struct {
        const char* line;
        bool enter; // Enter rather than a pause
        size_t events;
    } steps[] = {
        {"12*3=36", false, 1},
        {"12*3=36", false, 1}, // a change that left the line as it was (a key behind the result)
        {"12*3", false, 1},    // nothing to announce
        {"12*3=36", false, 2}, // back again: heard again
        {"12*3+=?", false, 3}, // the error mark
        {"12*3+=?", true, 4},  // Enter always tells
        {"12*3+=?", false, 4}, // and is the last settled line
        {"", true, 4},         // an empty line has nothing to tell at Enter
        {"=5", true, 4},
        {"6*7=42", true, 5},
    };
    int step = 0;
    for (const auto& s : steps) {
        Show(s.line);
        if (s.enter) {
            AnnounceNow(edit);
        } else {
            AnnounceSettledLine(edit);
        }
        EXPECT_EQ(Raised.size(), s.events) << "step " << step << ": " << s.line;
        ++step;
    }
    ExpectAllFromTheRegion("42");
}

TEST_F(LiveLine, ThePauseTimerAnnouncesOnceAndEnterLeavesItNothing) {
    Show("2^10=1024");
    AnnounceAfterPause(edit);
    AnnounceAfterPause(edit); // restarted, not doubled
    ASSERT_TRUE(gui::WaitUntil([] {
        gui::PumpMessages();
        return !Raised.empty();
    }));
    EXPECT_EQ(Raised.size(), 1u);
    ExpectAllFromTheRegion("1024");

    // Enter while a pause is pending announces at once and ends the pause: the pending work,
    // were it still to come, would find the line settled and say nothing.
    Show("2^11=2048");
    AnnounceAfterPause(edit);
    AnnounceNow(edit);
    EXPECT_EQ(Raised.size(), 2u);
    AnnounceSettledLine(edit);
    EXPECT_EQ(Raised.size(), 2u);
}

TEST_F(LiveLine, TheLineIsAPoliteLiveRegionNamedInJapanese) {
    FakePropServices service;
    Service = &service;
    MakeLineLiveRegion(edit);
    // The region speaks; the field is named. A reader tells the name of the element whose live
    // region changed, so a named field as the region would say its name, not the result.
    EXPECT_EQ(service.Properties, (std::vector<GUID>{LiveSettingProperty, NameProperty}));
    EXPECT_EQ(service.Windows, (std::vector<HWND>{ResultRegion, edit}));
    EXPECT_EQ(service.LiveSetting, 1); // Polite
    EXPECT_EQ(service.Name, L"計算式");
    EXPECT_STREQ(LineAccessibleName, L"計算式");
    ForgetLineLiveRegion(edit);
    EXPECT_EQ(service.Cleared, (std::vector<GUID>{LiveSettingProperty, NameProperty}));
    EXPECT_EQ(service.ClearedWindows, (std::vector<HWND>{ResultRegion, edit}));
    EXPECT_EQ(service.References, 1) << "the service is let go";
    EXPECT_EQ(ComStarts, 1);
    EXPECT_EQ(ComEnds, 1);
}

TEST_F(LiveLine, WithoutTheServiceOrItsCallsTheResultIsAnnouncedAllTheSame) {
    const struct {
        const char* what;
        bool service;
        HRESULT answer; // of the service's calls
        HRESULT comStart;
        int comEnds; // a start refused for another threading model is not ended
    } cases[] = {
        {"calls not implemented (Wine)", true, E_NOTIMPL, S_OK, 1},
        {"COM already started on the thread", true, S_OK, S_FALSE, 1},
        {"no service", false, S_OK, S_OK, 1},
        {"COM started otherwise on the thread", false, S_OK, RPC_E_CHANGED_MODE, 0},
    };
    for (const auto& c : cases) {
        FakePropServices service;
        service.Answer = c.answer;
        Service = c.service ? &service : nullptr;
        ComStart = c.comStart;
        ComStarts = ComEnds = 0;
        Raised.clear();
        MakeLineLiveRegion(edit);
        Show("1+1=2");
        AnnounceNow(edit);
        EXPECT_EQ(Raised.size(), 1u) << c.what;
        ForgetLineLiveRegion(edit);
        EXPECT_EQ(service.References, 1) << c.what;
        EXPECT_EQ(ComEnds, c.comEnds) << c.what;
    }
}

} // namespace
