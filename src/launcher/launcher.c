/* The `velmar` command: starts the program (installed beside it, in the folder
 * VELMAR_PROGRAM_FROM_LAUNCHER names relative to this one) with glibc's allocator set up as
 * heap_tunables.h says. The program replaces this process, so it keeps its process number,
 * its arguments (argv[0] as typed), its standard streams and its exit status.
 * VELMAR_LAUNCHER tells the program the command it was started as, for the file association. */
#include "base/heap_tunables.h"

#include <errno.h>
#include <limits.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>
#include <unistd.h>

#ifndef VELMAR_PROGRAM_FROM_LAUNCHER
#error "VELMAR_PROGRAM_FROM_LAUNCHER must name the program relative to the launcher's folder"
#endif

int main(int argc, char** argv)
{
    (void)argc;
    char self[PATH_MAX];
    const ssize_t length = readlink("/proc/self/exe", self, sizeof self - 1);
    if (length <= 0) {
        fprintf(stderr, "velmar: не удалось найти папку программы: %s\n", strerror(errno));
        return 127;
    }
    self[length] = '\0';
    char program[PATH_MAX];
    const char* slash = strrchr(self, '/');
    const int folder = slash ? (int)(slash - self) : 0;
    if (snprintf(program, sizeof program, "%.*s/%s", folder, self, VELMAR_PROGRAM_FROM_LAUNCHER)
        >= (int)sizeof program) {
        fprintf(stderr, "velmar: слишком длинный путь к программе\n");
        return 127;
    }

    /* A setting that cannot be made leaves the allocator as it is: the program runs all the same. */
    char tunables[4096];
    if (velmar_heap_tunables(getenv("GLIBC_TUNABLES"), tunables, sizeof tunables) == 0)
        setenv("GLIBC_TUNABLES", tunables, 1);
    setenv("VELMAR_LAUNCHER", self, 1);

    execv(program, argv);
    fprintf(stderr, "velmar: не удалось запустить %s: %s\n", program, strerror(errno));
    return 127;
}
