#pragma once

#include <QtGlobal>

namespace velmar {

// File managers run --thumbnail on every outline a folder shows, without the user opening
// anything: it must end within seconds whatever the file holds. The reading budgets keep honest
// work short; this deadline ends the process, writing nothing, should anything still run longer.
class ThumbnailDeadline {
public:
    // Seconds allowed for a file of the given size: 4 up to 2 MB, one more for every further 2 MB,
    // 13 at most.
    static int secondsFor(qint64 fileBytes);

    // Starts the clock: when it runs out before writing() is called, a message goes to
    // standard error and the process ends with status 1.
    void start(qint64 fileBytes);
    // The thumbnail is being written: from now on it may finish (writing takes milliseconds, and
    // cutting it short would leave a half-written file behind).
    void writing();

    // Caps the process's address space (kMemoryCap), so that a thumbnail drawn unattended cannot
    // take the machine's memory whatever the file asks for: an allocation beyond it fails and the
    // command ends with its out-of-memory message. Not in builds with AddressSanitizer, which
    // reserves terabytes of address space for itself.
    static constexpr qint64 kMemoryCap = 512LL * 1024 * 1024;
    static void capMemory();
};

ThumbnailDeadline& thumbnailDeadline();

}  // namespace velmar
