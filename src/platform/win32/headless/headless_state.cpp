#include "platform/win32/headless/headless_state.h"

namespace headless::detail {

State& TheState() {
    static State state;
    return state;
}

}  // namespace headless::detail
