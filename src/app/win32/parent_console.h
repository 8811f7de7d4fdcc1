#pragma once

namespace kivo {

// A GUI program starts without a console. When standard output goes nowhere, the answers to
// --help and --version go to the console of whoever started Kivo, if there is one.
void useParentConsole();

}  // namespace kivo
