#include "host/files.h"

#include <sys/stat.h>
#include <unistd.h>

FILE *fopen_file(const char *name, const char *mode) {
    return std::fopen(name, mode);
}

int unlink_file(const char *name) {
    return unlink(name) == 0;
}

int rename_file(const char *from, const char *to) {
    return std::rename(from, to) == 0;
}

int get_filemode(const char *name) {
    struct stat st;
    if (stat(name, &st) != 0 || S_ISDIR(st.st_mode)) return -1;
    return static_cast<int>(st.st_mode);
}

void set_filemode(const char *name, int mode) {
    (void)chmod(name, mode & 07777);
}

int is_readonly(const char *name) {
    struct stat st;
    if (stat(name, &st) != 0 || S_ISDIR(st.st_mode)) return 0;
    return (st.st_mode & S_IWUSR) == 0;
}
