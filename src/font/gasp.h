// ttf_gasp: the grid-fitting and scan-conversion procedure table.
//
// Layout (big-endian):
//   0       u16 version
//   2       u16 numRanges
//   4 + 4i  u16 rangeMaxPPEM of range i (ascending)
//   6 + 4i  u16 rangeGaspBehavior of range i (1 grid-fitting, 2 grayscale,
//           4 and 8 the symmetric variants of version 1)
#ifndef TAVREL_FONT_GASP_H
#define TAVREL_FONT_GASP_H

#include "font/ttf_table.h"

class BButton;
class BCheckBox;
class BListView;
class BTextControl;

class ttf_gasp : public ttf_table {
  public:
    ttf_gasp(ttf* owner, unsigned char* data, unsigned long length);
    ~ttf_gasp() override;

    // numRanges; a table cut short counts only the ranges inside it.
    int count();

    // Range `index`. Returns 1, outputs untouched, when index is out of range.
    int get_field(int index, unsigned short* maxppem, unsigned short* behavior);

    // Edits the ranges. With index >= 0 the range at index is meant; with
    // index < 0 the range whose rangeMaxPPEM equals maxppem, if any. A
    // non-zero maxppem sets that size's behaviour (overwriting in place, or
    // inserting the size where it keeps the sizes ascending); maxppem 0
    // deletes the meant range. Returns 0 done, 1 index past the end, 2
    // nothing to do, 3 out of memory (table unchanged).
    int set_field(int index, unsigned short maxppem, unsigned short behavior);

    // The editor (gasp_view.cpp): the range list, "add", "del" and "set",
    // the "max-pt" field and the two behaviour check boxes.
    void AttachedToWindow() override;
    void Draw(BRect update) override;
    void MessageReceived(BMessage* message) override;
    // Refills the list from the bytes as they are now.
    void refresh() override;
    // Refills the list from the table, one line per range.
    void redraw();

    // The controls, made when the view is first attached.
    BListView* list = nullptr;
    BButton* add = nullptr;
    BButton* del = nullptr;
    BButton* set = nullptr;
    BTextControl* pt = nullptr;
    BCheckBox* gridfit = nullptr;
    BCheckBox* grayscale = nullptr;

  private:
    void fill_fields(int index);
    void store_fields();
    void delete_selected();
    void delete_confirmed(BMessage* answer);
    void select_size(unsigned short maxppem);
};

const int GASP_LABEL_SIZE = 64;

// The text the range list shows for a behaviour: the label of bits 0 and 1
// ("none", "Use gridfitting", ...), followed by " + flags %04x" with any
// further bits, which the editor does not know but carries through.
void gasp_label(unsigned short behavior, char label[GASP_LABEL_SIZE]);

#endif
