#include "app/recovery.h"

#include "app/atomic_file.h"
#include "font/bytes.h"
#include "font/font_image.h"
#include "font/history.h"
#include "font/ttf.h"

#include <Directory.h>
#include <Entry.h>
#include <Looper.h>
#include <Message.h>
#include <OS.h>

#include <cstdio>
#include <cstdlib>
#include <new>
#include <random>

namespace {

const uint32 KEEP = 'rkep';   // "image": font_image* (owned), "original"
const uint32 FORGET = 'rfgt'; // the changes were saved or discarded
const uint32 ADOPT = 'radp';  // "left": recovery::left* (owned)
const uint32 END = 'rend';    // the program ends normally

const char* const MAGIC = "tavrel recovery 1\n";
const size_t INFO_LIMIT = 65536;

std::string info_text(const std::string& original) {
    return MAGIC + std::string("original ") + std::to_string(original.size()) + "\n" + original +
           "\n";
}

// The original path from an info file's text; false when the text is not
// exactly what info_text writes.
bool parse_info(const std::string& text, std::string* original) {
    const std::string magic = MAGIC, key = "original ";
    if (text.compare(0, magic.size(), magic) != 0 ||
        text.compare(magic.size(), key.size(), key) != 0)
        return false;
    size_t digits = magic.size() + key.size();
    size_t newline = text.find('\n', digits);
    if (newline == std::string::npos || newline == digits || newline - digits > 6)
        return false;
    size_t n = 0;
    for (size_t i = digits; i < newline; i++) {
        if (text[i] < '0' || text[i] > '9')
            return false;
        n = n * 10 + (size_t)(text[i] - '0');
    }
    if (text.size() != newline + 1 + n + 1 || text.back() != '\n')
        return false;
    *original = text.substr(newline + 1, n);
    return original->find('\0') == std::string::npos;
}

// Up to `limit` bytes of a file; false when it cannot be read or is longer.
bool read_all(const std::string& path, size_t limit, std::string* out) {
    BFile file(path.c_str(), B_READ_ONLY);
    off_t size = 0;
    if (file.InitCheck() != B_OK || file.GetSize(&size) != B_OK || size < 0 ||
        (uint64_t)size > limit)
        return false;
    out->resize((size_t)size);
    return file.ReadAt(0, &(*out)[0], out->size()) == (ssize_t)out->size();
}

// Whether a file is a whole font copy: at least a font's header, and
// summing to 0xB1B0AFBA as font_image makes it. Read a piece at a time.
bool whole_copy(const std::string& path) {
    BFile file(path.c_str(), B_READ_ONLY);
    off_t size = 0;
    if (file.InitCheck() != B_OK || file.GetSize(&size) != B_OK || size < 12)
        return false;
    std::vector<unsigned char> piece((size_t)1 << 20);
    uint32_t sum = 0;
    for (off_t at = 0; at < size;) {
        ssize_t n = file.ReadAt(at, piece.data(), piece.size());
        if (n <= 0)
            return false;
        // Pieces are whole words but for the last.
        sum += byte_span(piece.data(), (size_t)n).sum32();
        at += n;
    }
    return sum == 0xB1B0AFBAu;
}

bool write_all(const std::string& path, const void* bytes, size_t size, std::string* why) {
    atomic_file out;
    if (out.begin(path, why) != B_OK)
        return false;
    if (out.file().WriteAt(0, bytes, size) != (ssize_t)size) {
        *why = "the copy could not be written (is the disk full?)";
        return false;
    }
    return out.commit(why) == B_OK;
}

std::string new_id() {
    std::random_device random;
    char id[20];
    snprintf(id, sizeof id, "%08x%08x", random(), random());
    return id;
}

bool plain_id(const std::string& id) {
    if (id.empty() || id.size() > 64)
        return false;
    for (char c : id)
        if (!((c >= '0' && c <= '9') || (c >= 'a' && c <= 'f')))
            return false;
    return true;
}

} // namespace

// Writes the copies on a thread of its own, in the order they were handed
// over, so that the window's thread only copies the bytes.
class recovery_writer : public BLooper {
  public:
    explicit recovery_writer(const std::string& folder)
        : BLooper("tavrel recovery"), fFolder(folder) {}

    void MessageReceived(BMessage* message) override {
        switch (message->what) {
        case KEEP: {
            void* pointer = nullptr;
            message->FindPointer("image", &pointer);
            std::unique_ptr<font_image> image((font_image*)pointer);
            const char* original = "";
            message->FindString("original", &original);
            if (image)
                keep(*image, original ? original : "");
            return;
        }
        case FORGET:
            remove_copy();
            return;
        case ADOPT: {
            void* pointer = nullptr;
            message->FindPointer("left", &pointer);
            std::unique_ptr<recovery::left> copy((recovery::left*)pointer);
            if (copy) {
                release();
                fId = copy->id;
                fLock = copy->lock;
                fOriginal = copy->original;
                fInfo = true;
            }
            return;
        }
        case END:
            release();
            return;
        default:
            BLooper::MessageReceived(message);
        }
    }

  private:
    std::string path(const char* suffix) const { return fFolder + "/" + fId + suffix; }

    void keep(font_image& image, const std::string& original) {
        std::string why;
        if (!session(&why) || !info(original, &why)) {
            complain(why);
            return;
        }
        image.finish();
        if (!write_all(path(".ttf"), image.bytes.get(), image.size, &why))
            complain(why);
    }

    // The session's lock, taken before anything of it is written.
    bool session(std::string* why) {
        if (fLock)
            return true;
        status_t status = create_directory(fFolder.c_str(), 0700);
        if (status != B_OK) {
            *why = "cannot make " + fFolder;
            return false;
        }
        for (int attempt = 0; attempt < 10 && !fLock; attempt++) {
            std::string id = new_id();
            auto lock = std::make_shared<BFile>();
            status = lock->SetTo((fFolder + "/" + id + ".lock").c_str(),
                                 B_READ_WRITE | B_CREATE_FILE | B_FAIL_IF_EXISTS);
            if (status == B_OK && lock->Lock() == B_OK) {
                fId = id;
                fLock = lock;
            }
        }
        if (!fLock)
            *why = "cannot make a lock file in " + fFolder;
        return fLock != nullptr;
    }

    bool info(const std::string& original, std::string* why) {
        if (fInfo && original == fOriginal)
            return true;
        std::string text = info_text(original);
        fInfo = write_all(path(".info"), text.data(), text.size(), why);
        fOriginal = original;
        return fInfo;
    }

    void remove_copy() {
        if (fId.empty())
            return;
        BEntry(path(".ttf").c_str()).Remove();
        BEntry(path(".info").c_str()).Remove();
        fInfo = false;
    }

    void release() {
        remove_copy();
        if (fLock)
            BEntry(path(".lock").c_str()).Remove();
        fLock.reset();
        fId.clear();
    }

    void complain(const std::string& why) {
        // Said once, not every half minute.
        if (why != fComplaint)
            fprintf(stderr, "tavrel: no recovery copy was kept: %s\n", why.c_str());
        fComplaint = why;
    }

    std::string fFolder;
    std::string fId;
    std::shared_ptr<BFile> fLock;
    std::string fOriginal;
    bool fInfo = false;
    std::string fComplaint;
};

recovery::recovery(const std::string& folder) : fFolder(folder) {}

recovery::~recovery() {
    if (fWriter && fWriter->Lock())
        fWriter->Quit();
}

std::string recovery::default_folder() {
    const char* state = getenv("XDG_STATE_HOME");
    if (state && state[0] == '/')
        return std::string(state) + "/tavrel";
    const char* home = getenv("HOME");
    if (home && home[0] == '/')
        return std::string(home) + "/.local/state/tavrel";
    return "";
}

void recovery::pulse(ttf* font, const std::string& original) {
    if (fFolder.empty())
        return;
    // Memory running short makes the copy wait for the next pulse; it is
    // not the user's action that failed.
    try {
        font_history* h = font ? font->history() : nullptr;
        if (!h || !h->changed()) {
            if (fKept)
                fWriter->PostMessage(FORGET);
            fKept = false;
            return;
        }
        uint64_t state = h->here().position;
        bigtime_t now = system_time();
        bool same = fKept && font == fFont && state == fState && original == fOriginal;
        if (same || (fKept && now - fLast < interval))
            return;
        if (!fWriter) {
            fWriter = new recovery_writer(fFolder);
            fWriter->Run();
        }
        std::unique_ptr<font_image> image(new font_image());
        fLast = now;
        if (font->copy_image(image.get()) != 0)
            return;
        BMessage keep(KEEP);
        keep.AddPointer("image", image.get());
        keep.AddString("original", original.c_str());
        if (fWriter->PostMessage(&keep) != B_OK)
            return;
        image.release();
        fKept = true;
        fFont = font;
        fState = state;
        fOriginal = original;
    } catch (const std::bad_alloc&) {
    }
}

void recovery::end() {
    if (!fWriter)
        return;
    fWriter->PostMessage(END);
    if (fWriter->Lock())
        fWriter->Quit();
    fWriter = nullptr;
    fKept = false;
}

std::vector<recovery::left> recovery::left_copies() {
    std::vector<left> found;
    BDirectory folder(fFolder.c_str());
    entry_ref ref;
    while (folder.InitCheck() == B_OK && folder.GetNextRef(&ref) == B_OK) {
        std::string name = ref.Name();
        if (name.size() < 6 || name.compare(name.size() - 5, 5, ".info") != 0)
            continue;
        left copy;
        copy.id = name.substr(0, name.size() - 5);
        if (!plain_id(copy.id))
            continue;
        std::string base = fFolder + "/" + copy.id;
        // A lock that is held belongs to a running program (this one's own
        // session included).
        copy.lock = std::make_shared<BFile>((base + ".lock").c_str(), B_READ_WRITE | B_CREATE_FILE);
        if (copy.lock->InitCheck() != B_OK || copy.lock->Lock() != B_OK)
            continue;
        std::string text;
        if (!read_all(base + ".info", INFO_LIMIT, &text) || !parse_info(text, &copy.original))
            continue;
        copy.fontpath = base + ".ttf";
        if (!whole_copy(copy.fontpath))
            continue;
        found.push_back(copy);
    }
    return found;
}

void recovery::discard(left& copy) {
    std::string base = fFolder + "/" + copy.id;
    BEntry((base + ".ttf").c_str()).Remove();
    BEntry((base + ".info").c_str()).Remove();
    BEntry((base + ".lock").c_str()).Remove();
    copy.lock.reset();
}

void recovery::adopt(left copy) {
    if (fFolder.empty())
        return;
    if (!fWriter) {
        fWriter = new recovery_writer(fFolder);
        fWriter->Run();
    }
    std::unique_ptr<left> owned(new left(std::move(copy)));
    BMessage adopt(ADOPT);
    adopt.AddPointer("left", owned.get());
    if (fWriter->PostMessage(&adopt) != B_OK)
        return;
    owned.release();
    // Its files are this program's copy now, of a state it does not know:
    // the next change is copied at once, and saving removes them.
    fKept = true;
    fFont = nullptr;
    fLast = 0;
}
