// The name table's editor: a list of every record ("pppp-eeee-llll-nnnn
// text"), "add", "del" and "set" buttons, the four IDs in hexadecimal and
// the record's text in UTF-8 (or its bytes in hexadecimal pairs, for an
// encoding the table does not convert). Selecting a record fills the fields; "set"
// adds or replaces the record the fields describe and "del" removes the
// selected one. Every change rebuilds the table at once.
#include "font/name.h"

#include "font/list_items.h"
#include "font/table_alert.h"
#include "font/table_editor.h"
#include "font/view_layout.h"

#include <Button.h>
#include <ListView.h>
#include <Message.h>
#include <TextControl.h>

#include <cstdio>
#include <vector>

namespace {

const uint32 NAME_SELECT = 'Nsel';
const uint32 NAME_ADD = 'Nadd';
const uint32 NAME_DELETE = 'Ndel';
const uint32 NAME_SET = 'Nset';

const uint32 FLAGS = B_WILL_DRAW | B_NAVIGABLE;
const uint32 PLACE = B_FOLLOW_LEFT | B_FOLLOW_TOP;

const char* const ID_LABELS[4] = {"plathomeID", "encodingID", "languageID", "nameID"};

// A record's four IDs as the undo menu names it: "3/1/0409/0001".
std::string record_key(const unsigned short ids[4]) {
    char text[32];
    snprintf(text, sizeof text, "%x/%x/%04x/%04x", ids[0], ids[1], ids[2], ids[3]);
    return text;
}

BTextControl* add_text(BView* parent, BRect frame, const char* name, const char* label) {
    BTextControl* control =
        new BTextControl(frame, name, label, "", new BMessage(EDITOR_TEXT), PLACE, FLAGS);
    control->SetTarget(parent);
    parent->AddChild(control);
    return control;
}

void add_button(BView* parent, BRect frame, const char* name, uint32 what) {
    BButton* button = new BButton(frame, name, name, new BMessage(what), PLACE, FLAGS);
    button->SetTarget(parent);
    parent->AddChild(button);
}

// Record `index` whole: its IDs and its text in UTF-8. False when the
// index is past the records (a list older than the table).
bool read_record(ttf_name* table, int index, unsigned short ids[4], std::string* text) {
    long capacity = table->text_capacity(index);
    if (capacity < 1)
        return false;
    std::vector<char> buffer((size_t)capacity);
    long length = capacity;
    if (table->get_field(index, &ids[0], &ids[1], &ids[2], &ids[3], &length, buffer.data()) != 0)
        return false;
    text->assign(buffer.data(), (size_t)length);
    return true;
}

// Line breaks (of a licence text, say) show as this sign, in the list and
// in "DATA", where it can be typed too; a one-line field could not hold
// the breaks themselves.
const char* const LINE_BREAK = "\xE2\x86\xB5"; // U+21B5

// Bytes that are not UTF-8 (a raw Macintosh record's accented letters)
// show as this sign rather than spoil the whole line.
const char* const NOT_UTF8 = "\xEF\xBF\xBD"; // U+FFFD

// The length of the UTF-8 sequence at `i`; 0 when there is none.
size_t sequence_at(const std::string& s, size_t i) {
    unsigned char c = (unsigned char)s[i];
    size_t n = c < 0x80 ? 1 : (c >> 5) == 6 ? 2 : (c >> 4) == 14 ? 3 : (c >> 3) == 30 ? 4 : 0;
    if (n == 0 || i + n > s.size())
        return 0;
    for (size_t k = 1; k < n; k++)
        if (((unsigned char)s[i + k] & 0xC0) != 0x80)
            return 0;
    return n;
}

std::string shown_text(const std::string& text) {
    std::string shown;
    for (size_t i = 0; i < text.size();) {
        size_t n = sequence_at(text, i);
        if (n == 0) {
            shown += NOT_UTF8;
            n = 1;
        } else if (text[i] == '\n') {
            shown += LINE_BREAK;
        } else {
            shown.append(text, i, n);
        }
        i += n;
    }
    return shown;
}

std::string typed_text(const std::string& typed) {
    std::string text;
    std::string mark = LINE_BREAK;
    for (size_t i = 0; i < typed.size(); i++) {
        if (typed.compare(i, mark.size(), mark) == 0) {
            text += '\n';
            i += mark.size() - 1;
        } else {
            text += typed[i];
        }
    }
    return text;
}

// One line of the list. Other control characters (substitutes, tabs)
// show as spaces.
std::string list_line(const unsigned short ids[4], const std::string& text) {
    char head[32];
    snprintf(head, sizeof head, "%04x-%04x-%04x-%04x ", ids[0], ids[1], ids[2], ids[3]);
    std::string line = head;
    for (char c : shown_text(text))
        line += (unsigned char)c < 0x20 || c == 0x7F ? ' ' : c;
    return line;
}

// Why set_field refused the text, for the user.
std::string refusal(int result, const unsigned short ids[4], uint32_t refused) {
    char why[240];
    if (result == NAME_UNENCODABLE && refused == NAME_NOT_UTF8) {
        snprintf(why, sizeof why, "The name record was not stored: its text is not valid UTF-8.");
    } else if (result == NAME_UNENCODABLE) {
        std::string ch;
        if (refused < 0x80) {
            ch = (char)refused;
        } else if (refused < 0x800) {
            ch += (char)(0xC0 | (refused >> 6));
            ch += (char)(0x80 | (refused & 0x3F));
        } else if (refused < 0x10000) {
            ch += (char)(0xE0 | (refused >> 12));
            ch += (char)(0x80 | ((refused >> 6) & 0x3F));
            ch += (char)(0x80 | (refused & 0x3F));
        } else {
            ch += (char)(0xF0 | (refused >> 18));
            ch += (char)(0x80 | ((refused >> 12) & 0x3F));
            ch += (char)(0x80 | ((refused >> 6) & 0x3F));
            ch += (char)(0x80 | (refused & 0x3F));
        }
        snprintf(why, sizeof why,
                 "The name record was not stored: %s text cannot hold \xE2\x80\x9C%s\xE2\x80\x9D "
                 "(U+%04X).",
                 name_encoding_label(ids[0], ids[1], ids[2]), shown_text(ch).c_str(),
                 (unsigned)refused);
    } else if (result == NAME_NOT_HEX) {
        snprintf(why, sizeof why,
                 "The name record was not stored: records of platform %u, encoding %u are kept "
                 "as bytes; type them as hexadecimal pairs, such as \xE2\x80\x9C"
                 "4e 61 6d 65\xE2\x80\x9D.",
                 ids[0], ids[1]);
    } else {
        snprintf(why, sizeof why,
                 "The name record was not stored: the name table would grow past what its "
                 "16-bit lengths and offsets can address (64 KB of strings).");
    }
    return why;
}

} // namespace

ttf_name::~ttf_name() {
    release_record_list(list);
}

void ttf_name::AttachedToWindow() {
    if (list) {
        redraw();
        return;
    }
    set_list_editor_look(this);
    list = add_record_list(this, BRect(20, 20, 540, 380), "name-list", NAME_SELECT);

    add_button(this, BRect(20, 410, 70, 430), "add", NAME_ADD);
    add_button(this, BRect(100, 410, 150, 430), "del", NAME_DELETE);
    add_button(this, BRect(500, 448, 540, 470), "set", NAME_SET);
    BTextControl** ids[4] = {&pid, &eid, &lid, &nid};
    const char* const names[4] = {"pid", "eid", "lid", "nid"};
    for (int i = 0; i < 4; i++)
        *ids[i] =
            add_text(this, BRect(20 + 120 * i, 450, 120 + 120 * i, 470), names[i], ID_LABELS[i]);
    datatext = add_text(this, BRect(20, 480, 540, 500), "data", "DATA");
    datatext->SetDivider(30);
    layout_children(this, {{list, layout_place::fill},
                           {FindView("add"), layout_place::bottom},
                           {FindView("del"), layout_place::bottom},
                           {pid, layout_place::bottom},
                           {eid, layout_place::bottom},
                           {lid, layout_place::bottom},
                           {nid, layout_place::bottom},
                           {FindView("set"), layout_place::bottom_right},
                           {datatext, layout_place::bottom_wide}});

    MakeFocus(true);
    redraw();
}

void ttf_name::Draw(BRect update) {
    rgb_color high = HighColor();
    SetHighColor(0, 0, 0);
    FillRect(update);
    SetHighColor(high);
}

void ttf_name::refresh() {
    redraw();
    ttf_table::refresh();
}

void ttf_name::redraw() {
    if (!list)
        return;
    delete_list_items(list);
    int n = count();
    for (int i = 0; i < n; i++) {
        unsigned short ids[4];
        std::string text;
        if (read_record(this, i, ids, &text))
            list->AddItem(new BStringItem(list_line(ids, text).c_str()));
    }
}

void ttf_name::MessageReceived(BMessage* message) {
    switch (message->what) {
    case NAME_SELECT: {
        int32 index;
        if (message->FindInt32("index", &index) == B_OK)
            fill_fields(index);
        return;
    }
    case NAME_ADD:
        // Clearing the selection empties the fields; without one there is
        // no selection message, so they are emptied here.
        if (list && list->CurrentSelection() >= 0)
            list->DeselectAll();
        else
            fill_fields(-1);
        return;
    case NAME_DELETE:
        delete_selected();
        return;
    case NAME_SET:
        store_fields();
        return;
    case EDITOR_TEXT:
        return;
    default:
        ttf_table::MessageReceived(message);
    }
}

void ttf_name::fill_fields(int index) {
    if (!datatext)
        return;
    BTextControl* fields[4] = {pid, eid, lid, nid};
    if (index < 0) {
        for (BTextControl* f : fields)
            f->SetText("");
        datatext->SetText("");
        fShownText.clear();
        fRecordText.clear();
        return;
    }
    unsigned short ids[4];
    std::string text;
    // A selection older than the table names no record.
    if (!read_record(this, index, ids, &text))
        return;
    for (int i = 0; i < 4; i++) {
        char hex[8];
        snprintf(hex, sizeof hex, "%04x", ids[i]);
        fields[i]->SetText(hex);
    }
    datatext->SetText(shown_text(text).c_str());
    fRecordText = text;
    fShownText = datatext->Text();
}

void ttf_name::store_fields() {
    if (!datatext)
        return;
    BTextControl* fields[4] = {pid, eid, lid, nid};
    unsigned short ids[4];
    for (int i = 0; i < 4; i++) {
        // Read in the widest type, so that digits past 32 bits are refused
        // rather than wrapped into a small ID.
        unsigned long value;
        if (sscanf(fields[i]->Text(), "%lx", &value) != 1)
            return;
        if (value > 0xFFFF) {
            char why[160];
            snprintf(why, sizeof why,
                     "The name record was not stored: %s %.20s does not fit in 16 bits (at "
                     "most ffff).",
                     ID_LABELS[i], fields[i]->Text());
            table_alert(why);
            return;
        }
        ids[i] = (unsigned short)value;
    }
    std::string typed = datatext->Text();
    std::string text = typed == fShownText ? fRecordText : typed_text(typed);
    checkpoint("name record " + record_key(ids));
    uint32_t refused = 0;
    int result = set_field(ids[0], ids[1], ids[2], ids[3], text.c_str(), &refused);
    if (result != 0) {
        table_alert(refusal(result, ids, refused).c_str());
        return;
    }
    redraw();
    select_record(ids);
}

void ttf_name::delete_selected() {
    if (!list)
        return;
    int32 index = list->CurrentSelection();
    if (index < 0)
        return;
    unsigned short ids[4];
    long none = 0;
    // A selection older than the table names no record to delete.
    if (get_field(index, &ids[0], &ids[1], &ids[2], &ids[3], &none, nullptr) != 0)
        return;
    checkpoint("deletion of name record " + record_key(ids));
    if (set_field(ids[0], ids[1], ids[2], ids[3], nullptr) != 0) {
        table_alert("The name record could not be deleted: no memory is left to rebuild the "
                    "table.");
        return;
    }
    redraw();
}

void ttf_name::select_record(const unsigned short want[4]) {
    int n = count();
    for (int i = 0; i < n; i++) {
        unsigned short ids[4];
        long none = 0;
        if (get_field(i, &ids[0], &ids[1], &ids[2], &ids[3], &none, nullptr) == 0 &&
            ids[0] == want[0] && ids[1] == want[1] && ids[2] == want[2] && ids[3] == want[3]) {
            list->Select(i);
            return;
        }
    }
}
