#pragma once

namespace tovi {

// In sanitizer builds: keeps every loaded shared library (the GL driver
// above all) mapped after GLFW lets go of it, so the leak checker can name
// the driver's own allocations and its suppressions apply. Does nothing in
// normal builds.
void pinLoadedLibraries();

} // namespace tovi
