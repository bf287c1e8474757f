// The real program on a real X server: started with a font on its command
// line, driven with xdotool (a tag clicked, File > Save as, a name typed in
// the save panel, File > Quit), and the file it wrote checked by OTS and
// fontTools. The scripts do the driving; see tests/tools/app_on_xvfb.sh and
// tests/tools/new_on_xvfb.sh (File > New, a block ticked, "set", saved).
#include "support/test_support.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <string>

using namespace testing_support;

TEST(Desktop, RealProgramOpensShowsSavesThroughThePanelAndQuits) {
    std::string output;
    int status =
        run_command("timeout 120 bash " + source_dir() + "/tests/tools/app_on_xvfb.sh " +
                        TAVREL_PROGRAM + " /usr/share/fonts/truetype/dejavu/DejaVuSans.ttf " +
                        python() + " " + source_dir() + "/tests/tools/check_font.py",
                    &output);
    EXPECT_EQ(status, 0) << output;
    EXPECT_NE(output.find("saved through the panel and checked"), std::string::npos) << output;
}

// The open panel on the real desktop: a path typed with "~" and completed
// with Tab opens the font, which the title then names; see
// tests/tools/open_path_on_xvfb.sh.
TEST(Desktop, APathTypedInTheOpenPanelOpensTheFontAndTheTitleNamesIt) {
    std::string output;
    int status =
        run_command("timeout 120 bash " + source_dir() + "/tests/tools/open_path_on_xvfb.sh " +
                        TAVREL_PROGRAM + " /usr/share/fonts/truetype/dejavu/DejaVuSans.ttf",
                    &output);
    EXPECT_EQ(status, 0) << output;
    EXPECT_NE(output.find("opened by a typed path: typed.ttf"), std::string::npos) << output;
}

// File > "Open recent" on the real desktop: the list from the settings,
// a missing file greyed and passed over by the keys, the chosen font
// opened and put first; see tests/tools/recent_on_xvfb.sh.
TEST(Desktop, OpenRecentOpensAFontFromTheListKeptInTheSettings) {
    std::string output;
    int status =
        run_command("timeout 120 bash " + source_dir() + "/tests/tools/recent_on_xvfb.sh " +
                        TAVREL_PROGRAM + " /usr/share/fonts/truetype/dejavu/DejaVuSans.ttf",
                    &output);
    EXPECT_EQ(status, 0) << output;
    EXPECT_NE(output.find("opened from the recent list: b.ttf"), std::string::npos) << output;
}

// The main window resized on a real desktop: the glyph editor's canvas
// uses the room at 1600 x 1000, and the next run opens at the size and
// place the last one left; see tests/tools/resize_on_xvfb.sh.
TEST(Desktop, MainWindowResizedKeepsItsSizeForTheNextRun) {
    std::string output;
    int status =
        run_command("timeout 120 bash " + source_dir() + "/tests/tools/resize_on_xvfb.sh " +
                        TAVREL_PROGRAM + " /usr/share/fonts/truetype/dejavu/DejaVuSans.ttf",
                    &output);
    EXPECT_EQ(status, 0) << output;
    EXPECT_NE(output.find("resized to 1600x1000 and kept: main.frame=40 30 1639 1029"),
              std::string::npos)
        << output;
}

// The name and gasp editors on the same real desktop: records and ranges
// edited with real clicks and typing (in several scripts), saved through
// the panel and read back by OTS and fontTools; see
// tests/tools/editors_on_xvfb.sh.
TEST(Desktop, NameAndGaspEditorsTakeRealClicksAndTyping) {
    std::string output;
    int status = run_command(
        "timeout 120 bash " + source_dir() + "/tests/tools/editors_on_xvfb.sh " + TAVREL_PROGRAM +
            " /usr/share/fonts/truetype/dejavu/DejaVuSans.ttf " + python() + " " + TAVREL_FT_CHECK,
        &output);
    EXPECT_EQ(status, 0) << output;
    EXPECT_NE(output.find("name and gasp edited on the desktop and read back"), std::string::npos)
        << output;
    EXPECT_NE(output.find("FreeType reads the new name and ranges"), std::string::npos) << output;
}

// "New" on the real desktop: a block ticked, "set", saved through the
// panel, then glyph A drawn, stored and saved with Alt+S; see
// tests/tools/new_on_xvfb.sh.
TEST(Desktop, RealProgramBuildsANewFontFromABlockAndSavesIt) {
    std::string output;
    const char* shots = getenv("TAVREL_SCREENSHOT_DIR");
    int status = run_command("timeout 120 bash " + source_dir() + "/tests/tools/new_on_xvfb.sh " +
                                 TAVREL_PROGRAM + " " + python() + " " + source_dir() +
                                 "/tests/tools/check_font.py " + TAVREL_FT_CHECK + " " +
                                 (shots ? shots : ""),
                             &output);
    EXPECT_EQ(status, 0) << output;
    EXPECT_NE(output.find("ok 128 glyphs 127 codes"), std::string::npos) << output;
    EXPECT_NE(output.find("glyphs 128\nindex 65\n"), std::string::npos) << output;
    EXPECT_NE(output.find("drawn A A "), std::string::npos) << output;
    EXPECT_NE(output.find("........\n########\n"), std::string::npos) << output;
    EXPECT_NE(output.find("new font built, saved and checked"), std::string::npos) << output;
}

// The text preview on the real desktop: Alt+P, a line typed, glyph O
// emptied and stored in the main window, the preview changed; see
// tests/tools/preview_on_xvfb.sh.
TEST(Desktop, TextPreviewFollowsAGlyphStoredInTheMainWindow) {
    std::string output;
    int status = run_command("timeout 120 bash " + source_dir() +
                                 "/tests/tools/preview_on_xvfb.sh " + TAVREL_PROGRAM +
                                 " /usr/share/fonts/truetype/dejavu/DejaVuSans.ttf " + python(),
                             &output);
    EXPECT_EQ(status, 0) << output;
    EXPECT_NE(output.find("saw the preview change on the desktop"), std::string::npos) << output;
}

// The glyph editor on the real desktop: a character typed into the
// palette, the glyph cleared, a rectangle dragged with the rectangle tool,
// "set", saved through the panel; see tests/tools/glyph_editor_on_xvfb.sh.
TEST(Desktop, GlyphDrawnWithTheRectangleToolIsStoredAndSaved) {
    std::string output;
    int status =
        run_command("timeout 120 bash " + source_dir() + "/tests/tools/glyph_editor_on_xvfb.sh " +
                        TAVREL_PROGRAM + " /usr/share/fonts/truetype/dejavu/DejaVuSans.ttf " +
                        python() + " " + TAVREL_FT_CHECK,
                    &output);
    EXPECT_EQ(status, 0) << output;
    EXPECT_NE(output.find("glyph A is the rectangle drawn, every other glyph as before"),
              std::string::npos)
        << output;
    EXPECT_NE(output.find("glyph drawn on the desktop, stored, saved and checked"),
              std::string::npos)
        << output;
}

// The display scale on the real desktop: the window's size follows
// TAVREL_SCALE, GDK_SCALE and Xft.dpi in that order, and at scale 2 a press
// at a tag's place on the screen shows its view; see
// tests/tools/scale_on_xvfb.sh.
TEST(Desktop, WindowsFollowTheDisplayScaleAndTakePressesWhereTheyAreShown) {
    std::string output;
    int status =
        run_command("timeout 120 bash " + source_dir() + "/tests/tools/scale_on_xvfb.sh " +
                        TAVREL_PROGRAM + " /usr/share/fonts/truetype/dejavu/DejaVuSans.ttf " +
                        python(),
                    &output);
    EXPECT_EQ(status, 0) << output;
    EXPECT_NE(output.find("scaled windows checked on the desktop"), std::string::npos) << output;
}

// The desktop's clipboard between two running programs on different fonts
// and a plain X client (xclip); see tests/tools/clipboard_on_xvfb.sh.
TEST(Desktop, GlyphCopiedInOneProgramPastesInAnotherAndSvgComesFromOtherClients) {
    std::string output;
    int status = run_command(
        "timeout 120 bash " + source_dir() + "/tests/tools/clipboard_on_xvfb.sh " + TAVREL_PROGRAM +
            " /usr/share/fonts/truetype/dejavu/DejaVuSans.ttf " +
            "/usr/share/fonts/truetype/liberation2/LiberationSans-Regular.ttf " + python(),
        &output);
    EXPECT_EQ(status, 0) << output;
    EXPECT_NE(output.find("clipboard shared by two programs and xclip on the desktop"),
              std::string::npos)
        << output;
}

// Undo, redo, the question on quitting with a change, and Save on the
// real desktop, all from the keyboard; see tests/tools/undo_on_xvfb.sh.
TEST(Desktop, UndoRedoQuitQuestionAndAltSOnTheDesktop) {
    std::string output;
    int status = run_command("timeout 120 bash " + source_dir() + "/tests/tools/undo_on_xvfb.sh " +
                                 TAVREL_PROGRAM +
                                 " /usr/share/fonts/truetype/dejavu/DejaVuSans.ttf " + python(),
                             &output);
    EXPECT_EQ(status, 0) << output;
    EXPECT_NE(output.find("edited, undone, redone, quit cancelled, saved with Alt+S and quit"),
              std::string::npos)
        << output;
}

// The cmap view's list of runs on the real desktop with a large CJK font:
// a run clicked in the list, given another glyph and set, the font saved
// through the panel; fontTools reads exactly that run changed in every
// Unicode subtable; see tests/tools/cmap_runs_on_xvfb.sh.
TEST(Desktop, CmapRunClickedInTheListIsRemappedAndSaved) {
    std::string output;
    int status =
        run_command("timeout 180 bash " + source_dir() + "/tests/tools/cmap_runs_on_xvfb.sh " +
                        TAVREL_PROGRAM + " /usr/share/fonts/truetype/hanazono/HanaMinA.ttf " +
                        python() + " " + source_dir() + "/tests/tools",
                    &output);
    EXPECT_EQ(status, 0) << output;
    EXPECT_NE(output.find("best map: "), std::string::npos) << output;
    EXPECT_NE(output.find("remapped on the desktop, saved and read back"), std::string::npos)
        << output;
}

// Crash recovery on the real desktop: an edit, the program killed with
// SIGKILL, started again, "Recover", Alt+S; see tests/tools/recovery_on_xvfb.sh.
TEST(Desktop, KilledWithAnUnsavedEditTheNextStartRecoversItAndSavesItToTheFile) {
    std::string output;
    const char* shots = getenv("TAVREL_SCREENSHOT_DIR");
    int status =
        run_command("timeout 120 bash " + source_dir() + "/tests/tools/recovery_on_xvfb.sh " +
                        TAVREL_PROGRAM + " /usr/share/fonts/truetype/dejavu/DejaVuSans.ttf " +
                        python() + " " + (shots ? shots : ""),
                    &output);
    EXPECT_EQ(status, 0) << output;
    EXPECT_NE(output.find("killed with a change, recovered at the next start, saved to the file"),
              std::string::npos)
        << output;
}

// A pixel toggled in the bitmap editor and not stored stops Quit with the
// question on the real desktop; "Save" then stores and saves it; see
// tests/tools/bitmap_on_xvfb.sh.
TEST(Desktop, APixelNotStoredStopsQuitWithTheQuestion) {
    std::string output;
    int status =
        run_command("timeout 120 bash " + source_dir() + "/tests/tools/bitmap_on_xvfb.sh " +
                        TAVREL_PROGRAM + " /usr/share/fonts/truetype/misaki/misaki_gothic.ttf " +
                        python() + " " + source_dir() + "/tests/tools",
                    &output);
    EXPECT_EQ(status, 0) << output;
    EXPECT_NE(output.find("one pixel changed in glyph"), std::string::npos) << output;
    EXPECT_NE(output.find("quit asked and cancelled, stored and saved on quitting"),
              std::string::npos)
        << output;
}

// A variable font on the real desktop: one point of a glyph moved with the
// pointer, "set", saved through the panel; the glyph's variations kept, as
// fontTools' instancer and FreeType's named instances show; see
// tests/tools/variable_on_xvfb.sh.
TEST(Desktop, PointMovedInAVariableFontMovesAtEveryInstance) {
    std::string output;
    int status = run_command(
        "timeout 180 bash " + source_dir() + "/tests/tools/variable_on_xvfb.sh " + TAVREL_PROGRAM +
            " " + python() + " " + TAVREL_FT_CHECK + " " + source_dir() + "/tests/tools",
        &output);
    EXPECT_EQ(status, 0) << output;
    EXPECT_NE(output.find("FreeType: every named instance has the point moved by the same amount"),
              std::string::npos)
        << output;
    EXPECT_NE(output.find("a point of a variable font moved on the desktop, saved and checked"),
              std::string::npos)
        << output;
}

// The glyph overview on the real desktop: Alt+G, End, a double-click on the
// last cell shows that glyph in the outline editor; see
// tests/tools/overview_on_xvfb.sh.
TEST(Desktop, OverviewDoubleClickShowsTheLastGlyphInTheEditor) {
    std::string out;
    int status = run_command("timeout 120 bash " + source_dir() +
                                 "/tests/tools/overview_on_xvfb.sh " + TAVREL_PROGRAM +
                                 " /usr/share/fonts/truetype/dejavu/DejaVuSans.ttf " + python(),
                             &out);
    EXPECT_EQ(0, status) << out;
}

// A collection on the real desktop: the face chosen in the question, its
// maxp edited and the collection saved; fontTools sees only that face's
// maxp changed, OTS and FreeType read every face; see
// tests/tools/collection_on_xvfb.sh.
TEST(Desktop, FaceOfACollectionChosenEditedAndSaved) {
    std::string output;
    int status =
        run_command("timeout 180 bash " + source_dir() + "/tests/tools/collection_on_xvfb.sh " +
                        TAVREL_PROGRAM + " " + python() + " " + TAVREL_FT_CHECK + " " +
                        source_dir() + "/tests/tools",
                    &output);
    EXPECT_EQ(status, 0) << output;
    EXPECT_NE(output.find("a face of a collection chosen, edited and saved on the desktop"),
              std::string::npos)
        << output;
}

// The check window on the real desktop: Alt+K, a double click on a finding
// shows its glyph with its point selected, Delete, "set" and Alt+S store
// the fix, which the saved font and `tavrel --check` confirm; see
// tests/tools/check_on_xvfb.sh.
TEST(Desktop, CheckWindowJumpsToAFindingThatIsThenFixed) {
    std::string output;
    int status = run_command(
        "timeout 120 bash " + source_dir() + "/tests/tools/check_on_xvfb.sh " + TAVREL_PROGRAM +
            " /usr/share/fonts/truetype/liberation2/LiberationSans-Regular.ttf " + python(),
        &output);
    EXPECT_EQ(status, 0) << output;
    EXPECT_NE(output.find("a double click showed glyph 2207 with point 11 selected"),
              std::string::npos)
        << output;
}
