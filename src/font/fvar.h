// ttf_fvar: the font variations table ("fvar"): the axes a variable font
// varies along and its named instances. Shown read-only.
//
// Layout (big-endian):
//   0  u16      majorVersion (1)        8  u16 axisCount
//   2  u16      minorVersion (0)        10 u16 axisSize (20)
//   4  Offset16 axesArrayOffset         12 u16 instanceCount
//   6  u16      reserved (2)            14 u16 instanceSize
// Axis records at axesArrayOffset, axisSize bytes each:
//   0 Tag axisTag, 4 Fixed minValue, 8 Fixed defaultValue, 12 Fixed maxValue,
//   16 u16 flags, 18 u16 axisNameID
// Instance records right after the axes, instanceSize bytes each:
//   0 u16 subfamilyNameID, 2 u16 flags, 4 Fixed coordinates[axisCount],
//   then an optional u16 postScriptNameID
#ifndef TAVREL_FONT_FVAR_H
#define TAVREL_FONT_FVAR_H

#include "font/ttf_table.h"

#include <vector>

struct fvar_axis {
    uint32_t tag;
    double min, def, max;
    uint16_t nameid;
};

struct fvar_instance {
    uint16_t nameid;
    std::vector<double> coordinates;
};

class ttf_fvar : public ttf_table {
  public:
    ttf_fvar(ttf* owner, unsigned char* data, unsigned long length);

    // The axes and instances whose records lie wholly inside the table;
    // none when the header's sizes are too small for what they describe.
    int axis_count() const;
    int instance_count() const;
    bool axis(int i, fvar_axis* out) const;
    bool instance(int i, fvar_instance* out) const;

    // The view (fvar_view.cpp): the header, the axes and the instances.
    void Draw(BRect update) override;
    void redraw();
};

#endif
