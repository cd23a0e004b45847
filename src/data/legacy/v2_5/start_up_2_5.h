// The start-up step of the format 2.5 module: registers its persistent
// classes with the class registry, so that files naming them can be read,
// and fetches the diagnostics channels "vosko" and "performance".
#pragma once

void legacy2_5StartUp();
