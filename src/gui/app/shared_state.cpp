#include "gui/app/shared_state.h"

namespace corvane::gui {

SharedState& shared()
{
    static SharedState state;
    return state;
}

void resetShared()
{
    shared() = SharedState{};
}

} // namespace corvane::gui
