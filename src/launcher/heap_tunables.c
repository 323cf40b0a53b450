#include "base/heap_tunables.h"

#include <stdio.h>
#include <string.h>

int velmar_heap_tunable_set(const char* current)
{
    const size_t nameLength = strlen(VELMAR_HEAP_TUNABLE_NAME);
    /* Entries are `name=value`, separated by colons. */
    for (const char* entry = current; entry && *entry;) {
        const char* end = strchr(entry, ':');
        const size_t length = end ? (size_t)(end - entry) : strlen(entry);
        if (length > nameLength && strncmp(entry, VELMAR_HEAP_TUNABLE_NAME, nameLength) == 0
            && entry[nameLength] == '=')
            return 1;
        entry = end ? end + 1 : NULL;
    }
    return 0;
}

int velmar_heap_tunables(const char* current, char* out, size_t size)
{
    int written;
    if (velmar_heap_tunable_set(current))
        written = snprintf(out, size, "%s", current);
    else if (current && *current)
        written = snprintf(out, size, "%s:%s", current, VELMAR_HEAP_TUNABLE);
    else
        written = snprintf(out, size, "%s", VELMAR_HEAP_TUNABLE);
    return written >= 0 && (size_t)written < size ? 0 : -1;
}
