// What a program built on the library calls first and last. libraryStartUp
// runs every start-up step of the shared code in the order of its
// dependencies: the platform layer (exit and signal handlers, the standard
// descriptors), the foundation's persistent classes, the diagnostics (their
// entry classes and shared writers), the tables of contents and the current
// model's classes with its channels "vosko" and "performance". Nothing of the
// library may be used before it, and the channels read their debug.properties
// (beside the program, else in the installation's configuration directory)
// at their first use after it.
//
// libraryShutDown delivers the mail the diagnostics still hold (for at most
// "system.mail-shutdown-timeout" seconds) and frees their channels and
// writers. Call it once before the program ends; nothing of the diagnostics
// may be used after it.
//
//   int main() {
//     libraryStartUp();
//     ... load, use and store databases ...
//     libraryShutDown();
//   }
#pragma once

#include "platform/export.h"

VOSKO_API void libraryStartUp();
VOSKO_API void libraryShutDown();
