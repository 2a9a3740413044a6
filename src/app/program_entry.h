// The program entry: title, splash, data module, windows, message loop, and
// shutdown in the reverse order of creation.
#pragma once

int RunOrmena(int argc, char **argv);
