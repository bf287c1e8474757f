// The one file panel (open or save) that is showing, null when none. The
// work view makes it in the window's thread; the application forgets it
// when the panel has done its work.
#ifndef TAVREL_APP_GLOBALS_H
#define TAVREL_APP_GLOBALS_H

#include <atomic>

class BFilePanel;

extern std::atomic<BFilePanel*> filepanel;

#endif
