// Tells every window that a setting shared by all of them changed.
#include "widgets/SettingsNotice.h"

namespace tromel::settings {

SettingsNotice& SettingsNotice::instance() {
    static SettingsNotice notice;
    return notice;
}

}  // namespace tromel::settings
