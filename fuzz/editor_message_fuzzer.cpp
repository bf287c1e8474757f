// Sends the glyph editor's, the bitmap editor's and the table editors' messages, with fields
// taken from the input, to the real views of a font shown in a window on
// the headless display, then saves the font and loads what was saved.
//
// Input: the first byte picks the font. Below 0xE0 it names one of the
// seed fonts in fuzz/corpus (byte modulo their count); from 0xE0 on, a
// 24-bit length follows and that many bytes are the font itself. The rest
// is a script of at most MAX_STEPS steps: a step byte chooses the request,
// the bytes after it its fields (see run_step). Every request reaches the
// view through the window's queue; what a user would type into a text
// field or tick in a box is put there by the window itself (a message of
// its own queued before the request), so the fields and the request are
// seen in the order they were sent. Alerts the views raise are closed
// after the script; a saved font that cannot be read again aborts.
#include "editor/canvas_steps.h"
#include "editor/ebdteditview.h"
#include "editor/ebdttoolview.h"
#include "editor/editor_window.h"
#include "editor/glyfeditview.h"
#include "editor/glyftoolview.h"
#include "editor/globals.h"
#include "font/cmap.h"
#include "font/ebdt.h"
#include "font/eblc.h"
#include "font/head.h"
#include "font/hhea.h"
#include "font/os2.h"
#include "font/post.h"
#include "font/gasp.h"
#include "font/glyf.h"
#include "font/history.h"
#include "font/hmtx.h"
#include "font/maxp.h"
#include "font/name.h"
#include "font/table_editor.h"
#include "font/ttf.h"
#include "kit/app/kit_registry.h"
#include "kit/display/headless/headless_display.h"

#include <Alert.h>
#include <Button.h>
#include <CheckBox.h>
#include <Control.h>
#include <File.h>
#include <InterfaceDefs.h>
#include <ListView.h>
#include <Message.h>
#include <Messenger.h>
#include <Slider.h>
#include <TextControl.h>
#include <Window.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <iterator>
#include <memory>
#include <string>
#include <unistd.h>
#include <vector>

namespace {

const int MAX_STEPS = 64;
const size_t MAX_TEXT = 300;

// The window's own messages: put a text into a field, set a control's
// value, select a list line, show one table, undo or redo.
const uint32 FUZZ_TEXT = 'Fztx';
const uint32 FUZZ_VALUE = 'Fzvl';
const uint32 FUZZ_SELECT = 'Fzsl';
const uint32 FUZZ_SHOW = 'Fzsh';
const uint32 FUZZ_UNDO = 'Fzun';

// The main window's part for the glyph editor: it records the edit
// view's pointer data, keeps its size when asked to zoom, and does what a
// user does to the controls and the Edit menu.
class fuzz_window : public BWindow, public editor_window {
  public:
    fuzz_window() : BWindow(BRect(100, 100, 661, 611), "fuzz", B_TITLED_WINDOW, 0) {}
    void updatescrollbar() override {}
    void Zoom(BPoint, float, float) override {}
    void DispatchMessage(BMessage* message, BHandler* handler) override {
        bool pointer = message->what == B_MOUSE_DOWN || message->what == B_MOUSE_MOVED ||
                       message->what == B_MOUSE_UP;
        if (pointer && inputtarget && handler == inputtarget)
            record_input(*message, &lastinput);
        BWindow::DispatchMessage(message, handler);
    }
    void MessageReceived(BMessage* message) override {
        void* p = nullptr;
        switch (message->what) {
        case FUZZ_TEXT: {
            const char* text = nullptr;
            if (message->FindPointer("control", &p) == B_OK &&
                message->FindString("text", &text) == B_OK)
                static_cast<BTextControl*>(p)->SetText(text);
            return;
        }
        case FUZZ_VALUE:
            if (message->FindPointer("control", &p) == B_OK)
                static_cast<BControl*>(p)->SetValue(message->GetInt32("value", 0));
            return;
        case FUZZ_SELECT: {
            if (message->FindPointer("list", &p) != B_OK)
                return;
            // The number picks one of the lines there are, or none.
            BListView* list = static_cast<BListView*>(p);
            int32 index =
                (int32)((uint32)message->GetInt32("index", 0) % (uint32)(list->CountItems() + 1)) -
                1;
            if (index < 0)
                list->DeselectAll();
            else
                list->Select(index);
            return;
        }
        case FUZZ_SHOW:
            if (message->FindPointer("table", &p) == B_OK)
                show_only(static_cast<ttf_table*>(p));
            return;
        case FUZZ_UNDO:
            undo(message->GetBool("redo", false));
            return;
        default:
            BWindow::MessageReceived(message);
        }
    }

    // The table the selector would show: the others are hidden.
    void show_only(ttf_table* shown) {
        if (!font)
            return;
        ttf_table* const tables[] = {font->os2,  font->cmap, font->glyf, font->head,
                                     font->hhea, font->hmtx, font->maxp, font->name,
                                     font->post, font->gasp, font->ebdt, font->eblc};
        for (ttf_table* t : tables)
            if (t && t != shown)
                t->show(false);
        shown->show(true);
    }

    // The Edit menu's undo and redo: the canvas's own steps first, then
    // the font's history, a canvas without edits of its own following the
    // font.
    void undo(bool redo) { undo_step(font, redo); }

    ttf* font = nullptr;
};

// The input, read front to back; past its end every read gives 0.
class reader {
  public:
    reader(const uint8_t* data, size_t size) : p(data), n(size) {}
    bool done() const { return at >= n; }
    uint8_t u8() { return at < n ? p[at++] : 0; }
    uint16_t u16() { return (uint16_t)(u8() << 8 | u8()); }
    uint32_t u32() { return (uint32_t)u16() << 16 | u16(); }
    float f32() {
        uint32_t bits = u32();
        float f;
        memcpy(&f, &bits, sizeof f);
        return f;
    }
    // A length byte, then that many bytes (no NUL: a field holds C text).
    std::string text(size_t most = MAX_TEXT) {
        size_t len = u8();
        if (len == 0xFF)
            len = u16();
        std::string t;
        for (size_t i = 0; i < len && i < most && !done(); i++) {
            char c = (char)u8();
            if (c != 0)
                t += c;
        }
        return t;
    }
    // `len` bytes as they stand (fewer at the end of the input).
    std::vector<uint8_t> bytes(size_t len) {
        len = std::min(len, n - std::min(n, at));
        std::vector<uint8_t> out(p + at, p + at + len);
        at += len;
        return out;
    }

  private:
    const uint8_t* p;
    size_t n;
    size_t at = 0;
};

kit::headless_display& screen() {
    return *kit::headless_display::current();
}

fuzz_window* window = nullptr;
BView* work = nullptr;
std::vector<std::vector<uint8_t>> seeds;
std::string input_path, output_path;

std::string temp_file() {
    char path[] = "/tmp/tavrel-edfuzz-XXXXXX";
    int fd = mkstemp(path);
    if (fd < 0)
        abort();
    close(fd);
    return path;
}

void write_file(const std::string& path, const uint8_t* data, size_t size) {
    BFile out(path.c_str(), B_READ_WRITE | B_ERASE_FILE);
    if (size && out.WriteAt(0, data, size) != (ssize_t)size)
        abort();
}

void wait_idle() {
    // A request that keeps the window busy this long is a hang.
    if (!screen().wait_idle(120000000, 200))
        abort();
}

// Closes every alert the views opened, as if each was dismissed.
void close_alerts() {
    for (int round = 0; round < 1000; round++) {
        BAlert* alert = nullptr;
        {
            std::lock_guard<std::mutex> hold(kit::registry_mutex());
            for (BLooper* l : kit::loopers())
                if ((alert = dynamic_cast<BAlert*>(l)))
                    break;
        }
        if (!alert)
            return;
        // Nobody presses the alert's buttons, so it stays until quit here.
        if (alert->Lock())
            alert->Quit();
    }
    abort();
}

void send(BHandler* target, BMessage& message) {
    if (target)
        BMessenger(target).SendMessage(&message);
}

void send(BHandler* target, uint32 what) {
    BMessage message(what);
    send(target, message);
}

void post_window(BMessage& message) {
    window->PostMessage(&message, window);
}

void set_text(BTextControl* control, const std::string& text) {
    if (!control)
        return;
    BMessage m(FUZZ_TEXT);
    m.AddPointer("control", control);
    m.AddString("text", text.c_str());
    post_window(m);
}

void set_value(BControl* control, int32 value) {
    if (!control)
        return;
    BMessage m(FUZZ_VALUE);
    m.AddPointer("control", control);
    m.AddInt32("value", value);
    post_window(m);
}

void select_line(BListView* list, int32 index) {
    if (!list)
        return;
    BMessage m(FUZZ_SELECT);
    m.AddPointer("list", list);
    m.AddInt32("index", index);
    post_window(m);
}

void show(ttf_table* table) {
    if (!table)
        return;
    BMessage m(FUZZ_SHOW);
    m.AddPointer("table", table);
    post_window(m);
}

// A message from `control` as the control sends it.
void from(BHandler* target, uint32 what, const void* control) {
    if (!target || !control)
        return;
    BMessage m(what);
    m.AddPointer("source", control);
    send(target, m);
}

// A text a user would type into a number field: mostly hexadecimal digits
// of the input's choosing, sometimes the input's own bytes.
std::string field_text(reader& in) {
    uint8_t kind = in.u8();
    char hex[16];
    switch (kind % 4) {
    case 0:
        snprintf(hex, sizeof hex, "%x", in.u16());
        return hex;
    case 1:
        snprintf(hex, sizeof hex, "%x", in.u8());
        return hex;
    case 2:
        snprintf(hex, sizeof hex, "%x", in.u32());
        return hex;
    default:
        return in.text(40);
    }
}

// A point of the edit view's canvas in window coordinates.
BPoint canvas_point(reader& in) {
    return BPoint(50 + (in.u16() % 540), in.u16() % 530);
}

// The answer to the question a canvas asks before another glyph or strike
// replaces edits not stored, as the alert sends it: Cancel, Discard,
// Store, or closed without one.
void pending_answer(reader& in, BView* canvas) {
    BMessage m(PENDING_ANSWER);
    m.AddInt32("which", (int32)(in.u8() % 4) - 1);
    send(canvas, m);
}

void glyph_step_request(reader& in, glyfeditview* editor, uint8_t what) {
    switch (what % 11) {
    case 0: { // a glyph by number, as the palette's field or arrows send it
        BMessage m(GLYF_CHANGE);
        m.AddInt16("gno", (int16)in.u16());
        send(editor, m);
        break;
    }
    case 1: { // a glyph by character
        BMessage m(GLYF_CHANGE);
        m.AddInt16("chr", (int16)in.u16());
        if (in.u8() & 1)
            m.AddInt16("gno", (int16)in.u16());
        send(editor, m);
        break;
    }
    case 2: { // pen size and zoom
        BMessage m(GLYF_CHANGE);
        uint8_t fields = in.u8();
        if (fields & 1)
            m.AddInt8("psize", (int8)in.u8());
        if (fields & 2)
            m.AddFloat("scale", (fields & 4) ? in.f32() : (float)in.u8() / 32.0f);
        send(editor, m);
        break;
    }
    case 3:
        send(editor, GLYF_CLEAR);
        break;
    case 4:
        send(editor, GLYF_STORE);
        // The answer to whether a glyph of a variable font may lose its
        // variations, as the question sends it: 15, 37, ... "Remove",
        // 26, 48, ... "Cancel".
        if (what >= 11) {
            BMessage answer(GLYF_DROP_VARIATIONS);
            answer.AddInt32("which", (what / 11) % 2 == 1 ? 0 : 1);
            send(editor, answer);
        }
        break;
    case 5: {
        BMessage m(GLYF_ADD_COMPONENT);
        m.AddInt16("sub", (int16)in.u16());
        send(editor, m);
        break;
    }
    case 6: {
        BMessage m(GLYF_DEL_COMPONENT);
        if (in.u8() & 1)
            m.AddInt32("no", (int32)in.u32());
        else
            m.AddInt8("no", (int8)in.u8());
        send(editor, m);
        break;
    }
    case 7:
        send(editor, GLYF_TOOLS[in.u8() % 6]);
        break;
    case 9:
        pending_answer(in, editor);
        break;
    case 8: { // a drag on the canvas: moving components, drawing, picking
        BPoint a = canvas_point(in), b = canvas_point(in);
        uint8_t mods = in.u8();
        uint32 buttons = (mods & 0x80) ? B_SECONDARY_MOUSE_BUTTON : B_PRIMARY_MOUSE_BUTTON;
        uint32 modifiers = ((mods & 1) ? B_SHIFT_KEY : 0) | ((mods & 2) ? B_CONTROL_KEY : 0) |
                           ((mods & 4) ? B_COMMAND_KEY : 0) | ((mods & 8) ? B_OPTION_KEY : 0);
        int moves = (mods >> 4) & 7;
        screen().mouse_move(window, a, 0, modifiers);
        screen().mouse_down(window, a, buttons, modifiers);
        for (int i = 1; i <= moves; i++)
            screen().mouse_move(window,
                                a + BPoint((b.x - a.x) * i / moves, (b.y - a.y) * i / moves),
                                buttons, modifiers);
        screen().mouse_up(window, b, modifiers);
        break;
    }
    default: { // a key on the canvas
        static const struct {
            const char* bytes;
            uint32 modifiers;
        } keys[] = {{"\x7f", 0},
                    {"\x08", 0},
                    {"\x1c", 0},
                    {"\x1d", 0},
                    {"\x1e", 0},
                    {"\x1f", 0},
                    {"\t", 0},
                    {"\n", 0},
                    {"\x1b", 0},
                    {"z", B_COMMAND_KEY},
                    {"Z", B_COMMAND_KEY | B_SHIFT_KEY},
                    {"1", 0}};
        const auto& k = keys[in.u8() % (sizeof keys / sizeof keys[0])];
        screen().key_down(window, k.bytes, 0, k.modifiers);
        screen().key_up(window, k.bytes, 0, k.modifiers);
        break;
    }
    }
}

void hmtx_request(reader& in, ttf_hmtx* hmtx) {
    if (!hmtx || !hmtx->setbtn)
        return;
    uint8_t what = in.u8();
    BTextControl* fields[4] = {hmtx->stctl, hmtx->edctl, hmtx->widthctl, hmtx->lsbctl};
    switch (what % 4) {
    case 0: { // a field typed into, then Enter
        BTextControl* f = fields[in.u8() % 4];
        set_text(f, field_text(in));
        from(hmtx, EDITOR_TEXT, f);
        break;
    }
    case 1:
        from(hmtx, EDITOR_BUTTON, hmtx->setbtn);
        break;
    case 2: // a slider moved
        set_value((in.u8() & 1) ? hmtx->left : hmtx->right, (int32)(int16)in.u16());
        send(hmtx, EDITOR_SLIDER);
        break;
    default: // every field filled, then "set"
        for (BTextControl* f : fields)
            set_text(f, field_text(in));
        from(hmtx, EDITOR_BUTTON, hmtx->setbtn);
        break;
    }
}

void cmap_request(reader& in, ttf_cmap* cmap) {
    if (!cmap || !cmap->setbtn)
        return;
    uint8_t what = in.u8();
    BTextControl* fields[3] = {cmap->stctl, cmap->edctl, cmap->gnoctl};
    switch (what % 3) {
    case 0: {
        BTextControl* f = fields[in.u8() % 3];
        set_text(f, field_text(in));
        from(cmap, EDITOR_TEXT, f);
        break;
    }
    case 1:
        from(cmap, EDITOR_BUTTON, cmap->setbtn);
        break;
    default:
        for (BTextControl* f : fields)
            set_text(f, field_text(in));
        from(cmap, EDITOR_BUTTON, cmap->setbtn);
        break;
    }
}

void name_request(reader& in, ttf_name* name) {
    if (!name || !name->datatext)
        return;
    const uint32 NAME_ADD = 'Nadd', NAME_DELETE = 'Ndel', NAME_SET = 'Nset';
    uint8_t what = in.u8();
    BTextControl* fields[5] = {name->pid, name->eid, name->lid, name->nid, name->datatext};
    switch (what % 5) {
    case 0: {
        uint8_t which = in.u8() % 5;
        set_text(fields[which], which == 4 ? in.text() : field_text(in));
        break;
    }
    case 1: // a line of the list clicked (or the selection cleared)
        select_line(name->list, in.u16());
        break;
    case 2:
        send(name, NAME_ADD);
        break;
    case 3:
        send(name, NAME_DELETE);
        break;
    default:
        send(name, NAME_SET);
        break;
    }
}

void gasp_request(reader& in, ttf_gasp* gasp) {
    if (!gasp || !gasp->set)
        return;
    const uint32 BUTTON_HIT = 'Bhit', DELETE_LAST = 'Fdel';
    uint8_t what = in.u8();
    switch (what % 7) {
    case 0:
        set_text(gasp->pt, field_text(in));
        break;
    case 1:
        set_value((in.u8() & 1) ? gasp->gridfit : gasp->grayscale, in.u8() & 1);
        break;
    case 2:
        select_line(gasp->list, in.u16());
        break;
    case 3:
        from(gasp, BUTTON_HIT, gasp->add);
        break;
    case 4:
        from(gasp, BUTTON_HIT, gasp->del);
        break;
    case 5:
        from(gasp, BUTTON_HIT, gasp->set);
        break;
    default: { // the answer to "delete the last range?"
        BMessage m(DELETE_LAST);
        m.AddInt32("which", (int32)(in.u8() % 3));
        send(gasp, m);
        break;
    }
    }
}

void bitmap_request(reader& in, ttf_ebdt* ebdt) {
    ebdttoolview* tools = ebdt ? dynamic_cast<ebdttoolview*>(ebdt->toolview) : nullptr;
    BView* canvas = ebdt ? ebdt->editview : nullptr;
    if (!tools || !canvas || !tools->gnoctl)
        return;
    uint8_t what = in.u8();
    switch (what % 7) {
    case 0: { // a glyph number or a character typed into the palette, then Enter
        BTextControl* f = (in.u8() & 1) ? tools->gnoctl : tools->chrctl;
        set_text(f, field_text(in));
        from(tools, EBDT_TEXT, f);
        break;
    }
    case 1: { // a strike chosen in the size menu, of any size
        BMessage m(EBDT_SIZE);
        m.AddInt16("pt", (int16)in.u16());
        send(tools, m);
        break;
    }
    case 2:
        from(tools, EBDT_BUTTON, tools->setbtn);
        break;
    case 3: { // the palette's request with any fields
        BMessage m(EBDT_CHANGE);
        uint8_t fields = in.u8();
        if (fields & 1)
            m.AddInt16("gno", (int16)in.u16());
        if (fields & 2)
            m.AddInt16("chr", (int16)in.u16());
        if (fields & 4)
            m.AddInt16("pt", (int16)in.u16());
        send(canvas, m);
        break;
    }
    case 4: { // a click that toggles the pixel under it
        BPoint at = canvas_point(in);
        screen().mouse_move(window, at, 0, 0);
        screen().mouse_down(window, at, B_PRIMARY_MOUSE_BUTTON, 0);
        screen().mouse_up(window, at, 0);
        break;
    }
    case 5:
        pending_answer(in, canvas);
        break;
    default:
        send(canvas, EBDT_SET);
        break;
    }
}

void run_step(reader& in, ttf* font) {
    uint8_t step = in.u8();
    glyfeditview* editor = font->glyf ? dynamic_cast<glyfeditview*>(font->glyf->editview) : nullptr;
    switch (step % 9) {
    case 0:
    case 1:
        if (editor)
            glyph_step_request(in, editor, in.u8());
        break;
    case 2: {
        ttf_table* const tables[] = {font->glyf, font->hmtx, font->cmap,
                                     font->name, font->gasp, font->ebdt};
        show(tables[in.u8() % 6]);
        break;
    }
    case 3:
        hmtx_request(in, font->hmtx);
        break;
    case 4:
        cmap_request(in, font->cmap);
        break;
    case 5:
        name_request(in, font->name);
        break;
    case 6:
        gasp_request(in, font->gasp);
        break;
    case 7:
        bitmap_request(in, font->ebdt);
        break;
    default: {
        BMessage m(FUZZ_UNDO);
        m.AddBool("redo", in.u8() & 1);
        post_window(m);
        break;
    }
    }
}

std::vector<uint8_t> read_all(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return std::vector<uint8_t>(std::istreambuf_iterator<char>(in), {});
}

} // namespace

// Fontconfig keeps pattern memory it never frees once the first text is
// laid out; that is the library's, not the program's.
extern "C" const char* __lsan_default_suppressions() {
    return "leak:libfontconfig.so\n";
}

extern "C" int LLVMFuzzerInitialize(int*, char***) {
    kit::install_display(std::make_unique<kit::headless_display>());
    register_glyf_views();
    register_ebdt_views();
    for (const char* seed :
         {"dejavu-composites.ttf", "liberation-hinted.ttf", "new-font.ttf", "bitmaps.ttf",
          "variable.ttf"}) {
        std::vector<uint8_t> font = read_all(std::string(TAVREL_FUZZ_SEEDS) + "/" + seed);
        if (font.empty()) {
            fprintf(stderr, "editor_message_fuzzer: cannot read the seed font %s\n", seed);
            abort();
        }
        seeds.push_back(std::move(font));
    }
    input_path = temp_file();
    output_path = temp_file();
    atexit([] {
        unlink(input_path.c_str());
        unlink(output_path.c_str());
    });
    window = new fuzz_window();
    work = new BView(BRect(0, 0, 561, 511), "work", B_FOLLOW_ALL, B_WILL_DRAW);
    window->Show();
    window->Lock();
    window->AddChild(work);
    window->Unlock();
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    reader in(data, size);
    uint8_t pick = in.u8();
    if (pick < 0xE0) {
        const std::vector<uint8_t>& seed = seeds[pick % seeds.size()];
        write_file(input_path, seed.data(), seed.size());
    } else {
        uint32_t length = (uint32_t)in.u8() << 16 | in.u16();
        std::vector<uint8_t> font = in.bytes(length);
        write_file(input_path, font.data(), font.size());
    }

    ttf* font = new ttf();
    {
        BFile file(input_path.c_str(), B_READ_ONLY);
        if (font->load(file) != 0) {
            delete font;
            return 0;
        }
    }
    window->Lock();
    font->set_view(work);
    font->start_history()->mark_saved();
    window->font = font;
    curfont = font;
    glyfeditview* editor = font->glyf ? dynamic_cast<glyfeditview*>(font->glyf->editview) : nullptr;
    if (editor) {
        window->show_only(font->glyf);
        window->inputtarget = editor;
    }
    window->Unlock();
    if (editor) {
        BRect b = font->bounds();
        BMessage init(GLYF_INIT);
        init.AddRect("bounds", BRect(0, 0, b.right - b.left, b.top - b.bottom));
        send(editor, init);
    }

    for (int i = 0; i < MAX_STEPS && !in.done(); i++)
        run_step(in, font);
    wait_idle();
    close_alerts();
    wait_idle();

    window->Lock();
    int saved;
    {
        BFile out(output_path.c_str(), B_READ_WRITE | B_ERASE_FILE);
        saved = font->save(out);
    }
    unsigned glyphs = font->maxp ? font->maxp->numglyphs() : 0;
    window->inputtarget = nullptr;
    window->font = nullptr;
    curfont = nullptr;
    font->reset_view(work);
    delete font;
    window->Unlock();

    // What was saved reads back, with every glyph.
    if (saved == 0) {
        ttf again;
        BFile file(output_path.c_str(), B_READ_ONLY);
        if (again.load(file) != 0) {
            fprintf(stderr, "editor_message_fuzzer: the saved font cannot be read again\n");
            abort();
        }
        if ((again.maxp ? again.maxp->numglyphs() : 0) != glyphs) {
            fprintf(stderr, "editor_message_fuzzer: the saved font lost glyphs\n");
            abort();
        }
    }
    return 0;
}
