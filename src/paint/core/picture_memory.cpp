#include "paint/core/picture_memory.h"

#include <cstdlib>
#include <mutex>
#include <unordered_map>

#include <sys/mman.h>

namespace velmar::paint {

namespace {

// A block of pixel memory and the pictures drawn in it. The block is either memory of its own or
// the buffer of a picture Qt made (kept alive here); it is found again by its address, so that a
// picture made in a block hands the block on rather than wrapping it once more.
struct PixelBlock {
    uchar* data = nullptr;
    std::size_t bytes = 0;
    QImage foreign;  // the picture whose buffer this is, when the memory is not the block's own
    int users = 0;
};

std::mutex& blocksMutex()
{
    static std::mutex m;
    return m;
}

std::unordered_map<const uchar*, PixelBlock*>& blocks()
{
    static std::unordered_map<const uchar*, PixelBlock*> all;
    return all;
}

void releaseBlock(void* info)
{
    auto* block = static_cast<PixelBlock*>(info);
    {
        const std::lock_guard lock(blocksMutex());
        if (--block->users > 0)
            return;
        blocks().erase(block->data);
    }
    if (block->foreign.isNull())
        std::free(block->data);
    delete block;
}

QImage pictureIn(PixelBlock* block, QSize size, QImage::Format format)
{
    {
        const std::lock_guard lock(blocksMutex());
        ++block->users;
    }
    return QImage(block->data, size.width(), size.height(), qsizetype(size.width()) * 4, format, releaseBlock, block);
}

}  // namespace

QImage newPictureMemory(QSize size, QImage::Format format)
{
    const std::size_t bytes = std::size_t(size.width()) * 4 * std::size_t(size.height());
    if (size.isEmpty())
        return QImage(size, format);
    constexpr std::size_t kHugePage = 2u << 20;
    const bool huge = bytes >= 4 * kHugePage;
    const std::size_t alignment = huge ? kHugePage : 64;
    const std::size_t rounded = (bytes + alignment - 1) / alignment * alignment;
    void* data = std::aligned_alloc(alignment, rounded);
    if (!data)
        return QImage(size, format);
#ifdef MADV_HUGEPAGE
    if (huge)
        madvise(data, rounded, MADV_HUGEPAGE);
#endif
    auto* block = new PixelBlock;
    block->data = static_cast<uchar*>(data);
    block->bytes = rounded;
    {
        const std::lock_guard lock(blocksMutex());
        blocks()[block->data] = block;
    }
    return pictureIn(block, size, format);
}

QImage pictureInMemoryOf(QImage& spare, QSize size, QImage::Format format)
{
    const std::size_t bytes = std::size_t(size.width()) * 4 * std::size_t(size.height());
    if (spare.isNull() || !spare.isDetached() || spare.depth() != 32 || std::size_t(spare.sizeInBytes()) < bytes
        || size.isEmpty())
        return newPictureMemory(size, format);
    PixelBlock* block = nullptr;
    {
        const std::lock_guard lock(blocksMutex());
        const auto found = blocks().find(spare.constBits());
        if (found != blocks().end())
            block = found->second;
    }
    if (!block) {
        // Memory Qt gave the picture: the block keeps that picture for as long as it is used.
        block = new PixelBlock;
        block->data = spare.bits();
        block->bytes = std::size_t(spare.sizeInBytes());
        block->foreign = std::move(spare);
        const std::lock_guard lock(blocksMutex());
        blocks()[block->data] = block;
    }
    QImage picture = pictureIn(block, size, format);
    spare = QImage();
    return picture;
}

}  // namespace velmar::paint
