#include "FilePanel.h"

#include "kit_file_panel_window.h"

#include <Message.h>

BFilePanel::BFilePanel(file_panel_mode mode, BMessenger* target, const entry_ref* directory,
                       uint32 nodeFlavors, bool, BMessage* message, BRefFilter* filter, bool,
                       bool hideWhenDone)
    : fMode(mode), fWindow(new kit::file_panel_window(mode, target, directory, nodeFlavors, message,
                                                      filter, hideWhenDone)) {}

BFilePanel::~BFilePanel() {
    fWindow->Lock();
    fWindow->allow_quit();
    fWindow->Quit();
}

void BFilePanel::Show() {
    fWindow->Lock();
    if (fWindow->IsHidden())
        fWindow->Show();
    fWindow->Unlock();
}

void BFilePanel::Hide() {
    fWindow->Lock();
    fWindow->close_panel();
    fWindow->Unlock();
}

bool BFilePanel::IsShowing() const {
    fWindow->Lock();
    bool showing = !fWindow->IsHidden();
    fWindow->Unlock();
    return showing;
}

BWindow* BFilePanel::Window() const {
    return fWindow;
}

void BFilePanel::SetTarget(BMessenger target) {
    fWindow->Lock();
    fWindow->set_target(target);
    fWindow->Unlock();
}

BMessenger BFilePanel::Messenger() const {
    fWindow->Lock();
    BMessenger target = fWindow->target();
    fWindow->Unlock();
    return target;
}

void BFilePanel::SetMessage(BMessage* message) {
    fWindow->Lock();
    fWindow->set_message(message);
    fWindow->Unlock();
}

void BFilePanel::SetRefFilter(BRefFilter* filter) {
    fWindow->Lock();
    fWindow->set_filter(filter);
    fWindow->refresh();
    fWindow->Unlock();
}

void BFilePanel::SetHideWhenDone(bool hide) {
    fWindow->Lock();
    fWindow->set_hide_when_done(hide);
    fWindow->Unlock();
}

bool BFilePanel::HidesWhenDone() const {
    fWindow->Lock();
    bool hide = fWindow->hide_when_done();
    fWindow->Unlock();
    return hide;
}

void BFilePanel::SetPanelDirectory(const entry_ref* directory) {
    if (directory)
        SetPanelDirectory(directory->Path());
}

void BFilePanel::SetPanelDirectory(const char* path) {
    if (!path)
        return;
    fWindow->Lock();
    fWindow->set_directory(path);
    fWindow->Unlock();
}

void BFilePanel::GetPanelDirectory(entry_ref* directory) const {
    if (!directory)
        return;
    fWindow->Lock();
    *directory = entry_ref(fWindow->directory().c_str());
    fWindow->Unlock();
}

void BFilePanel::SetSaveText(const char* text) {
    fWindow->Lock();
    fWindow->set_save_text(text);
    fWindow->Unlock();
}

void BFilePanel::Refresh() {
    fWindow->Lock();
    fWindow->refresh();
    fWindow->Unlock();
}

void BFilePanel::kit_set_filters(const std::vector<file_panel_filter>& filters) {
    fWindow->Lock();
    fWindow->set_filters(filters);
    fWindow->Unlock();
}

void BFilePanel::kit_set_places(const std::vector<file_panel_place>& places) {
    fWindow->Lock();
    fWindow->set_places(places);
    fWindow->Unlock();
}
