#pragma once

namespace tk {
// Registers the common control classes; called before each common control is made.
void EnsureCommonControls();
}
