// Where the user guide is, for the help command.
#pragma once

#include <string>

// The user guide of the program started as program_path: the guide installed
// with it (the program's folder, as started by a path holding a "/" or as
// found along PATH, followed by the way from the folder programs are installed
// in to the folder of the guide), else the guide of the source tree it was
// built from, else the guide where the build was configured to install it.
// The first that is a readable file, as an absolute name; "" when there is
// none.
std::string find_user_guide(const char *program_path);
