// The program's start-up sequence: each module's start-up step in the order
// of their dependencies (foundation, diagnostics, tables of contents, current
// model, the 2.5.x models). Both programs' main, the test main, the tools and
// the fuzz targets call startUp() first.
#pragma once

void startUp();
// Releases what the start-up made (the diagnostics' channels and writers).
void shutDown();
