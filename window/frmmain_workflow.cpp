#include "window/frmmain.h"

namespace pagewick::window {

// The extraction workflow's handlers: the Extract, Save and Next-page buttons
// and the browser's events are connected here.
void Frmmain::connectWorkflow()
{
}

} // namespace pagewick::window
