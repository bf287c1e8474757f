// The metrics and character-map editors in the real program on a real X
// server: glyph metrics and a run of codes set by typing and clicking, the
// font saved through the panel, and the file checked by OTS, fontTools and
// FreeType.
// The script does the driving; see tests/tools/metrics_cmap_on_xvfb.sh.
#include "support/test_support.h"

#include <gtest/gtest.h>

#include <string>

using namespace testing_support;

TEST(Desktop, MetricsAndCharacterMapEditedThroughTheirEditorsAndSaved) {
    std::string output;
    int status =
        run_command("timeout 180 bash " + source_dir() + "/tests/tools/metrics_cmap_on_xvfb.sh " +
                        TAVREL_PROGRAM + " /usr/share/fonts/truetype/dejavu/DejaVuSans.ttf " +
                        python() + " " + source_dir() + "/tests/tools " + TAVREL_FT_CHECK,
                    &output);
    EXPECT_EQ(status, 0) << output;
    EXPECT_NE(output.find("edited hmtx and cmap through their editors, saved and checked"),
              std::string::npos)
        << output;
    EXPECT_NE(output.find("FreeType reads the new map and widths"), std::string::npos) << output;
}
