// The emergency save: when the terminal goes away or the editor is told to
// end (SIGHUP, SIGTERM, SIGQUIT, SIGXCPU), every changed buffer is written to an
// emergency file and the editor ends with status 1, as an abort does; when
// the screen cannot be taken back after an outside command and the user gives
// up, the same, ending with status 3.
//
// A buffer with a file name goes beside its file, to the name with ".save"
// added (".save.1", ".save.2", ... when that exists); an unnamed buffer, or
// one whose folder takes no new file, to "ox.save" (and so on) in the
// current folder, else in the home folder. Emergency files are always new
// files (never an existing file, never through a symbolic link), readable
// by the user alone, flushed to the disk, and whole whenever they are there:
// each is written under a temporary name beside it and then given its name. The files the buffers came from
// are never touched. Then the terminal is given back, when there still is
// one, and one line for each buffer goes to the standard error, saying where
// it went or that it could not be saved.
#pragma once

// Makes the hang-up signals, a lost terminal and an exception that no
// recovery point catches lead to the emergency save (host/hangup.h). Called
// once the buffers exist.
void emergency_init();
