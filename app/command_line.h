// Ovlix's own command line, answered before the toolkit starts.
#pragma once

// The status to exit with when the command line only asks for help or the
// version (--help, --version); -1 when the program is to start.
int AnswerCommandLine(int argc, char** argv);
