// The standard message codes, with BeOS's values.
#ifndef _APP_DEFS_H
#define _APP_DEFS_H

#include <SupportDefs.h>

enum {
    // Sent by the system and the kit.
    B_ABOUT_REQUESTED = '_ABR',
    B_APP_ACTIVATED = '_ACT',
    B_ARGV_RECEIVED = '_ARG',
    B_CANCEL = '_CNC',
    B_KEY_DOWN = '_KYD',
    B_KEY_UP = '_KYU',
    B_MINIMIZE = '_WMZ',
    B_MOUSE_DOWN = '_MDN',
    B_MOUSE_MOVED = '_MMV',
    B_MOUSE_UP = '_MUP',
    B_MOUSE_WHEEL_CHANGED = '_MWC',
    B_MODIFIERS_CHANGED = '_MCH',
    B_PULSE = '_PUL',
    B_QUIT_REQUESTED = '_QRQ',
    B_READY_TO_RUN = '_RTR',
    B_REFS_RECEIVED = '_RRC',
    B_VIEW_MOVED = '_VMV',
    B_VIEW_RESIZED = '_VRS',
    B_WINDOW_ACTIVATED = '_ACT',
    B_WINDOW_MOVED = '_WMV',
    B_WINDOW_RESIZED = '_WRS',
    B_ZOOM = '_WZM',

    // Application-defined conventions.
    B_SIMPLE_DATA = 'DATA',
    B_SAVE_REQUESTED = 'SAVE',
    B_MESSAGE_NOT_UNDERSTOOD = '_NUD',
    B_NO_REPLY = '_NRP',
    B_REPLY = '_RPL',
    B_SET_PROPERTY = 'PSET',
    B_GET_PROPERTY = 'PGET',
    B_CONTROL_INVOKED = 'CIVK',
    B_CONTROL_MODIFIED = 'CMOD',
    B_COPY = 'COPY',
    B_CUT = 'CCUT',
    B_PASTE = 'PSTE',
    B_SELECT_ALL = 'SALL',
    B_UNDO = 'UNDO',
};

#endif
