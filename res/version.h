// The programs' version and notice line as text, for the resources and the code alike.
#pragma once

// The numbers come from the build (the project's VERSION), so that the about box, the version
// resources and the release's name cannot disagree.
#if !defined(TOLVEX_VERSION) || !defined(TOLVEX_VERSION_MAJOR) ||                                  \
    !defined(TOLVEX_VERSION_MINOR) || !defined(TOLVEX_VERSION_PATCH)
#error "the build defines TOLVEX_VERSION and its three parts"
#endif

#define TOLVEX_TEXT_OF(tokens) #tokens
#define TOLVEX_TEXT(macro) TOLVEX_TEXT_OF(macro)
// TOLVEX_VERSION is one preprocessing number such as 0.1.2, so it turns into text whole.
#define TOLVEX_VERSION_TEXT TOLVEX_TEXT(TOLVEX_VERSION)

#define TOLVEX_NOTICE "© 2026 tolvex developers"
