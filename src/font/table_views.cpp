#include "font/table_views.h"

namespace {

table_view_hooks hooks;

} // namespace

void set_table_view_hooks(const table_view_hooks& newhooks) {
    hooks = newhooks;
}

const table_view_hooks& registered_table_views() {
    return hooks;
}
