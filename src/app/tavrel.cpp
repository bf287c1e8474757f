#include "app/tavrel.h"

#include "app/atomic_file.h"
#include "app/collection_file.h"
#include "app/globals.h"
#include "app/initview.h"
#include "app/messages.h"
#include "app/recent_files.h"
#include "app/report.h"
#include "app/tavrelview.h"
#include "app/tavrelwindow.h"
#include "app/window_link.h"
#include "editor/ebdteditview.h"
#include "editor/glyfeditview.h"
#include "editor/globals.h"
#include "font/history.h"
#include "font/ttf.h"
#include "kit/interface/kit_window_place.h"
#include "overview/overview_messages.h"
#include "overview/overview_window.h"
#include "preview/preview_messages.h"
#include "preview/preview_window.h"

#include <Alert.h>
#include <AppFileInfo.h>
#include <Directory.h>
#include <Entry.h>
#include <File.h>
#include <FilePanel.h>
#include <Messenger.h>
#include <OS.h>

#include <cstdio>
#include <cstring>
#include <memory>

namespace {

const char* const SIGNATURE = "application/x-vnd.Mosk-tavrel";
const char* const FONT_TYPE = "application/x-truetype";

const char* const MAIN_FRAME_KEY = "main.frame";

const char* const ABOUT_TEXT = "tavrel ver.0.011   2009. 4.22\n"
                               "\n"
                               "A TrueType font editor.\n"
                               "Made by the tavrel developers.";

} // namespace

tavrel::tavrel()
    : BApplication(SIGNATURE), fRecovery(recovery::default_folder()),
      fSettings(settings::default_path()) {
    register_glyf_views();
    register_ebdt_views();
    // Where the window was when the program last quit; it opens on the
    // screen and no smaller than its smallest size whatever that says.
    BRect frame(100, 100, 499, 399);
    kit::parse_frame_text(fSettings.get(MAIN_FRAME_KEY, ""), &frame);
    window = new tavrelwindow(frame);
    windowlink = BMessenger(window);
    workview = window->workview;
    fPreview =
        new window_link(window, &fSettings,
                        {[](window_link* link) -> BWindow* { return new preview_window(link); },
                         PREVIEW_ACTIVATE, PREVIEW_FONT, 0});
    fOverview =
        new window_link(window, &fSettings,
                        {[](window_link* link) -> BWindow* { return new overview_window(link); },
                         OVERVIEW_ACTIVATE, OVERVIEW_FONT, OVERVIEW_EDITOR});
    if (lockwindow()) {
        window->keeper = &fRecovery;
        window->preview = fPreview;
        window->overview = fOverview;
        window->store = &fSettings;
        window->Unlock();
    }
    filepanel = nullptr;
}

tavrel::~tavrel() {
    forgetpanel();
    // The preview and the overview read the font through the main window:
    // they are asked to go first, and deleting their links below waits
    // for them, once the main window is gone and they cannot wait for it.
    fPreview->close();
    fOverview->close();
    // A window still running would go on using the font deleted below:
    // it is stopped first, keeping the work view, which holds the font's
    // views.
    if (lockwindow()) {
        window->RemoveChild(workview);
        window->Quit();
    }
    // The window is gone; the work view it gave up still holds the
    // font's views.
    if (curfont) {
        if (workview && !workview->Window())
            curfont->reset_view(workview);
        delete curfont;
        curfont = nullptr;
    }
    if (workview && !workview->Window())
        delete workview;
    delete fPreview;
    delete fOverview;
    // A normal end: the copies of changes the user saved or let go.
    fRecovery.end();
}

void tavrel::DispatchMessage(BMessage* message, BHandler* handler) {
    try {
        BApplication::DispatchMessage(message, handler);
    } catch (const std::exception& e) {
        cut_short(message->what, e);
    }
}

void tavrel::cut_short(uint32 what, const std::exception& e) {
    try {
        // The window's lock, as many times as the action took it.
        if (lockwindow()) {
            while (window->CountLocks() > 1)
                window->Unlock();
            window->Unlock();
        }
        // A font read or built but not handed to the views yet is given
        // up (the one before it was given up with the user's consent);
        // a new font's set-up still showing stays.
        bool settingup = false;
        if (lockwindow()) {
            settingup = window->initv != nullptr;
            window->Unlock();
        }
        if (curfont && !announced && !settingup)
            clear();
    } catch (const std::exception&) {
    }
    std::string action;
    try {
        action = action_text(what, std::string());
    } catch (const std::exception&) {
    }
    report_cut_short(action, e, true);
}

void tavrel::MessageReceived(BMessage* message) {
    switch (message->what) {
    case B_SIMPLE_DATA:
        droprefs(message);
        return;
    case B_SAVE_REQUESTED: {
        entry_ref directory;
        const char* name = nullptr;
        // Saving needs a font the views were given; between "New" and the
        // set-up view's "set" there is only an empty container.
        if (announced && message->FindRef("directory", &directory) == B_OK &&
            message->FindString("name", &name) == B_OK)
            saveas(directory, name);
        forgetpanel();
        return;
    }
    case B_CANCEL:
        forgetpanel();
        return;
    case MSG_NEW_FONT:
        start();
        return;
    case MSG_SAVE:
        saveinplace();
        return;
    case MSG_SETUP_DONE:
        start2();
        return;
    default:
        BApplication::MessageReceived(message);
    }
}

void tavrel::RefsReceived(BMessage* message) {
    entry_ref ref;
    if (message->FindRef("refs", 0, &ref) == B_OK) {
        std::string why;
        if (load(ref, &why) == 1)
            report_failure(std::string("Could not open \"") + ref.Path() + "\": " + why);
    }
    forgetpanel();
}

void tavrel::droprefs(BMessage* message) {
    type_code type;
    int32 count = 0;
    if (message->GetInfo("refs", &type, &count) != B_OK)
        return;
    std::string failures;
    for (int32 i = 0; i < count; i++) {
        entry_ref ref;
        if (message->FindRef("refs", i, &ref) != B_OK)
            continue;
        std::string why;
        int loaded = load(ref, &why);
        if (loaded == 2)
            return;
        if (loaded == 0)
            break;
        failures += std::string("Could not open \"") + ref.Path() + "\": " + why + "\n";
    }
    if (!failures.empty()) {
        failures.pop_back();
        report_failure(failures);
    }
}

void tavrel::ReadyToRun() {
    std::vector<recovery::left> copies = fRecovery.left_copies();
    for (recovery::left& copy : copies) {
        std::string what = copy.original.empty() ? std::string("a new font never saved")
                                                 : "\"" + copy.original + "\"";
        std::string text = "tavrel did not end normally while " + what +
                           " had changes that were not saved. A copy of them was kept.";
        BAlert* ask = new BAlert("tavrel", text.c_str(), "Discard", "Recover", nullptr,
                                 B_WIDTH_AS_USUAL, B_WARNING_ALERT);
        ask->SetShortcut(0, 'd');
        if (ask->Go() == 0) {
            fRecovery.discard(copy);
            continue;
        }
        std::string why;
        BFile file(copy.fontpath.c_str(), B_READ_ONLY);
        // The copy holds one face: saved over its collection it would
        // replace every face, so it is recovered as a font of its own.
        std::string original = copy.original;
        BFile was(original.c_str(), B_READ_ONLY);
        if (was.InitCheck() == B_OK && font_collection::is_collection(was))
            original.clear();
        int read = file.InitCheck() == B_OK ? readfont(file, original, false, &why) : 1;
        if (read == 0) {
            // The window's pulse reads the recovery's state with the
            // window locked.
            if (lockwindow()) {
                fRecovery.adopt(copy);
                window->Unlock();
            }
            return;
        }
        if (read == 1)
            report_failure("Could not recover the changes to " + what + ": " +
                           (why.empty() ? status_text(file.InitCheck()) : why));
        return;
    }
}

void tavrel::AboutRequested() {
    BAlert* about = new BAlert("tavrel", ABOUT_TEXT, "Thank you", nullptr, nullptr,
                               B_WIDTH_AS_USUAL, B_INFO_ALERT);
    about->Go();
}

bool tavrel::QuitRequested() {
    if (!mayclose())
        return false;
    // A file panel's window does not close when asked; a panel still
    // showing must not keep the program from quitting.
    forgetpanel();
    if (lockwindow()) {
        BRect frame = window->Frame();
        window->Unlock();
        fSettings.set(MAIN_FRAME_KEY, kit::frame_text(frame));
    }
    window->closing = true;
    return BApplication::QuitRequested();
}

bool tavrel::mayclose() {
    if (!curfont || !announced || !lockwindow())
        return true;
    bool unsaved = window->unsaved();
    std::string pending = window->pending();
    window->Unlock();
    if (!unsaved)
        return true;
    std::string name = fFilePath.empty() ? std::string("the new font")
                                         : "\"" + fFilePath.substr(fFilePath.rfind('/') + 1) + "\"";
    std::string text = "Save the changes to " + name + "?";
    if (!pending.empty())
        text +=
            "\n\nEdits not stored into the font yet: " + pending + ". \"Save\" stores them first.";
    BAlert* ask = new BAlert("tavrel", text.c_str(), "Cancel", "Don't save", "Save",
                             B_WIDTH_AS_USUAL, B_WARNING_ALERT);
    ask->SetShortcut(0, B_ESCAPE);
    ask->SetShortcut(1, 'd');
    int32 answer = ask->Go();
    if (answer == 1)
        return true;
    if (answer != 2)
        return false;
    // What the canvases and fields hold goes into the font before it is
    // saved; one that cannot be stored keeps everything as it is.
    if (lockwindow()) {
        std::string why;
        bool stored = window->storepending(&why);
        window->Unlock();
        if (!stored) {
            report_failure("Nothing was saved. " + why);
            return false;
        }
    }
    if (fFilePath.empty()) {
        // Where to save is asked first; the user then does again what
        // asked for this.
        BMessenger(workview).SendMessage(MSG_SAVE_PANEL);
        return false;
    }
    return saveinplace() == 0;
}

void tavrel::forgetpanel() {
    delete filepanel.exchange(nullptr);
}

bool tavrel::lockwindow() {
    // Through the messenger: a window that quit by itself is gone, and
    // its pointer must not be touched.
    return windowlink.LockTarget();
}

void tavrel::clear() {
    // Without a window no other thread uses the font; its views stay on
    // the work view, which the window gave up.
    bool locked = lockwindow();
    if (curfont) {
        workview->clr();
        delete curfont;
        curfont = nullptr;
    }
    announced = false;
    fCollection.reset();
    fFilePath.clear();
    if (locked) {
        window->face = -1;
        // No font: the title names none (set here, under the lock: a
        // message posted for it could fail for want of memory).
        window->filepath.clear();
        window->marktitle();
        if (window->initv) {
            workview->RemoveChild(window->initv);
            delete window->initv;
            window->initv = nullptr;
        }
        window->Unlock();
    }
    fPreview->post(PREVIEW_FONT);
    fOverview->post(OVERVIEW_FONT);
}

void tavrel::announce() {
    canvasok = false;
    if (!lockwindow())
        return;
    BRect b = curfont->bounds();
    window->Unlock();
    BMessage init(MSG_FONT_READY);
    init.AddRect("bounds", BRect(0, 0, b.right - b.left, b.top - b.bottom));
    BMessenger views(workview);
    if (views.SendMessage(&init) != B_OK)
        return;
    // The window's thread attaches the views and the glyph editor takes
    // the canvas; until then no other request of this thread may start.
    while (!canvasok && views.IsValid())
        snooze(1);
    announced = true;
    fPreview->post(PREVIEW_FONT);
    fOverview->post(OVERVIEW_FONT);
}

int tavrel::load(entry_ref& ref, std::string* why) {
    printf("tavrel:load\n");
    fflush(stdout);
    std::string path = ref.Path(), named;
    long face = -1;
    BFile file(&ref, B_READ_ONLY);
    // "font.ttc#2" names face 2 of the collection font.ttc.
    if (file.InitCheck() != B_OK && split_face_path(path, &named, &face) &&
        file.SetTo(named.c_str(), B_READ_ONLY) == B_OK)
        path = named;
    else if (file.InitCheck() != B_OK)
        face = -1;
    if (file.InitCheck() != B_OK) {
        if (why)
            *why = status_text(file.InitCheck());
        return 1;
    }
    if (font_collection::is_collection(file)) {
        std::string ignored;
        std::unique_ptr<collection_file> collection;
        int opened = open_collection(path, face, &collection, why ? why : &ignored);
        if (opened != 0)
            return opened;
        BFile& source = collection->source;
        return remember(path, readfont(source, path, true, why, std::move(collection)));
    }
    if (face >= 0) {
        if (why)
            *why = "it is not a font collection, so it has no face " + std::to_string(face);
        return 1;
    }
    return remember(path, readfont(file, path, true, why));
}

int tavrel::remember(const std::string& path, int loaded) {
    // Only a list for the menu: without the memory or the disk for it the
    // font is open all the same.
    if (loaded == 0) {
        try {
            recent_files::add(fSettings, path);
        } catch (const std::bad_alloc&) {
        }
    }
    return loaded;
}

int tavrel::readfont(BFile& file, const std::string& filepath, bool saved, std::string* why,
                     std::unique_ptr<collection_file> collection) {
    // The new font is read before the open one is given up.
    std::unique_ptr<ttf> font(new ttf());
    if (font->load(file, collection ? collection->diroffset() : 0) != 0) {
        if (why)
            *why = font->load_error() ? font->load_error() : "not a TrueType font";
        return 1;
    }
    // Changes recovered from a copy are edits its file does not have yet.
    if (!saved)
        font->assume_edited();
    std::string path = filepath;
    if (!mayclose())
        return 2;
    clear();
    // The window's thread reads curfont; it changes under the lock.
    if (!lockwindow()) {
        if (why)
            *why = "the window is closed";
        return 1;
    }
    curfont = font.release();
    window->filepath.swap(path);
    window->face = collection ? (long)collection->face : -1;
    fFilePath = window->filepath;
    fCollection = std::move(collection);
    window->Unlock();
    starthistory(saved);
    announce();
    return 0;
}

void tavrel::setpath(const std::string& path) {
    fFilePath = path;
    if (lockwindow()) {
        window->filepath = path;
        window->Unlock();
    }
}

void tavrel::starthistory(bool saved) {
    if (!lockwindow())
        return;
    font_history* h = curfont->start_history();
    if (saved)
        h->mark_saved();
    // The window shows the steps and the changed mark; edits are made in
    // its thread, so it hears of them through its queue.
    BMessenger to(window);
    h->on_change = [to] { to.SendMessage(MSG_HISTORY); };
    window->PostMessage(MSG_HISTORY);
    window->Unlock();
}

int tavrel::saveinplace() {
    if (!curfont || !announced)
        return 1;
    if (fFilePath.empty()) {
        BMessenger(workview).SendMessage(MSG_SAVE_PANEL);
        return 1;
    }
    std::string path = fFilePath;
    size_t slash = path.rfind('/');
    std::string folder = slash == std::string::npos ? "."
                         : slash == 0               ? "/"
                                                    : path.substr(0, slash);
    std::string leaf = slash == std::string::npos ? path : path.substr(slash + 1);
    entry_ref directory(folder.c_str());
    return save(directory, leaf.c_str());
}

void tavrel::saveas(entry_ref& directory, const char* name) {
    if (!fCollection) {
        save(directory, name);
        return;
    }
    BAlert* ask =
        new BAlert("tavrel",
                   "Save the whole collection, or the edited face alone as a font of its "
                   "own?",
                   "Cancel", "Face alone", "Whole collection", B_WIDTH_AS_USUAL, B_INFO_ALERT);
    ask->SetShortcut(0, B_ESCAPE);
    ask->SetShortcut(1, 'f');
    int32 answer = ask->Go();
    if (answer == 1 || answer == 2)
        save(directory, name, answer == 2);
}

int tavrel::save(entry_ref& directory, const char* name, bool whole) {
    printf("tavrel:save\n");
    fflush(stdout);
    if (!curfont || !announced)
        return 1;
    std::string target = entry_ref::InDirectory(directory, name).Path();
    auto fail = [&](const std::string& why) {
        report_failure("Could not save \"" + target + "\": " + why);
        return 1;
    };
    if (!name || !*name || strchr(name, '/') || !strcmp(name, ".") || !strcmp(name, ".."))
        return fail("that is not a file name");
    BDirectory folder(&directory);
    if (folder.InitCheck() != B_OK)
        return fail(status_text(folder.InitCheck()));

    std::string why;
    atomic_file out;
    if (out.begin(target, &why) != B_OK)
        return fail(why);
    // The font is the window's: its views edit it in that thread.
    if (!lockwindow())
        return fail("the window is closed");
    // The state written is read with the bytes: edits made while the file
    // is synced and renamed are not in it.
    font_history* h = curfont->history();
    uint64_t written = h ? h->seal() : 0;
    std::string failure = "the font could not be written (is the disk full?)";
    bool collection = fCollection && whole, signaturedropped = false;
    int wrote = 0;
    if (collection) {
        // A face as it was opened copies the file; otherwise the face's
        // changed tables are copied here and the collection written outside
        // the lock.
        const bool original = fCollection->original && h && !h->changed();
        collection_file& c = *fCollection;
        face_tables tables;
        if (!original && curfont->save_face(c.collection.faces()[c.face], &tables) != 0) {
            window->Unlock();
            return fail("out of memory");
        }
        window->Unlock();
        wrote = write_collection(c.source, c.collection, c.face, original ? nullptr : &tables,
                                 out.file(), &signaturedropped, &failure);
        if (wrote == 0 && !original)
            fCollection->original = false;
    } else {
        wrote = curfont->save(out.file());
        window->Unlock();
    }
    if (wrote != 0)
        return fail(failure);
    // A file system without extended attributes cannot hold the type;
    // the font itself is fine.
    BAppFileInfo(&out.file()).SetType(FONT_TYPE);
    if (out.commit(&why) != B_OK)
        return fail(why);
    if (fCollection && !whole) {
        // Saved alone, the face is a font of its own from now on.
        fCollection.reset();
        if (lockwindow()) {
            window->face = -1;
            window->Unlock();
        }
    }
    setpath(target);
    remember(target, 0);
    if (signaturedropped) {
        BAlert* notice = new BAlert("tavrel",
                                    "The collection's digital signature was removed: it no "
                                    "longer matches the changed faces.",
                                    "OK", nullptr, nullptr, B_WIDTH_AS_USUAL, B_INFO_ALERT);
        notice->Go();
    }
    if (h && lockwindow()) {
        h->mark_saved(written);
        window->Unlock();
    }
    return 0;
}

void tavrel::start() {
    if (!mayclose())
        return;
    clear();
    if (!lockwindow())
        return;
    curfont = new ttf();
    // The set-up view gives the empty font its set-up record.
    window->initv = new initview(BRect(0, 0, 561, 511));
    workview->AddChild(window->initv);
    workview->fitchildren();
    window->Zoom();
    window->Unlock();
}

void tavrel::start2() {
    // The set-up view fills the set-up record in the window's thread.
    if (!curfont || announced || !lockwindow())
        return;
    if (!curfont->setup) {
        window->Unlock();
        return;
    }
    if (window->initv) {
        workview->RemoveChild(window->initv);
        delete window->initv;
        window->initv = nullptr;
    }
    curfont->init();
    window->Unlock();
    // The set-up is where a new font's history starts; with no file
    // behind it, it counts as changed until saved.
    setpath("");
    starthistory(false);
    announce();
}
