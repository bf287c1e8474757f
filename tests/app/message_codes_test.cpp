// Message codes: every code a view or window takes means one thing there,
// and a message's reply or report does not share the code of the request
// that caused it (a handler that took both could not tell them apart).
#include "app/messages.h"
#include "editor/ebdteditview.h"
#include "editor/glyfeditview.h"
#include "editor/glyftoolview.h"
#include "editor/pending_question.h"
#include "font/table_editor.h"

#include <gtest/gtest.h>

#include <set>
#include <string>
#include <vector>

namespace {

std::string code_text(uint32 code) {
    return std::string{(char)(code >> 24), (char)(code >> 16), (char)(code >> 8), (char)code};
}

} // namespace

TEST(MessageCodes, EachCodeAHandlerTakesMeansOneThing) {
    struct {
        const char* receiver;
        std::vector<uint32> codes;
    } const receivers[] = {
        {"glyph editor",
         {GLYF_INIT, GLYF_CHANGE, GLYF_REDRAW, GLYF_CLEAR, GLYF_STORE, GLYF_ADD_COMPONENT,
          GLYF_DEL_COMPONENT, GLYF_DROP_VARIATIONS, GLYF_PASTE_AS, PENDING_ANSWER, GLYF_TOOLS[0],
          GLYF_TOOLS[1], GLYF_TOOLS[2], GLYF_TOOLS[3], GLYF_TOOLS[4], GLYF_TOOLS[5]}},
        {"glyph palette", {GLYF_REPORT, GLYF_TOOL_TEXT, GLYF_TOOL_BUTTON, GLYF_TOOL_COMPONENT}},
        {"bitmap canvas", {EBDT_CHANGE, EBDT_SET, PENDING_ANSWER}},
        {"bitmap palette", {EBDT_REPORT, EBDT_SIZE, EBDT_TEXT, EBDT_BUTTON}},
        {"table editor", {EDITOR_TEXT, EDITOR_BUTTON, EDITOR_SLIDER, EDITOR_CHECK}},
        {"work view", {MSG_OPEN_PANEL, MSG_SAVE_PANEL, MSG_FONT_READY, MSG_TABLE_SELECT}},
        {"main window",
         {MSG_UNDO, MSG_REDO, MSG_HISTORY, MSG_PREVIEW, MSG_OVERVIEW, MSG_SHOW_GLYPH,
          MSG_CHECK_OPEN}},
        {"application", {MSG_NEW_FONT, MSG_SAVE, MSG_SETUP_DONE}},
        // A request and the answer to it.
        {"glyph editor and palette", {GLYF_CHANGE, GLYF_REPORT}},
        {"bitmap canvas and palette", {EBDT_CHANGE, EBDT_REPORT}},
        {"new font, to the work view and on to the glyph editor", {MSG_FONT_READY, GLYF_INIT}},
    };
    for (const auto& r : receivers) {
        std::set<uint32> seen;
        for (uint32 code : r.codes)
            EXPECT_TRUE(seen.insert(code).second)
                << r.receiver << ": '" << code_text(code) << "' has two meanings";
    }
}
