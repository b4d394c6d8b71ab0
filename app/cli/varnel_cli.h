// The command-line program as a function, so that a test can run it in its
// own process. Gives the exit status.
#pragma once

int VarnelMain(int argc, char** argv);
