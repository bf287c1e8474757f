// The real program on a real X server: started with a font on its command
// line, driven with xdotool (a tag clicked, File > Save as, a name typed in
// the save panel, File > Quit), and the file it wrote checked by OTS and
// fontTools. The script does the driving; see tests/tools/app_on_xvfb.sh.
#include "support/test_support.h"

#include <gtest/gtest.h>

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

// The name and gasp editors on the same real desktop: records and ranges
// edited with real clicks and typing (in several scripts), saved through
// the panel and read back by OTS and fontTools; see
// tests/tools/editors_on_xvfb.sh.
TEST(Desktop, NameAndGaspEditorsTakeRealClicksAndTyping) {
    std::string output;
    int status = run_command("timeout 120 bash " + source_dir() +
                                 "/tests/tools/editors_on_xvfb.sh " + TAVREL_PROGRAM +
                                 " /usr/share/fonts/truetype/dejavu/DejaVuSans.ttf " + python(),
                             &output);
    EXPECT_EQ(status, 0) << output;
    EXPECT_NE(output.find("name and gasp edited on the desktop and read back"), std::string::npos)
        << output;
}
